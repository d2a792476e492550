#pragma once

#include <memory>
#include <vector>

// A counted list of owned objects (the bombs, the enemies). Removing or
// clearing deletes the objects; At answers null for any index it cannot serve.
template <class T>
class OwnedList {
  public:
    OwnedList() = default;
    ~OwnedList() { Clear(); }
    OwnedList(const OwnedList&) = delete;
    OwnedList& operator=(const OwnedList&) = delete;

    // Appends a new default-constructed element and returns it.
    T* Add() {
        ++count;
        items_.push_back(std::make_unique<T>());
        return items_.back().get();
    }
    // Element i, or null when there is none.
    T* At(int i) const {
        if (i < 0 || i >= count || i >= static_cast<int>(items_.size())) {
            return nullptr;
        }
        return items_[static_cast<size_t>(i)].get();
    }
    // Deletes element i; those behind it move up one place. An invalid index does nothing.
    void RemoveAt(int i) {
        if (i < 0 || i >= count || i >= static_cast<int>(items_.size())) {
            return;
        }
        if (count < 2) {
            Clear();
            return;
        }
        items_.erase(items_.begin() + i);
        --count;
    }
    // Deletes every element.
    void Clear() {
        items_.clear();
        items_.shrink_to_fit();
        count = 0;
    }

    int count = 0;

  private:
    std::vector<std::unique_ptr<T>> items_;
};
