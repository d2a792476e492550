#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Dialog.h"
#include "platform/FontRaster.h"
#include "platform/Rect.h"

// Draws a dialog's client area in the classic grey look: static texts, the
// icon, push buttons and edit fields with their caret. The SDL backend calls
// Paint whenever a visible dialog is dirty or exposed; editing behaviour
// (caret movement, selection) extends CaretIndex and PaintEdit.
class DialogPainter {
  public:
    static constexpr uint32_t kFace = 0xFFC0C0C0u;
    static constexpr uint32_t kHighlight = 0xFFFFFFFFu;
    static constexpr uint32_t kLight = 0xFFDFDFDFu;
    static constexpr uint32_t kShadow = 0xFF808080u;
    static constexpr uint32_t kDark = 0xFF000000u;
    static constexpr uint32_t kText = 0xFF000000u;
    static constexpr uint32_t kWindow = 0xFFFFFFFFu;

    // font may be null: controls are drawn without their texts.
    explicit DialogPainter(const FontRaster* font);

    // Picture for Icon controls (RGBA, row 0 at the top); the backend hands
    // over the program's window icon.
    void SetIcon(const uint8_t* rgba, int width, int height);

    // Paints the whole client area of the dialog.
    void Paint(const Dialog& dlg, Canvas& canvas) const;

    // A control's rectangle in client pixels.
    static Rect ControlRect(const DialogControl& c);
    // Byte offset in the edit text where the caret stands: the end of the text.
    size_t CaretIndex(const Dialog& dlg, const DialogControl& edit) const;
    // Horizontal scroll of an edit field's text so that its caret stays visible.
    int EditScroll(const std::string& text, size_t caret, int innerWidth) const;

  private:
    void PaintStatic(const Dialog& dlg, const DialogControl& c, Canvas& canvas) const;
    void PaintIcon(const DialogControl& c, Canvas& canvas) const;
    void PaintButton(const Dialog& dlg, const DialogControl& c, Canvas& canvas) const;
    void PaintEdit(const Dialog& dlg, const DialogControl& c, Canvas& canvas) const;
    // Draws UTF-8 text with its pen starting at (x, baseline); returns the end pen x.
    int DrawText(Canvas& canvas, const std::string& text, int x, int baseline,
                 const Rect& clip) const;

    const FontRaster* font_;
    std::vector<uint8_t> icon_;
    int iconWidth_ = 0;
    int iconHeight_ = 0;
};
