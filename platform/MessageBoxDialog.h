#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Dialog.h"

// The modal message box with one OK button, drawn by the game itself like
// its other dialogs: the caption, the text wrapped to lines of at most
// kMaxTextWidth pixels, and the OK button centred under it. A system
// backend's MessageBox builds one and runs it modally; Enter, Escape, Space
// and a click on OK answer it.
class MessageBoxDialog : public Dialog {
  public:
    // Pixel width of a run of text bytes in the dialog font.
    using TextMeasure = std::function<int(const std::string&)>;

    static constexpr int kMaxTextWidth = 420;  // pixels
    static constexpr int kLineHeight = 8;      // dialog units: one 13-pixel text cell

    MessageBoxDialog(const char* caption, const char* text, const TextMeasure& measure);
    ~MessageBoxDialog() override;

    // The text as it is shown, one entry per line.
    const std::vector<std::string>& Lines() const;

    // Splits text into lines no wider than maxWidth: at line breaks (one at
    // the very end adds no empty line), between words, and inside a word only
    // when it alone is too wide.
    static std::vector<std::string> Wrap(const std::string& text, int maxWidth,
                                         const TextMeasure& measure);

  private:
    struct Layout;
    MessageBoxDialog(std::unique_ptr<Layout> layout);

    std::unique_ptr<Layout> layout_;
};
