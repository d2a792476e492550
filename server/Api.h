#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "server/ConnectionPool.h"
#include "server/GameVerifier.h"

// One HTTP request as the API sees it (the network layer has read it whole).
struct ApiRequest {
    std::string method;
    std::string target;  // path and query, as sent
    std::string body;
};

// The answer: status, media type, body and any extra headers.
struct ApiResponse {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

using Verifier = std::function<VerifiedGame(std::string_view, const VerifyLimits&)>;

// The JSON API and the table's page over the database: turns one request
// into one response. Called on the worker threads, any number at once.
class Api {
  public:
    Api(ConnectionPool& pool, Verifier verify, VerifyLimits limits, std::string rulesVersion,
        std::function<int64_t()> nowMs);

    ApiResponse Handle(const ApiRequest& request);
    // The stored answer to a read of the table's first page, if it is
    // fresh; asked on the network threads before a request goes to a worker.
    std::optional<ApiResponse> FromCache(const ApiRequest& request);

    // How long a first page is answered from memory. Games stored by this
    // process show at once; those of other processes on one database
    // within this time. Zero turns the cache off.
    std::chrono::milliseconds cacheTime{1000};

  private:
    ApiResponse Route(const ApiRequest& request);
    ApiResponse Submit(const ApiRequest& request);
    ApiResponse List(const std::map<std::string, std::string>& query);
    ApiResponse Details(int64_t id, bool recording);
    ApiResponse Rank(const std::map<std::string, std::string>& query);
    ApiResponse Token();
    ApiResponse Health();
    ApiResponse Page(const std::map<std::string, std::string>& query);

    // Keeps `response` for `request` unless a game was stored since `generation`.
    void Remember(const ApiRequest& request, uint64_t generation, const ApiResponse& response);
    static bool Cacheable(const ApiRequest& request);

    struct Cached {
        ApiResponse response;
        std::chrono::steady_clock::time_point at;
    };
    std::mutex cacheMutex_;
    std::map<std::string, Cached> cache_;
    uint64_t generation_ = 0;  // counts stored games; guarded by cacheMutex_

    ConnectionPool& pool_;
    Verifier verify_;
    VerifyLimits limits_;
    std::string rulesVersion_;
    std::function<int64_t()> nowMs_;
};

// A JSON body {"error": reason} with the status.
ApiResponse ErrorResponse(int status, std::string_view reason);
// Decodes %XX and '+' of a query component; false on a malformed escape.
bool PercentDecode(std::string_view in, std::string& out);
// Splits "a=1&b=2" into its decoded pairs; false on a malformed escape.
bool ParseQuery(std::string_view query, std::map<std::string, std::string>& out);
// Lowercase hex SHA-256 of `data`.
std::string Sha256Hex(std::string_view data);
