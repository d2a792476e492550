#include "platform/EditControl.h"

#include <algorithm>

#include "platform/Keys.h"

namespace {

// Unicode of the Windows-1252 bytes 0x80..0x9F; 0 where the byte has none.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Average character width of the 8-point dialog font, used until the
// backend tells the field its real metrics.
constexpr int kAverageCharWidth = 6;

// The next code point of a UTF-8 string; malformed bytes (stray
// continuations, overlong forms, surrogates, values past U+10FFFF, cut
// sequences) give U+FFFD and advance by one byte.
char32_t NextCodePoint(const std::string& s, size_t& pos) {
    const unsigned char lead = static_cast<unsigned char>(s[pos]);
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, min = 0x10000;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + extra >= s.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i <= extra; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[pos + i]);
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += static_cast<size_t>(extra) + 1;
    return cp;
}

bool IsControl(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp < 0xA0);
}

// The Windows-1252 byte of a printable character; '?' when there is none.
char ToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<char>(cp);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

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
        const char32_t cp = NextCodePoint(utf8, pos);
        if (!IsControl(cp)) {
            out.push_back(ToCp1252(cp));
        }
    }
    return out;
}

char32_t EditControl::ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        const char32_t cp = kHighControls[byte - 0x80];
        return cp != 0 ? cp : 0xFFFD;
    }
    return byte;
}
