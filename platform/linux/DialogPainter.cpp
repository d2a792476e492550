#include "platform/linux/DialogPainter.h"

#include <algorithm>

#include "platform/Cp1252.h"

namespace {

// Labels share this id and so cannot be told apart by it.
constexpr int kLabelId = -1;
// An edit field's text sits inside its two-pixel border and a one-pixel margin.
constexpr int kEditInset = 3;

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

DialogPainter::DialogPainter(const FontRaster* font) : font_(font) {
    if (font_ == nullptr) {
        return;
    }
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = Cp1252ToUnicode(static_cast<uint8_t>(b));
        FontRaster::Glyph g;
        if (!IsControlCodePoint(cp) && font_->Render(cp, g)) {
            advances_[b] = g.advance;
        }
    }
}

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

Rect DialogPainter::EditTextArea(const DialogControl& c) {
    const Rect r = ControlRect(c);
    return Rect{r.left + kEditInset, r.top + 2, r.right - kEditInset, r.bottom - 2};
}

void DialogPainter::LayOut(Dialog& dlg) const {
    if (font_ == nullptr) {
        return;
    }
    for (const DialogControl& c : dlg.Template().controls) {
        if (EditControl* edit = dlg.GetEdit(c.id)) {
            // A copy of the widths, so the field never points into a painter
            // that is gone.
            edit->SetView(EditTextArea(c).Width(),
                          [advances = advances_](unsigned char b) { return advances[b]; });
        }
    }
}

int DialogPainter::TextWidth(const std::string& bytes) const {
    int w = 0;
    for (unsigned char b : bytes) {
        w += advances_[b];
    }
    return w;
}

const FontRaster::Glyph& DialogPainter::GlyphOf(unsigned char byte) const {
    if (!rendered_[byte]) {
        const char32_t cp = Cp1252ToUnicode(byte);
        if (!IsControlCodePoint(cp)) {
            font_->Render(cp, glyphs_[byte]);
        }
        rendered_[byte] = true;
    }
    return glyphs_[byte];
}

void DialogPainter::Paint(const Dialog& dlg, Canvas& canvas) const {
    canvas.FillRect(Rect{0, 0, canvas.Width(), canvas.Height()}, kFace);
    for (const DialogControl& c : dlg.Template().controls) {
        if (!dlg.IsItemVisible(c.id)) {
            continue;
        }
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

void DialogPainter::DrawText(Canvas& canvas, const std::string& bytes, int x, int baseline,
                             const Rect& clip) const {
    if (font_ == nullptr) {
        return;
    }
    for (unsigned char b : bytes) {
        if (x >= clip.right) {
            break;
        }
        if (x + advances_[b] + 2 > clip.left) {
            canvas.DrawGlyph(GlyphOf(b), x, baseline, kText, clip);
        }
        x += advances_[b];
    }
}

void DialogPainter::PaintStatic(const Dialog& dlg, const DialogControl& c, Canvas& canvas) const {
    const Rect r = ControlRect(c);
    const int ascent = font_ != nullptr ? font_->Ascent() : 0;
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
    const int x = r.left + (r.Width() - TextWidth(text)) / 2;
    const int baseline = r.top + (r.Height() - font_->CellHeight()) / 2 + font_->Ascent();
    DrawText(canvas, text, x, baseline, Inset(r, 2));
}

void DialogPainter::PaintEdit(const Dialog& dlg, const DialogControl& c, Canvas& canvas) const {
    const Rect r = ControlRect(c);
    canvas.FillRect(r, kWindow);
    Bevel(canvas, r, false);
    const EditControl* edit = dlg.GetEdit(c.id);
    if (edit == nullptr) {
        return;
    }
    const Rect area = EditTextArea(c);
    const int cell = font_ != nullptr ? font_->CellHeight() : area.Height() - 2;
    const int top = area.top + (area.Height() - cell) / 2;
    const int left = area.left - edit->Scroll();
    if (font_ != nullptr) {
        DrawText(canvas, edit->Text(), left, top + font_->Ascent(), area);
    }
    if (dlg.FocusId() != c.id) {
        return;  // the caret shows only where typing goes
    }
    const std::string& text = edit->Text();
    const int caretX = left + TextWidth(text.substr(0, std::min(edit->Caret(), text.size())));
    canvas.FillRect(Rect{std::min(caretX, area.right - 1), std::max(top, area.top),
                         std::min(caretX, area.right - 1) + 1, std::min(top + cell, area.bottom)},
                    kText);
}
