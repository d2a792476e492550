#pragma once
#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

// A token bucket per client address: `rate` requests a second on average,
// up to `burst` at once. A rate of 0 lets everything through. Asked by the
// network threads before a request is handled.
class RateLimiter {
  public:
    using Clock = std::chrono::steady_clock;
    RateLimiter(double rate, double burst) : rate_(rate), burst_(burst) {}

    // True when `address` may make one more request at `now`.
    bool Allow(const std::string& address, Clock::time_point now = Clock::now());

  private:
    struct Bucket {
        double tokens;
        Clock::time_point last;
    };
    const double rate_;
    const double burst_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};
