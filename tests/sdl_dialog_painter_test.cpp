#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Keys.h"
#include "platform/linux/Canvas.h"
#include "platform/linux/DialogPainter.h"
#include "platform/linux/FontRaster.h"

namespace {

using Kind = DialogControl::Kind;

const DialogTemplate kBox{
    950,
    "Box",
    235,
    55,
    true,
    false,
    {
        {Kind::Icon, 128, 11, 17, 20, 20, "", false},
        {Kind::Static, -1, 40, 10, 119, 8, "First line", false},
        {Kind::Static, -1, 40, 25, 119, 8, "Second line", false},
        {Kind::Button, 1, 178, 7, 50, 14, "OK", true},
        {Kind::Edit, 1001, 9, 40, 100, 12, "", false},
    },
};

bool IsDark(uint32_t c) {
    return ((c >> 16) & 0xFF) < 100 && ((c >> 8) & 0xFF) < 100 && (c & 0xFF) < 100;
}

int DarkIn(const Canvas& c, const Rect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            n += IsDark(c.At(x, y)) ? 1 : 0;
        }
    }
    return n;
}

// The x of the caret: the rightmost column of the edit's inner area with a
// dark pixel in every row of the text cell.
int CaretColumn(const Canvas& c, const Rect& edit, int cellTop, int cellBottom) {
    for (int x = edit.right - 3; x >= edit.left + 2; --x) {
        bool full = true;
        for (int y = cellTop; y < cellBottom && full; ++y) {
            full = IsDark(c.At(x, y));
        }
        if (full) {
            return x;
        }
    }
    return -1;
}

class DialogPainterTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(font.Open("MS Sans Serif", 400, 13)); }

    // Lays the dialog out and paints it, as the backend does.
    Canvas Paint(Dialog& dlg) {
        Canvas canvas(DialogUnitsToPixelsX(kBox.width), DialogUnitsToPixelsY(kBox.height));
        DialogPainter painter(&font);
        std::vector<uint8_t> icon(32 * 32 * 4);
        for (size_t i = 0; i < icon.size(); i += 4) {
            icon[i + 0] = 0;
            icon[i + 1] = 0;
            icon[i + 2] = 255;
            icon[i + 3] = 255;
        }
        painter.SetIcon(icon.data(), 32, 32);
        painter.LayOut(dlg);
        painter.Paint(dlg, canvas);
        return canvas;
    }
    // Tab, from OK (the first control to take the focus) to the field.
    static void FocusTheEdit(Dialog& dlg) {
        Message tab;
        tab.key = VK_TAB;
        dlg.PreTranslateMessage(tab);
    }
    int Width(const std::string& bytes) const { return DialogPainter(&font).TextWidth(bytes); }
    Rect EditRect() const { return DialogPainter::ControlRect(kBox.controls[4]); }
    int CellTop() const { return EditRect().top + 2 + (EditRect().Height() - 4 - 13) / 2 + 1; }

    FontRaster font;
};

}  // namespace

TEST_F(DialogPainterTest, ClassicLookOfTheControls) {
    Dialog dlg(kBox);
    const Canvas c = Paint(dlg);
    EXPECT_EQ(c.At(0, 0), DialogPainter::kFace);
    // The icon at its control's corner, in its own colours.
    const Rect icon = DialogPainter::ControlRect(kBox.controls[0]);
    EXPECT_EQ(c.At(icon.left + 5, icon.top + 5), 0xFF0000FFu);
    // Both labels keep their own texts although they share id -1.
    EXPECT_GT(DarkIn(c, DialogPainter::ControlRect(kBox.controls[1])), 20);
    EXPECT_GT(DarkIn(c, DialogPainter::ControlRect(kBox.controls[2])), 20);
    // The default button has a black frame and its text in the middle.
    const Rect button = DialogPainter::ControlRect(kBox.controls[3]);
    EXPECT_EQ(c.At(button.left, button.top + 5), DialogPainter::kDark);
    EXPECT_EQ(c.At(button.left + 1, button.top + 5), DialogPainter::kHighlight);
    const int midX = (button.left + button.right) / 2;
    EXPECT_GT(DarkIn(c, Rect{midX - 8, button.top + 3, midX + 8, button.bottom - 3}), 10);
    // The edit field: white inside a sunken border, the caret at the start.
    const Rect edit = EditRect();
    EXPECT_EQ(c.At(edit.left, edit.top), DialogPainter::kShadow);
    EXPECT_EQ(c.At(edit.right - 1, edit.bottom - 1), DialogPainter::kHighlight);
    EXPECT_EQ(c.At(edit.right - 5, edit.top + 5), DialogPainter::kWindow);
    EXPECT_EQ(CaretColumn(c, edit, CellTop(), CellTop() + 9), -1) << "OK has the focus";
    FocusTheEdit(dlg);
    EXPECT_EQ(CaretColumn(Paint(dlg), edit, CellTop(), CellTop() + 9), edit.left + 3);
}

TEST_F(DialogPainterTest, CaretFollowsTheTextAndStaysVisibleWhenItScrolls) {
    Dialog dlg(kBox);
    FocusTheEdit(dlg);
    const Rect edit = EditRect();
    dlg.SetItemText(1001, "Ann");
    Canvas c = Paint(dlg);
    EXPECT_EQ(CaretColumn(c, edit, CellTop(), CellTop() + 9),
              edit.left + 3 + font.TextWidth("Ann"));

    const std::string longName(80, 'o');  // no letter has a stem as tall as the caret
    dlg.SetItemText(1001, longName);
    ASSERT_GT(Width(longName), edit.Width());
    c = Paint(dlg);
    const int caret = CaretColumn(c, edit, CellTop(), CellTop() + 9);
    EXPECT_GT(caret, edit.right - 6) << "the text scrolled so that its end shows";
    EXPECT_LT(caret, edit.right - 2);
    // Nothing of the text leaks over the border.
    for (int y = edit.top + 2; y < edit.bottom - 2; ++y) {
        EXPECT_EQ(c.At(edit.right - 2, y), DialogPainter::kLight);
    }

    // Home brings the start back into view with the caret before it.
    dlg.GetEdit(1001)->KeyDown(VK_HOME);
    c = Paint(dlg);
    EXPECT_EQ(CaretColumn(c, edit, CellTop(), CellTop() + 9), edit.left + 3);
}

TEST_F(DialogPainterTest, TextIsWindows1252) {
    Dialog dlg(kBox);
    dlg.SetItemText(1001, "\x80");  // the euro sign
    const Canvas c = Paint(dlg);
    const Rect edit = EditRect();
    const int euro = Width("\x80");
    EXPECT_GT(euro, 3);
    EXPECT_GT(DarkIn(c, Rect{edit.left + 3, edit.top + 2, edit.left + 3 + euro, edit.bottom - 2}),
              10);
    EXPECT_EQ(Width("\x01\x81"), 0) << "control bytes take no room";
}

TEST_F(DialogPainterTest, WithoutAFontTheControlsStillDraw) {
    Dialog dlg(kBox);
    dlg.SetItemText(1001, "text");
    Canvas canvas(50, 50);
    DialogPainter painter(nullptr);
    painter.LayOut(dlg);
    painter.Paint(dlg, canvas);
    EXPECT_EQ(canvas.At(0, 0), DialogPainter::kFace);
    EXPECT_EQ(painter.TextWidth("text"), 0);
}
