#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Rect.h"
#include "platform/linux/Canvas.h"
#include "platform/linux/FontRaster.h"

// Draws a dialog's client area in the classic grey look: static texts, the
// icon, push buttons and edit fields with their caret. Dialog texts are
// Windows-1252 bytes, as the classic API keeps them. The SDL backend lays a
// dialog out once its window opens and paints it whenever it is dirty or
// exposed.
class DialogPainter {
  public:
    static constexpr uint32_t kFace = 0xFFC0C0C0u;
    static constexpr uint32_t kHighlight = 0xFFFFFFFFu;
    static constexpr uint32_t kLight = 0xFFDFDFDFu;
    static constexpr uint32_t kShadow = 0xFF808080u;
    static constexpr uint32_t kDark = 0xFF000000u;
    static constexpr uint32_t kText = 0xFF000000u;
    static constexpr uint32_t kWindow = 0xFFFFFFFFu;

    // font may be null: controls are drawn without their texts. The font
    // must outlive the painter.
    explicit DialogPainter(const FontRaster* font);

    // Picture for Icon controls (RGBA, row 0 at the top); the backend hands
    // over the program's window icon.
    void SetIcon(const uint8_t* rgba, int width, int height);

    // Gives every edit field its view width and this font's character
    // widths, so that it scrolls to keep its caret visible.
    void LayOut(Dialog& dlg) const;

    // Paints the whole client area of the dialog.
    void Paint(const Dialog& dlg, Canvas& canvas) const;

    // A control's rectangle in client pixels.
    static Rect ControlRect(const DialogControl& c);
    // Where an edit field's text shows: inside its border and margin.
    static Rect EditTextArea(const DialogControl& c);
    // Advance of a Windows-1252 byte in the font; control bytes have none.
    int ByteWidth(unsigned char byte) const { return advances_[byte]; }
    int TextWidth(const std::string& bytes) const;

  private:
    void PaintStatic(const Dialog& dlg, const DialogControl& c, Canvas& canvas) const;
    void PaintIcon(const DialogControl& c, Canvas& canvas) const;
    void PaintButton(const Dialog& dlg, const DialogControl& c, Canvas& canvas) const;
    void PaintEdit(const Dialog& dlg, const DialogControl& c, Canvas& canvas) const;
    // Draws the bytes with the pen starting at (x, baseline), clipped.
    void DrawText(Canvas& canvas, const std::string& bytes, int x, int baseline,
                  const Rect& clip) const;
    const FontRaster::Glyph& GlyphOf(unsigned char byte) const;

    const FontRaster* font_;
    std::array<int, 256> advances_{};
    mutable std::array<FontRaster::Glyph, 256> glyphs_;
    mutable std::array<bool, 256> rendered_{};
    std::vector<uint8_t> icon_;
    int iconWidth_ = 0;
    int iconHeight_ = 0;
};
