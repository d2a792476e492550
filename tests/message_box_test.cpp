#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Keys.h"
#include "platform/MessageBoxDialog.h"
#include "platform/virtual/VirtualSystem.h"

namespace {

// Six pixels a byte, roughly the dialog font's average.
int SixEach(const std::string& s) {
    return static_cast<int>(s.size()) * 6;
}

Rect PixelRect(const DialogControl& c) {
    const int left = DialogUnitsToPixelsX(c.x);
    const int top = DialogUnitsToPixelsY(c.y);
    return Rect{left, top, left + DialogUnitsToPixelsX(c.width),
                top + DialogUnitsToPixelsY(c.height)};
}

const DialogControl& OkButton(const Dialog& dlg) {
    return dlg.Template().controls.back();
}

const DialogTemplate kTicking{902, "", 200, 100, true, true, {}};

// A main window whose tick `openAt` opens a message box, as a loader's
// failure would inside the game's frame.
class Ticking : public Dialog {
  public:
    Ticking() : Dialog(kTicking) {}
    uint64_t openAt = 3;
    uint64_t ticks = 0;
    uint64_t ticksWhileOpen = 0;
    int result = 0;
    bool open = false;

    bool OnInitDialog() override {
        SetTimer(1, 40);
        return true;
    }
    void OnTimer(unsigned) override {
        ++ticks;
        if (open) {
            ++ticksWhileOpen;
        } else if (ticks == openAt) {
            open = true;
            MessageBoxDialog box("Board", "Can't load image", SixEach);
            result = box.DoModal();
            open = false;
        }
    }
};

}  // namespace

TEST(MessageBox, TextWrapsAtBreaksBetweenWordsAndInsideOverlongWords) {
    const struct {
        const char* text;
        int maxWidth;
        std::vector<std::string> lines;
    } cases[] = {
        {"", 60, {""}},
        {"Can't load image", 200, {"Can't load image"}},
        {"Can't load image", 60, {"Can't load", "image"}},
        {"Can't load image", 54, {"Can't", "load", "image"}},
        {"one two three", 60, {"one two", "three"}},
        {"first\r\nsecond\n\nfourth", 200, {"first", "second", "", "fourth"}},
        // The DIB reader's text ends in a line break, which ends its one line.
        {"Failed to open DIB file Hero.bmp.\n", 420, {"Failed to open DIB file Hero.bmp."}},
        {"last\r\n\n", 200, {"last", ""}},
        {"\n", 200, {""}},
        {"abcdefghijklmnopqrstuvwxyz end", 60, {"abcdefghij", "klmnopqrst", "uvwxyz end"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MessageBoxDialog::Wrap(c.text, c.maxWidth, SixEach), c.lines) << c.text;
    }
}

TEST(MessageBox, BoxIsSizedToItsLinesWithOkCentredBelow) {
    VirtualSystem sys;
    SetSys(&sys);
    const std::string longText(40, 'x');  // one 240-pixel word
    std::string text = "Error";
    for (int i = 0; i < 4; ++i) {
        text += " " + longText;
    }
    MessageBoxDialog box("Caption", text.c_str(), SixEach);
    const DialogTemplate& t = box.Template();
    EXPECT_STREQ(t.caption, "Caption");
    ASSERT_EQ(box.Lines().size(), 4u) << "two 240-pixel words never share a 420-pixel line";
    ASSERT_EQ(t.controls.size(), box.Lines().size() + 1);
    int lastTextBottom = 0;
    for (size_t i = 0; i < box.Lines().size(); ++i) {
        const DialogControl& line = t.controls[i];
        EXPECT_STREQ(line.text, box.Lines()[i].c_str());
        EXPECT_GE(PixelRect(line).Width(), SixEach(box.Lines()[i])) << "the line is not clipped";
        EXPECT_LE(SixEach(box.Lines()[i]), MessageBoxDialog::kMaxTextWidth);
        lastTextBottom = PixelRect(line).bottom;
    }
    const DialogControl& ok = OkButton(box);
    EXPECT_EQ(ok.kind, DialogControl::Kind::Button);
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_STREQ(ok.text, "OK");
    EXPECT_TRUE(ok.isDefault);
    EXPECT_EQ(box.FocusId(), IDOK);
    EXPECT_GT(PixelRect(ok).top, lastTextBottom);
    EXPECT_NEAR(ok.x + ok.width / 2, t.width / 2, 1);
    EXPECT_LT(ok.y + ok.height, t.height);
    EXPECT_GE(t.width, t.controls[0].x * 2 + t.controls[0].width);
    SetSys(nullptr);
}

// Each way of answering the box, delivered some ticks after it opened; the
// main window's timer goes on meanwhile. A click beside the button does nothing.
TEST(MessageBox, EachAnswerClosesItWhileTheMainWindowTicks) {
    enum class Way { Enter, Escape, Space, Click };
    const struct {
        Way way;
        int result;
    } cases[] = {
        {Way::Enter, IDOK},
        {Way::Escape, IDCANCEL},
        {Way::Space, IDOK},
        {Way::Click, IDOK},
    };
    for (const auto& c : cases) {
        VirtualSystem::Options options;
        options.gl = false;
        VirtualSystem sys(options);
        SetSys(&sys);
        Ticking main;
        sys.Open(main);
        // What the box will be, for the click's place.
        const MessageBoxDialog probe("Board", "Can't load image", SixEach);
        const Rect ok = PixelRect(OkButton(probe));
        Message beside;
        beside.kind = MessageKind::Click;
        beside.x = ok.left - 2;
        beside.y = ok.top + 2;
        sys.Schedule(5, beside);
        Message m;
        switch (c.way) {
            case Way::Enter:
            case Way::Escape:
            case Way::Space:
                m.key = c.way == Way::Enter    ? VK_RETURN
                        : c.way == Way::Escape ? VK_ESCAPE
                                               : VK_SPACE;
                break;
            case Way::Click:
                m.kind = MessageKind::Click;
                m.x = (ok.left + ok.right) / 2;
                m.y = ok.bottom - 1;
                break;
        }
        sys.Schedule(10, m);
        ASSERT_TRUE(sys.RunTicks(20));
        EXPECT_FALSE(main.open);
        EXPECT_EQ(main.result, c.result) << static_cast<int>(c.way);
        EXPECT_EQ(main.ticksWhileOpen, 7u) << "ticks 4 to 10 ran behind the box";
        EXPECT_EQ(main.ticks, 20u);
        sys.Close();
        SetSys(nullptr);
    }
}
