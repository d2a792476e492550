#include "server/Api.h"

#include <openssl/evp.h>

#include <charconv>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <random>

#include "server/Names.h"
#include "server/Store.h"
#include "server/Submission.h"
#include "server/TablePage.h"

using nlohmann::json;

namespace {

constexpr int kDefaultPage = 50;
constexpr int kMaxPage = 200;

std::string Dump(const json& value) {
    // Replace, never throw, on bytes that are not UTF-8 (a verifier's reason may quote input).
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

ApiResponse Json(int status, const json& value) {
    ApiResponse response;
    response.status = status;
    response.body = Dump(value);
    return response;
}

json GameJson(const GameRecord& game) {
    json marks = json::array();
    if (game.live) {
        marks.push_back("live");
    }
    return {{"rank", game.rank},
            {"id", game.id},
            {"name", game.name},
            {"score", game.score},
            {"level", game.level},
            {"ticks", game.ticks},
            {"date", FormatDate(game.submittedMs)},
            {"system", game.system},
            {"marks", marks}};
}

// The answer to a failed database call: 503 when it is out of reach.
ApiResponse DatabaseError(const SqlError& error) {
    if (error.kind == SqlError::Unavailable) {
        return ErrorResponse(503, "the database is unavailable");
    }
    std::fprintf(stderr, "quorvax-server: database error: %s\n", error.message.c_str());
    return ErrorResponse(500, "the database failed");
}

bool ParseInt(const std::string& text, int64_t& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

ApiResponse ErrorResponse(int status, std::string_view reason) {
    return Json(status, {{"error", std::string(reason)}});
}

bool PercentDecode(std::string_view in, std::string& out) {
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '+') {
            out += ' ';
        } else if (in[i] == '%') {
            unsigned value = 0;
            if (i + 2 >= in.size()) {
                return false;
            }
            auto [end, ec] = std::from_chars(in.data() + i + 1, in.data() + i + 3, value, 16);
            if (ec != std::errc() || end != in.data() + i + 3) {
                return false;
            }
            out += static_cast<char>(value);
            i += 2;
        } else {
            out += in[i];
        }
    }
    return true;
}

bool ParseQuery(std::string_view query, std::map<std::string, std::string>& out) {
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty()) {
            continue;
        }
        const size_t eq = pair.find('=');
        std::string key, value;
        if (!PercentDecode(pair.substr(0, eq), key) ||
            !PercentDecode(eq == std::string_view::npos ? "" : pair.substr(eq + 1), value)) {
            return false;
        }
        out[key] = value;
    }
    return true;
}

std::string Sha256Hex(std::string_view data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha256(), nullptr);
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out += hex[digest[i] >> 4];
        out += hex[digest[i] & 15];
    }
    return out;
}

Api::Api(ConnectionPool& pool, Verifier verify, VerifyLimits limits, std::string rulesVersion,
         std::function<int64_t()> nowMs)
    : pool_(pool),
      verify_(std::move(verify)),
      limits_(limits),
      rulesVersion_(std::move(rulesVersion)),
      nowMs_(std::move(nowMs)) {}

bool Api::Cacheable(const ApiRequest& request) {
    if (request.method != "GET") {
        return false;
    }
    const std::string_view target = request.target;
    const std::string_view path = target.substr(0, target.find('?'));
    // The first pages only: no cursor, no player asked for.
    return (path == "/api/games" || path == "/" || path == "/table/") &&
           target.find("after=") == std::string_view::npos &&
           target.find("name=") == std::string_view::npos;
}

std::optional<ApiResponse> Api::FromCache(const ApiRequest& request) {
    if (cacheTime.count() == 0 || !Cacheable(request)) {
        return std::nullopt;
    }
    std::lock_guard lock(cacheMutex_);
    const auto it = cache_.find(request.target);
    if (it == cache_.end() || std::chrono::steady_clock::now() - it->second.at > cacheTime) {
        return std::nullopt;
    }
    return it->second.response;
}

void Api::Remember(const ApiRequest& request, uint64_t generation, const ApiResponse& response) {
    if (cacheTime.count() == 0 || response.status != 200 || !Cacheable(request)) {
        return;
    }
    std::lock_guard lock(cacheMutex_);
    if (generation == generation_ && cache_.size() < 64) {
        cache_[request.target] = {response, std::chrono::steady_clock::now()};
    }
}

ApiResponse Api::Handle(const ApiRequest& request) {
    uint64_t generation = 0;
    {
        std::lock_guard lock(cacheMutex_);
        generation = generation_;
    }
    ApiResponse response = Route(request);
    Remember(request, generation, response);
    return response;
}

