#pragma once

#include <algorithm>

#include "platform/Rect.h"

// The decorated window that Alt+Enter switches to: 1280 x 720 (no larger
// than the desktop), centred on it. Both system backends place it here.
constexpr int kWindowedWidth = 1280;
constexpr int kWindowedHeight = 720;

inline Rect WindowedRect(const Rect& desktop) {
    const int w = std::min(kWindowedWidth, desktop.Width());
    const int h = std::min(kWindowedHeight, desktop.Height());
    const int left = desktop.left + (desktop.Width() - w) / 2;
    const int top = desktop.top + (desktop.Height() - h) / 2;
    return Rect{left, top, left + w, top + h};
}
