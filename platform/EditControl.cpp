#include "platform/EditControl.h"

#include <algorithm>

#include "platform/Cp1252.h"
#include "platform/Keys.h"

namespace {

// Average character width of the 8-point dialog font, used until the
// backend tells the field its real metrics.
constexpr int kAverageCharWidth = 6;

}  // namespace

EditControl::EditControl() {
    charWidth_ = [](unsigned char) { return kAverageCharWidth; };
}

void EditControl::SetText(const std::string& bytes) {
    text_ = bytes.substr(0, kDefaultLimit);
    caret_ = text_.size();
    scroll_ = 0;
    KeepCaretVisible();
}

void EditControl::SetView(int viewWidth, CharWidth charWidth) {
    viewWidth_ = std::max(0, viewWidth);
    if (charWidth) {
        charWidth_ = std::move(charWidth);
    }
    KeepCaretVisible();
}

int EditControl::TextWidth(size_t from, size_t to) const {
    int w = 0;
    to = std::min(to, text_.size());
    for (size_t i = from; i < to; ++i) {
        w += charWidth_(static_cast<unsigned char>(text_[i]));
    }
    return w;
}

bool EditControl::Type(const std::string& utf8) {
    std::string bytes = FromUtf8(utf8);
    const size_t room = kDefaultLimit - text_.size();
    if (bytes.size() > room) {
        bytes.resize(room);
    }
    if (bytes.empty()) {
        return false;
    }
    text_.insert(caret_, bytes);
    caret_ += bytes.size();
    KeepCaretVisible();
    return true;
}

bool EditControl::KeyDown(int vk) {
    switch (vk) {
        case VK_BACK:
            if (caret_ > 0) {
                text_.erase(--caret_, 1);
            }
            break;
        case VK_DELETE:
            if (caret_ < text_.size()) {
                text_.erase(caret_, 1);
            }
            break;
        case VK_LEFT:
            caret_ -= caret_ > 0 ? 1 : 0;
            break;
        case VK_RIGHT:
            caret_ += caret_ < text_.size() ? 1 : 0;
            break;
        case VK_HOME:
            caret_ = 0;
            break;
        case VK_END:
            caret_ = text_.size();
            break;
        default:
            return false;
    }
    KeepCaretVisible();
    return true;
}

void EditControl::KeepCaretVisible() {
    if (viewWidth_ <= 0) {
        scroll_ = 0;
        return;
    }
    // The caret is one pixel wide and must fit inside the view.
    const int last = viewWidth_ - 1;
    const int caretX = TextWidth(0, caret_);
    if (caretX < scroll_) {
        // Going left past the edge shows a quarter of the field before the caret.
        scroll_ = std::max(0, caretX - viewWidth_ / 4);
    } else if (caretX - scroll_ > last) {
        scroll_ = caretX - last;
    }
    // No empty space on the right while text is hidden on the left.
    scroll_ = std::max(0, std::min(scroll_, TextWidth(0, text_.size()) - last));
}

std::string EditControl::FromUtf8(const std::string& utf8) {
    std::string out;
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = NextUtf8(utf8, pos);
        if (!IsControlCodePoint(cp)) {
            out.push_back(Cp1252FromUnicode(cp));
        }
    }
    return out;
}
