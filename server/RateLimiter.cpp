#include "server/RateLimiter.h"

#include <algorithm>

namespace {
// Beyond this many addresses, buckets that have filled up again are dropped.
constexpr size_t kPruneAbove = 100000;
}  // namespace

bool RateLimiter::Allow(const std::string& address, Clock::time_point now) {
    if (rate_ <= 0) {
        return true;
    }
    std::lock_guard lock(mutex_);
    if (buckets_.size() > kPruneAbove) {
        std::erase_if(buckets_, [&](const auto& entry) {
            const double seconds = std::chrono::duration<double>(now - entry.second.last).count();
            return entry.second.tokens + seconds * rate_ >= burst_;
        });
    }
    auto [it, added] = buckets_.try_emplace(address, Bucket{burst_, now});
    Bucket& bucket = it->second;
    const double seconds = std::chrono::duration<double>(now - bucket.last).count();
    bucket.tokens = std::min(burst_, bucket.tokens + std::max(0.0, seconds) * rate_);
    bucket.last = now;
    if (bucket.tokens < 1) {
        return false;
    }
    bucket.tokens -= 1;
    return true;
}