ApiResponse Api::Route(const ApiRequest& request) {
    const size_t question = request.target.find('?');
    const std::string path = request.target.substr(0, question);
    std::map<std::string, std::string> query;
    if (question != std::string::npos &&
        !ParseQuery(std::string_view(request.target).substr(question + 1), query)) {
        return ErrorResponse(400, "the query has a malformed %-escape");
    }
    const bool get = request.method == "GET" || request.method == "HEAD";
    const bool post = request.method == "POST";
    auto only = [&](bool allowed, const char* methods, auto&& handler) -> ApiResponse {
        if (!allowed) {
            ApiResponse response = ErrorResponse(405, std::string("use ") + methods);
            response.headers.emplace_back("Allow", methods);
            return response;
        }
        return handler();
    };
    if (path == "/api/games") {
        return post ? Submit(request) : only(get, "GET, POST", [&] { return List(query); });
    }
    if (path.rfind("/api/games/", 0) == 0) {
        std::string rest = path.substr(11);
        const bool recording = rest.size() > 10 && rest.ends_with("/recording");
        if (recording) {
            rest.resize(rest.size() - 10);
        }
        int64_t id = 0;
        if (!ParseInt(rest, id) || id <= 0) {
            return ErrorResponse(404, "no such game");
        }
        return only(get, "GET", [&] { return Details(id, recording); });
    }
    if (path == "/api/rank") {
        return only(get, "GET", [&] { return Rank(query); });
    }
    if (path == "/api/tokens") {
        return only(post, "POST", [&] { return Token(); });
    }
    if (path == "/api/health") {
        return only(get, "GET", [&] { return Health(); });
    }
    if (path == "/" || path == "/table/" || path == "/table") {
        return only(get, "GET", [&] { return Page(query); });
    }
    return ErrorResponse(404, "no such page");
}

ApiResponse Api::Submit(const ApiRequest& request) {
    const Submission submission = ReadSubmission(request.body, limits_);
    if (submission.status != 0) {
        return ErrorResponse(submission.status, submission.reason);
    }
    const VerifiedGame verified = verify_(submission.recording, limits_);
    if (!verified.ok) {
        return ErrorResponse(
            422, verified.reason.empty() ? "the recording does not verify" : verified.reason);
    }
    NewGame game;
    game.name = submission.name;
    game.score = verified.score;
    game.level = verified.level;
    game.ticks = static_cast<int64_t>(verified.endTick - verified.startTick);
    game.submittedMs = nowMs_();
    game.system = verified.system;
    game.rules = verified.rules;
    game.finalState = verified.finalState;
    game.hash = Sha256Hex(verified.canonical);
    game.recording = verified.canonical;
    game.token = submission.token;

    std::string error;
    ConnectionPool::Lease lease = pool_.Acquire(error);
    if (!lease) {
        return ErrorResponse(503, "the database is unavailable");
    }
    Store store(*lease.get());
    const StoreResult<InsertOutcome> outcome = store.Insert(game);
    if (!outcome.ok()) {
        return DatabaseError(outcome.error);
    }
    const GameRecord& stored = outcome.value.game;
    if (outcome.value.kind == InsertOutcome::Added) {
        std::lock_guard lock(cacheMutex_);
        ++generation_;
        cache_.clear();
    }
    if (outcome.value.kind == InsertOutcome::Copy) {
        return ErrorResponse(409, "a copy of game " + std::to_string(stored.id));
    }
    return Json(outcome.value.kind == InsertOutcome::Added ? 201 : 200, {{"id", stored.id},
                                                                         {"rank", stored.rank},
                                                                         {"score", stored.score},
                                                                         {"level", stored.level},
                                                                         {"live", stored.live}});
}

ApiResponse Api::List(const std::map<std::string, std::string>& query) {
    int64_t limit = kDefaultPage;
    if (query.count("limit") && (!ParseInt(query.at("limit"), limit) || limit < 1)) {
        return ErrorResponse(400, "limit must be a whole number from 1");
    }
    limit = std::min<int64_t>(limit, kMaxPage);
    std::optional<Cursor> after;
    if (query.count("after") && !query.at("after").empty()) {
        after = Cursor::Decode(query.at("after"));
        if (!after) {
            return ErrorResponse(400, "after is not a cursor this server gave");
        }
    }
    std::string error;
    ConnectionPool::Lease lease = pool_.Acquire(error);
    if (!lease) {
        return ErrorResponse(503, "the database is unavailable");
    }
    Store store(*lease.get());
    // One row more than asked tells whether a next page exists.
    StoreResult<std::vector<GameRecord>> page = store.Page(after, static_cast<int>(limit) + 1);
    if (!page.ok()) {
        return DatabaseError(page.error);
    }
    json next = nullptr;
    if (page.value.size() > static_cast<size_t>(limit)) {
        page.value.pop_back();
        const GameRecord& last = page.value.back();
        next = Cursor{last.score, last.submittedMs, last.id}.Encode();
    }
    json games = json::array();
    for (const GameRecord& game : page.value) {
        games.push_back(GameJson(game));
    }
    return Json(200, {{"games", games}, {"next", next}});
}

