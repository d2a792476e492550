#include "platform/DialogPainter.h"

#include <algorithm>

namespace {

constexpr int kLabelId = -1;

Rect Inset(const Rect& r, int d) {
    return Rect{r.left + d, r.top + d, r.right - d, r.bottom - d};
}

// Two-pixel 3D border: raised for buttons, sunken for edit fields.
void Bevel(Canvas& canvas, const Rect& r, bool raised) {
    const uint32_t outerTopLeft = raised ? DialogPainter::kHighlight : DialogPainter::kShadow;
    const uint32_t outerBottomRight = raised ? DialogPainter::kDark : DialogPainter::kHighlight;
    const uint32_t innerTopLeft = raised ? DialogPainter::kLight : DialogPainter::kDark;
    const uint32_t innerBottomRight = raised ? DialogPainter::kShadow : DialogPainter::kLight;
    for (int i = 0; i < 2; ++i) {
        const Rect e = Inset(r, i);
        const uint32_t tl = i == 0 ? outerTopLeft : innerTopLeft;
        const uint32_t br = i == 0 ? outerBottomRight : innerBottomRight;
        canvas.FillRect(Rect{e.left, e.bottom - 1, e.right, e.bottom}, br);
        canvas.FillRect(Rect{e.right - 1, e.top, e.right, e.bottom}, br);
        canvas.FillRect(Rect{e.left, e.top, e.right - 1, e.top + 1}, tl);
        canvas.FillRect(Rect{e.left, e.top, e.left + 1, e.bottom - 1}, tl);
    }
}

}  // namespace

DialogPainter::DialogPainter(const FontRaster* font) : font_(font) {}

void DialogPainter::SetIcon(const uint8_t* rgba, int width, int height) {
    if (rgba == nullptr || width <= 0 || height <= 0) {
        icon_.clear();
        iconWidth_ = iconHeight_ = 0;
        return;
    }
    icon_.assign(rgba, rgba + static_cast<size_t>(width) * height * 4);
    iconWidth_ = width;
    iconHeight_ = height;
}

Rect DialogPainter::ControlRect(const DialogControl& c) {
    const int left = DialogUnitsToPixelsX(c.x);
    const int top = DialogUnitsToPixelsY(c.y);
    return Rect{left, top, left + DialogUnitsToPixelsX(c.width),
                top + DialogUnitsToPixelsY(c.height)};
}

void DialogPainter::Paint(const Dialog& dlg, Canvas& canvas) const {
    canvas.FillRect(Rect{0, 0, canvas.Width(), canvas.Height()}, kFace);
    for (const DialogControl& c : dlg.Template().controls) {
        switch (c.kind) {
            case DialogControl::Kind::Static:
                PaintStatic(dlg, c, canvas);
                break;
            case DialogControl::Kind::Icon:
                PaintIcon(c, canvas);
                break;
            case DialogControl::Kind::Button:
                PaintButton(dlg, c, canvas);
                break;
            case DialogControl::Kind::Edit:
                PaintEdit(dlg, c, canvas);
                break;
            case DialogControl::Kind::Custom:
                break;
        }
    }
}

int DialogPainter::DrawText(Canvas& canvas, const std::string& text, int x, int baseline,
                            const Rect& clip) const {
    if (font_ == nullptr) {
        return x;
    }
    FontRaster::Glyph glyph;
    for (size_t pos = 0; pos < text.size();) {
        const char32_t cp = NextUtf8(text, pos);
        if (IsControlCodePoint(cp) || !font_->Render(cp, glyph)) {
            continue;
        }
        canvas.DrawGlyph(glyph, x, baseline, kText, clip);
        x += glyph.advance;
    }
    return x;
}

void DialogPainter::PaintStatic(const Dialog& dlg, const DialogControl& c, Canvas& canvas) const {
    const Rect r = ControlRect(c);
    const int ascent = font_ != nullptr ? font_->Ascent() : 0;
    // Labels share the id -1 and so cannot be told apart by id: they keep
    // the template's text.
    const std::string text = c.id == kLabelId ? std::string(c.text) : dlg.GetItemText(c.id);
    DrawText(canvas, text, r.left, r.top + ascent, r);
}

void DialogPainter::PaintIcon(const DialogControl& c, Canvas& canvas) const {
    if (icon_.empty()) {
        return;
    }
    // An icon control takes the icon's own size, as the classic one does.
    const Rect r = ControlRect(c);
    canvas.DrawRgba(icon_.data(), iconWidth_, iconHeight_, r.left, r.top);
}

void DialogPainter::PaintButton(const Dialog& dlg, const DialogControl& c, Canvas& canvas) const {
    Rect r = ControlRect(c);
    if (c.isDefault) {
        canvas.FrameRect(r, kDark);
        r = Inset(r, 1);
    }
    canvas.FillRect(r, kFace);
    Bevel(canvas, r, true);
    if (font_ == nullptr) {
        return;
    }
    const std::string text = dlg.GetItemText(c.id);
    const int x = r.left + (r.Width() - font_->TextWidth(text)) / 2;
    const int baseline = r.top + (r.Height() - font_->CellHeight()) / 2 + font_->Ascent();
    DrawText(canvas, text, x, baseline, Inset(r, 2));
}

size_t DialogPainter::CaretIndex(const Dialog& dlg, const DialogControl& edit) const {
    return dlg.GetItemText(edit.id).size();
}

int DialogPainter::EditScroll(const std::string& text, size_t caret, int innerWidth) const {
    if (font_ == nullptr) {
        return 0;
    }
    // Keep the caret one pixel inside the right edge once the text is wider.
    const int caretX = font_->TextWidth(text.substr(0, caret));
    return std::max(0, caretX - (innerWidth - 2));
}

void DialogPainter::PaintEdit(const Dialog& dlg, const DialogControl& c, Canvas& canvas) const {
    const Rect r = ControlRect(c);
    canvas.FillRect(r, kWindow);
    Bevel(canvas, r, false);
    const Rect inner = Inset(r, 2);
    const int margin = 1;
    const Rect textArea{inner.left + margin, inner.top, inner.right - margin, inner.bottom};
    const std::string text = dlg.GetItemText(c.id);
    const size_t caret = std::min(CaretIndex(dlg, c), text.size());
    const int scroll = EditScroll(text, caret, textArea.Width());
    const int cell = font_ != nullptr ? font_->CellHeight() : inner.Height() - 2;
    const int top = inner.top + (inner.Height() - cell) / 2;
    const int ascent = font_ != nullptr ? font_->Ascent() : 0;
    DrawText(canvas, text, textArea.left - scroll, top + ascent, textArea);
    const int caretX =
        textArea.left - scroll + (font_ != nullptr ? font_->TextWidth(text.substr(0, caret)) : 0);
    canvas.FillRect(
        Rect{caretX, std::max(top, inner.top), caretX + 1, std::min(top + cell, inner.bottom)},
        kText);
}
