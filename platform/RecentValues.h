#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

// The last N values a loop measured (a frame's cost, the gap between the
// display's frames), for their worst or best case: an average would hide
// the long ones that make a tick late. Both are 0 before any value.
template <size_t N>
class RecentValues {
  public:
    void Put(uint64_t value) {
        values_[next_] = value;
        next_ = (next_ + 1) % N;
        count_ = std::min(count_ + 1, N);
    }
    void Clear() { count_ = 0; }
    uint64_t Max() const {
        return count_ == 0 ? 0 : *std::max_element(values_.begin(), values_.begin() + count_);
    }
    uint64_t Min() const {
        return count_ == 0 ? 0 : *std::min_element(values_.begin(), values_.begin() + count_);
    }

  private:
    std::array<uint64_t, N> values_{};
    size_t next_ = 0;
    size_t count_ = 0;
};
