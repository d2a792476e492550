#include "platform/win32/Win32Launcher.h"

#include <cstdio>

#include "platform/win32/Win32DialogTemplate.h"

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>

namespace {

std::wstring Join(const std::wstring& dir, const std::wstring& name) {
    if (dir.empty() || dir.back() == L'\\' || dir.back() == L'/') {
        return dir + name;
    }
    return dir + L"\\" + name;
}

bool IsFile(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA* data = nullptr) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d) ||
        (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    if (data != nullptr) {
        *data = d;
    }
    return true;
}

std::string Narrow(const std::wstring& text) {
    return Cp1252FromWide(text);
}

std::string Describe(DWORD error) {
    char buf[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, buf, sizeof buf, nullptr);
    std::string text(buf, n);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(error) : text;
}

bool SameFile(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b) {
    return a.nFileSizeHigh == b.nFileSizeHigh && a.nFileSizeLow == b.nFileSizeLow &&
           CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

std::wstring CurrentDir() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(n, L'\0');
    dir.resize(GetCurrentDirectoryW(n, dir.data()));
    return dir;
}

std::wstring ProgramDir() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return L"";
        }
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"" : path.substr(0, slash);
}

std::wstring Environment(const wchar_t* name) {
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) {
        return L"";
    }
    std::wstring value(n, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), n));
    return value;
}

}  // namespace

bool Win32Launcher::HoldsGameFiles(const std::wstring& dir, const std::vector<std::string>& files) {
    if (dir.empty()) {
        return false;
    }
    for (const std::string& name : files) {
        if (IsFile(Join(dir, WideFromCp1252(name)))) {
            return true;
        }
    }
    return false;
}

bool Win32Launcher::IsWritableDir(const std::wstring& dir) {
    const std::wstring probe =
        Join(dir, L".quorvax-write-test-" + std::to_wstring(GetCurrentProcessId()));
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(h);
    return true;
}

bool Win32Launcher::PrepareDir(const std::wstring& playerDir, const std::wstring& sourceDir,
                               const std::vector<std::string>& files, std::string& error) {
    if (!CreateDirectoryW(playerDir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        error = "cannot create " + Narrow(playerDir) + ": " + Describe(GetLastError());
        return false;
    }
    for (const std::string& name : files) {
        if (name == "scores.dat") {
            continue;
        }
        const std::wstring source = Join(sourceDir, WideFromCp1252(name));
        const std::wstring target = Join(playerDir, WideFromCp1252(name));
        WIN32_FILE_ATTRIBUTE_DATA from{};
        WIN32_FILE_ATTRIBUTE_DATA have{};
        if (!IsFile(source, &from)) {
            continue;  // the game reports what it lacks, as it always does
        }
        if (IsFile(target, &have)) {
            if (SameFile(from, have)) {
                continue;  // a link to the source, or an up-to-date copy
            }
            DeleteFileW(target.c_str());
        }
        if (!CreateHardLinkW(target.c_str(), source.c_str(), nullptr) &&
            !CopyFileW(source.c_str(), target.c_str(), FALSE)) {
            error = "cannot copy " + name + " to " + Narrow(playerDir) + ": " +
                    Describe(GetLastError());
            return false;
        }
    }
    return true;
}

Win32Launcher::Choice Win32Launcher::Choose(const std::wstring& cwd, const std::wstring& exeDir,
                                            const std::wstring& localAppData,
                                            const std::vector<std::string>& files) {
    Choice c;
    std::wstring source;
    if (HoldsGameFiles(cwd, files)) {
        source = cwd;  // started beside the files (a shortcut's "Start in", a build tree)
    } else if (HoldsGameFiles(exeDir, files)) {
        source = exeDir;
    } else {
        c.warning = "cannot find the game's files; looking for them in the current directory";
        return c;
    }
    if (IsWritableDir(source)) {
        c.dir = source;
        return c;
    }
    std::string error = "no LOCALAPPDATA folder";
    if (!localAppData.empty()) {
        const std::wstring player = Join(localAppData, L"Quorvax");
        if (PrepareDir(player, source, files, error)) {
            c.dir = player;
            return c;
        }
    }
    // The game can still be played from its own folder; only its high
    // scores cannot be kept there.
    c.dir = source;
    c.warning = error + "; running in " + Narrow(source) + ", where the high scores cannot be kept";
    return c;
}

bool Win32Launcher::Enter(const std::vector<std::string>& files) {
    const Choice c = Choose(CurrentDir(), ProgramDir(), Environment(L"LOCALAPPDATA"), files);
    if (!c.warning.empty()) {
        std::fprintf(stderr, "quorvax: %s\n", c.warning.c_str());
    }
    if (!c.dir.empty() && !SetCurrentDirectoryW(c.dir.c_str())) {
        std::fprintf(stderr, "quorvax: cannot enter %s: %s\n", Narrow(c.dir).c_str(),
                     Describe(GetLastError()).c_str());
        return false;
    }
    return true;
}