ApiResponse Api::Details(int64_t id, bool recording) {
    std::string error;
    ConnectionPool::Lease lease = pool_.Acquire(error);
    if (!lease) {
        return ErrorResponse(503, "the database is unavailable");
    }
    Store store(*lease.get());
    if (recording) {
        const StoreResult<std::optional<std::string>> text = store.Recording(id);
        if (!text.ok()) {
            return DatabaseError(text.error);
        }
        if (!text.value) {
            return ErrorResponse(404, "no such game");
        }
        ApiResponse response;
        response.contentType = "text/plain; charset=utf-8";
        response.body = *text.value;
        response.headers.emplace_back(
            "Content-Disposition",
            "attachment; filename=\"quorvax-game-" + std::to_string(id) + ".txt\"");
        return response;
    }
    const StoreResult<std::optional<GameRecord>> game = store.Game(id);
    if (!game.ok()) {
        return DatabaseError(game.error);
    }
    if (!game.value) {
        return ErrorResponse(404, "no such game");
    }
    json details = GameJson(*game.value);
    details["finalState"] = game.value->finalState;
    details["rules"] = game.value->rules;
    return Json(200, details);
}

ApiResponse Api::Rank(const std::map<std::string, std::string>& query) {
    int64_t score = 0;
    if (!query.count("score") || !ParseInt(query.at("score"), score) || score < INT32_MIN ||
        score > INT32_MAX) {
        return ErrorResponse(400, "score must be a whole number");
    }
    std::string error;
    ConnectionPool::Lease lease = pool_.Acquire(error);
    if (!lease) {
        return ErrorResponse(503, "the database is unavailable");
    }
    Store store(*lease.get());
    const StoreResult<int64_t> rank = store.RankFor(static_cast<int>(score));
    if (!rank.ok()) {
        return DatabaseError(rank.error);
    }
    return Json(200, {{"rank", rank.value}});
}

ApiResponse Api::Token() {
    unsigned char bytes[16];
    std::random_device device;
    for (unsigned char& b : bytes) {
        b = static_cast<unsigned char>(device());
    }
    static const char hex[] = "0123456789abcdef";
    std::string token;
    for (const unsigned char b : bytes) {
        token += hex[b >> 4];
        token += hex[b & 15];
    }
    std::string error;
    ConnectionPool::Lease lease = pool_.Acquire(error);
    if (!lease) {
        return ErrorResponse(503, "the database is unavailable");
    }
    Store store(*lease.get());
    if (const SqlError stored = store.AddToken(token, nowMs_())) {
        return DatabaseError(stored);
    }
    return Json(201, {{"token", token}});
}

ApiResponse Api::Health() {
    std::string error;
    ConnectionPool::Lease lease = pool_.Acquire(error);
    if (!lease || !Store(*lease.get()).Healthy()) {
        return ErrorResponse(503, "the database is unavailable");
    }
    return Json(200, {{"status", "ok"}, {"rules", rulesVersion_}});
}

ApiResponse Api::Page(const std::map<std::string, std::string>& query) {
    TableView view;
    std::optional<Cursor> after;
    if (query.count("after") && !query.at("after").empty()) {
        after = Cursor::Decode(query.at("after"));
        view.firstPage = !after;
    }
    if (query.count("name")) {
        view.player = query.at("name");
    }
    std::string error;
    ConnectionPool::Lease lease = pool_.Acquire(error);
    if (!lease) {
        ApiResponse response = ErrorResponse(503, "the database is unavailable");
        response.contentType = "text/plain; charset=utf-8";
        response.body = "The table's database is unavailable; try again later.\n";
        return response;
    }
    Store store(*lease.get());
    StoreResult<std::vector<GameRecord>> page = store.Page(after, kDefaultPage + 1);
    if (page.ok() && !view.player.empty()) {
        const NameCheck name = CheckName(view.player);
        if (name.ok) {
            const StoreResult<std::optional<GameRecord>> best = store.BestOf(name.name);
            page.error = best.error;
            view.best = best.value;
        }
    }
    if (!page.ok()) {
        ApiResponse response = DatabaseError(page.error);
        response.contentType = "text/plain; charset=utf-8";
        response.body = "The table cannot be read now; try again later.\n";
        return response;
    }
    if (page.value.size() > static_cast<size_t>(kDefaultPage)) {
        page.value.pop_back();
        const GameRecord& last = page.value.back();
        view.next = Cursor{last.score, last.submittedMs, last.id}.Encode();
    }
    view.games = std::move(page.value);
    ApiResponse response;
    response.contentType = "text/html; charset=utf-8";
    response.body = RenderTablePage(view);
    return response;
}
