#include "platform/win32/WinHttpClient.h"

#include "platform/win32/Win32KeyMap.h"

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>
// <winhttp.h> needs <windows.h> first.
#include <winhttp.h>

namespace {

// Short: the game waits for a request under way when the player quits.
constexpr DWORD kConnectMs = 5000;
constexpr ULONGLONG kWholeRequestMs = 15000;
// The table's answers are a few hundred bytes; anything far larger is not one.
constexpr size_t kMaxAnswerBytes = 1 << 20;

struct CloseInternet {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using Internet = std::unique_ptr<void, CloseInternet>;

// A one-line reason for a failed WinHTTP call, for the high-score screen.
std::string Reason(DWORD code) {
    switch (code) {
        case ERROR_WINHTTP_CANNOT_CONNECT:
            return "could not connect to the server";
        case ERROR_WINHTTP_TIMEOUT:
            return "timed out";
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
            return "the server's name is unknown";
        case ERROR_WINHTTP_CONNECTION_ERROR:
            return "the connection was broken";
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
            return "the server's answer is not HTTP";
        case ERROR_WINHTTP_SECURE_FAILURE:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
            return "the secure connection failed";
        default:
            return "WinHTTP error " + std::to_string(code);
    }
}

class WinHttpClient : public HttpClient {
  public:
    // Submitter's worker, for each token and game: a session of its own per
    // request, every handle closed when it returns.
    HttpResponse PostJson(const std::string& url, const std::string& json) override {
        HttpResponse r;
        const HttpTarget target = HttpTargetFromUrl(url);
        if (!target.error.empty()) {
            r.error = target.error;
            return r;
        }
        if (json.size() > MAXDWORD) {
            r.error = "the request is too large";
            return r;
        }
        const ULONGLONG start = GetTickCount64();
        const Internet session(WinHttpOpen(L"Quorvax", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
        if (!session) {
            return Failed(r);
        }
        // Name lookup, connection, then each send and receive.
        const int stepMs = static_cast<int>(kWholeRequestMs);
        WinHttpSetTimeouts(session.get(), static_cast<int>(kConnectMs),
                           static_cast<int>(kConnectMs), stepMs, stepMs);
        const Internet connection(
            WinHttpConnect(session.get(), target.host.c_str(), target.port, 0));
        if (!connection) {
            return Failed(r);
        }
        const Internet request(WinHttpOpenRequest(
            connection.get(), L"POST", target.path.c_str(), nullptr, WINHTTP_NO_REFERER,
            WINHTTP_DEFAULT_ACCEPT_TYPES, target.secure ? WINHTTP_FLAG_SECURE : 0));
        if (!request) {
            return Failed(r);
        }
        // As the Linux client: an answer that sends the game elsewhere is an
        // answer, not a place to post the game again.
        DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
        const DWORD size = static_cast<DWORD>(json.size());
        if (!WithinTime(request.get(), start) ||
            !WinHttpSendRequest(request.get(), L"Content-Type: application/json\r\n",
                                static_cast<DWORD>(-1), const_cast<char*>(json.data()), size, size,
                                0) ||
            !WithinTime(request.get(), start) || !WinHttpReceiveResponse(request.get(), nullptr)) {
            return Failed(r);
        }
        DWORD status = 0;
        DWORD statusSize = sizeof status;
        if (!WinHttpQueryHeaders(
                request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX)) {
            return Failed(r);
        }
        for (;;) {
            DWORD available = 0;
            if (!WithinTime(request.get(), start) ||
                !WinHttpQueryDataAvailable(request.get(), &available)) {
                return Failed(r);
            }
            if (available == 0) {
                break;
            }
            if (r.body.size() + available > kMaxAnswerBytes) {
                r.body.clear();
                r.error = "the server's answer is too large";
                return r;
            }
            const size_t at = r.body.size();
            r.body.resize(at + available);
            DWORD read = 0;
            if (!WinHttpReadData(request.get(), &r.body[at], available, &read)) {
                return Failed(r);
            }
            r.body.resize(at + read);
        }
        r.status = static_cast<int>(status);
        return r;
    }

  private:
    // No whole answer came: status 0, the reason, no part of a body.
    static HttpResponse Failed(HttpResponse& r) {
        r.body.clear();
        r.error = Reason(GetLastError());
        return r;
    }

    // Before each step that waits: it may wait only for what is left of the
    // whole request's time, as the Linux client's total timeout.
    static bool WithinTime(HINTERNET request, ULONGLONG start) {
        const ULONGLONG spent = GetTickCount64() - start;
        if (spent >= kWholeRequestMs) {
            SetLastError(ERROR_WINHTTP_TIMEOUT);
            return false;
        }
        DWORD left = static_cast<DWORD>(kWholeRequestMs - spent);
        WinHttpSetOption(request, WINHTTP_OPTION_SEND_TIMEOUT, &left, sizeof left);
        WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_TIMEOUT, &left, sizeof left);
        WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &left, sizeof left);
        return true;
    }
};

// An IPv6 server is written in brackets ("http://[::1]:8026/"), which Wine's
// WinHttpCrackUrl splits at its first colon: HttpTargetFromUrl takes the
// server, bare, and its port from the address itself then.
bool BracketedHost(const std::string& url, HttpTarget& target) {
    const size_t from = url.find("://");
    if (from == std::string::npos) {
        return false;
    }
    const size_t to = url.find_first_of("/?#", from + 3);
    std::string authority = url.substr(from + 3, to == std::string::npos ? to : to - from - 3);
    authority.erase(0, authority.rfind('@') + 1);
    const size_t close = authority.find(']');
    if (authority.empty() || authority[0] != '[' || close == std::string::npos || close < 2) {
        return false;
    }
    target.host = WideFromUtf8(authority.substr(1, close - 1));
    const std::string port = authority.substr(close + 1);
    if (port.empty()) {
        target.port = target.secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
        return true;
    }
    if (port.size() < 2 || port.size() > 6 || port[0] != ':' ||
        port.find_first_not_of("0123456789", 1) != std::string::npos) {
        return false;
    }
    const long number = std::stol(port.substr(1));
    target.port = static_cast<unsigned short>(number);
    return number > 0 && number <= 65535;
}

}  // namespace

HttpTarget HttpTargetFromUrl(const std::string& url) {
    HttpTarget target;
    for (const char c : url) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F) {
            target.error = "the leaderboard address holds a space or control character";
            return target;
        }
    }
    const std::wstring wide = WideFromUtf8(url);
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    const bool read =
        !wide.empty() && WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts);
    if (!read ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
        target.error = read || GetLastError() == ERROR_WINHTTP_UNRECOGNIZED_SCHEME
                           ? "the leaderboard address is not http or https"
                           : "the leaderboard address is not a web address";
        return target;
    }
    target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    if (parts.lpszHostName != nullptr) {
        target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    }
    target.port = parts.nPort;
    if (!target.host.empty() && target.host.front() == L'[' && !BracketedHost(url, target)) {
        target.error = "the leaderboard address has a bad IPv6 server or port";
        return target;
    }
    if (target.host.empty()) {
        target.error = "the leaderboard address names no server";
        return target;
    }
    if (parts.lpszUrlPath != nullptr) {
        target.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    }
    if (parts.lpszExtraInfo != nullptr) {
        target.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    }
    if (target.path.empty() || target.path.front() != L'/') {
        target.path.insert(0, 1, L'/');
    }
    return target;
}

std::unique_ptr<HttpClient> MakeWinHttpClient() {
    return std::make_unique<WinHttpClient>();
}
