#include "platform/MessageBoxDialog.h"

#include <algorithm>

namespace {

// Dialog units, as a classic message box spaces its parts.
constexpr int kMargin = 10;
constexpr int kGap = 8;  // between the text and the button
constexpr int kBottomMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kMinWidth = 120;
constexpr int kCaptionAllowance = 40;  // the window manager's close box and padding
constexpr int kLabelId = -1;

int PixelsToUnitsX(int px) {
    return (px * 4 + 5) / 6;
}

// Cuts a word that alone is wider than the line into pieces that fit.
void BreakWord(const std::string& word, int maxWidth, const MessageBoxDialog::TextMeasure& measure,
               std::vector<std::string>& lines, std::string& line) {
    for (char ch : word) {
        std::string longer = line + ch;
        if (!line.empty() && measure(longer) > maxWidth) {
            lines.push_back(line);
            longer = std::string(1, ch);
        }
        line = longer;
    }
}

}  // namespace

struct MessageBoxDialog::Layout {
    std::string caption;
    std::vector<std::string> lines;
    DialogTemplate tmpl;
};

std::vector<std::string> MessageBoxDialog::Wrap(const std::string& text, int maxWidth,
                                                const TextMeasure& measure) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        size_t end = text.find('\n', start);
        std::string paragraph = text.substr(start, end == std::string::npos ? end : end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') {
            paragraph.pop_back();
        }
        std::string line;
        size_t pos = 0;
        while (pos < paragraph.size()) {
            const size_t space = paragraph.find(' ', pos);
            const std::string word =
                paragraph.substr(pos, space == std::string::npos ? space : space - pos);
            pos = space == std::string::npos ? paragraph.size() : space + 1;
            const std::string joined = line.empty() ? word : line + ' ' + word;
            if (measure(joined) <= maxWidth) {
                line = joined;
                continue;
            }
            if (!line.empty()) {
                lines.push_back(line);
                line.clear();
            }
            BreakWord(word, maxWidth, measure, lines, line);
        }
        lines.push_back(line);
        // A line break at the very end closes the last line; it opens no empty one.
        if (end == std::string::npos || end + 1 == text.size()) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

MessageBoxDialog::MessageBoxDialog(const char* caption, const char* text,
                                   const TextMeasure& measure)
    : MessageBoxDialog([&] {
          auto layout = std::make_unique<Layout>();
          layout->caption = caption != nullptr ? caption : "";
          layout->lines = Wrap(text != nullptr ? text : "", kMaxTextWidth, measure);
          int textWidth = 0;
          for (const std::string& line : layout->lines) {
              textWidth = std::max(textWidth, measure(line));
          }
          const int textUnits = PixelsToUnitsX(textWidth);
          const int width =
              std::max({kMinWidth, textUnits + 2 * kMargin,
                        PixelsToUnitsX(measure(layout->caption)) + kCaptionAllowance});
          DialogTemplate& t = layout->tmpl;
          t.caption = layout->caption.c_str();
          t.width = width;
          int y = kMargin;
          for (const std::string& line : layout->lines) {
              t.controls.push_back({DialogControl::Kind::Static, kLabelId, kMargin, y, textUnits,
                                    kLineHeight, line.c_str(), false});
              y += kLineHeight;
          }
          y += kGap;
          t.controls.push_back({DialogControl::Kind::Button, IDOK, (width - kButtonWidth) / 2, y,
                                kButtonWidth, kButtonHeight, "OK", true});
          t.height = y + kButtonHeight + kBottomMargin;
          return layout;
      }()) {}

MessageBoxDialog::MessageBoxDialog(std::unique_ptr<Layout> layout)
    : Dialog(layout->tmpl), layout_(std::move(layout)) {}

MessageBoxDialog::~MessageBoxDialog() {
    // The window goes while the template it was made from still exists.
    DestroyWindow();
}

const std::vector<std::string>& MessageBoxDialog::Lines() const {
    return layout_->lines;
}
