#pragma once

#include <cstddef>
#include <functional>
#include <string>

// The state and behaviour of a single-line edit field: its text in
// Windows-1252 bytes (the encoding of the game's fonts), the caret, and how
// far the text is scrolled to the left so that the caret stays in view. The
// dialog manager feeds it typed text and editing keys; the backends draw it.
class EditControl {
  public:
    // The classic edit control's default limit; longer input is dropped.
    static constexpr size_t kDefaultLimit = 32767;
    // Width in pixels of one byte of text in the field's font.
    using CharWidth = std::function<int(unsigned char)>;

    EditControl();

    // The field's text; SetText puts the caret at its end (dialog data exchange).
    const std::string& Text() const { return text_; }
    void SetText(const std::string& bytes);
    // Byte offset of the caret, 0 to Text().size().
    size_t Caret() const { return caret_; }
    // Pixels the text is shifted left to keep the caret visible.
    int Scroll() const { return scroll_; }
    // Pixel width of the area the text shows in.
    int ViewWidth() const { return viewWidth_; }

    // The backend's font metrics and the field's inner width, set when the
    // window is laid out; until then a fixed average width is assumed.
    void SetView(int viewWidth, CharWidth charWidth);
    // Pixel width of the bytes [from, to) of the text.
    int TextWidth(size_t from, size_t to) const;

    // Typed text (UTF-8) inserted at the caret, converted to Windows-1252;
    // characters without a Windows-1252 byte become '?', control characters
    // are dropped. Returns true when the text changed.
    bool Type(const std::string& utf8);
    // Backspace, Delete, Left, Right, Home and End; returns true when the key
    // is one of these (whether or not anything changed).
    bool KeyDown(int vk);

    // UTF-8 to Windows-1252 bytes, as Type converts typed text.
    static std::string FromUtf8(const std::string& utf8);

  private:
    void KeepCaretVisible();

    std::string text_;
    size_t caret_ = 0;
    int scroll_ = 0;
    int viewWidth_ = 0;
    CharWidth charWidth_;
};
