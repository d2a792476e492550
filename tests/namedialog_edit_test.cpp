#include <gtest/gtest.h>

#include <string>

#include "platform/Cp1252.h"
#include "platform/EditControl.h"
#include "platform/Keys.h"
#include "platform/virtual/VirtualSystem.h"
#include "res/Resources.h"
#include "scores/NameDialog.h"

TEST(NameDialogEdit, TypedUtf8BecomesWindows1252Bytes) {
    EXPECT_EQ(EditControl::FromUtf8("Ann\xC3\xA9 \xE2\x82\xAC\xC5\xA1"), "Ann\xE9 \x80\x9A");
    // Characters without a byte, and malformed UTF-8, become '?'.
    EXPECT_EQ(EditControl::FromUtf8("\xE6\x97\xA5\xF0\x9F\x98\x80"), "??");
    EXPECT_EQ(EditControl::FromUtf8("a\x80"
                                    "b\xC3"),
              "a?b?");
    EXPECT_EQ(EditControl::FromUtf8("\xC0\xAF\xED\xA0\x80"), "?????");
    EXPECT_EQ(EditControl::FromUtf8("\xF4\x90\x80\x80z"), "????z");
    // A single-line field takes no control characters.
    EXPECT_EQ(EditControl::FromUtf8("a\tb\r\nc\x7F\xC2\x85"), "abc");
    // Every printable byte survives the trip through Unicode and back.
    for (int b = 0x20; b < 0x100; ++b) {
        const char32_t cp = Cp1252ToUnicode(static_cast<uint8_t>(b));
        if (IsControlCodePoint(cp)) {
            continue;
        }
        std::string utf8;
        if (cp < 0x80) {
            utf8 = std::string(1, static_cast<char>(cp));
        } else if (cp < 0x800) {
            utf8 = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        } else {
            utf8 = {static_cast<char>(0xE0 | (cp >> 12)),
                    static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (cp & 0x3F))};
        }
        EXPECT_EQ(EditControl::FromUtf8(utf8), std::string(1, static_cast<char>(b))) << b;
    }
}

TEST(NameDialogEdit, EditingKeysMoveTheCaretAndDelete) {
    EditControl e;
    e.Type("Anx");
    e.KeyDown(VK_BACK);
    e.Type("na");
    EXPECT_EQ(e.Text(), "Anna");
    e.KeyDown(VK_HOME);
    e.KeyDown(VK_DELETE);
    e.Type("E");
    EXPECT_EQ(e.Text(), "Enna");
    EXPECT_EQ(e.Caret(), 1u);
    e.KeyDown(VK_RIGHT);
    e.KeyDown(VK_RIGHT);
    e.KeyDown(VK_LEFT);
    e.Type("-");
    EXPECT_EQ(e.Text(), "En-na");
    e.KeyDown(VK_END);
    e.KeyDown(VK_DELETE);  // nothing after the caret
    e.KeyDown(VK_RIGHT);
    EXPECT_EQ(e.Caret(), 5u);
    e.KeyDown(VK_HOME);
    e.KeyDown(VK_BACK);  // nothing before it
    e.KeyDown(VK_LEFT);
    EXPECT_EQ(e.Text(), "En-na");
    EXPECT_EQ(e.Caret(), 0u);
    EXPECT_FALSE(e.KeyDown(VK_UP));
    EXPECT_FALSE(e.Type("\x01"));
}

TEST(NameDialogEdit, ScrollsToKeepTheCaretInView) {
    EditControl e;
    e.SetView(50, [](unsigned char) { return 10; });
    e.Type("abcd");
    EXPECT_EQ(e.Scroll(), 0);
    e.Type("efghij");  // caret at 100 px
    EXPECT_EQ(e.Scroll(), 100 - 49);
    e.KeyDown(VK_HOME);
    EXPECT_EQ(e.Scroll(), 0);
    e.KeyDown(VK_END);
    EXPECT_EQ(e.Scroll(), 51);
    for (int i = 0; i < 7; ++i) {
        e.KeyDown(VK_LEFT);  // caret at 30 px, left of the view
    }
    EXPECT_LE(e.Scroll(), 30);
    EXPECT_GE(e.Scroll(), 30 - 49);
    // Deleting the end pulls the text back so no space is wasted on the right.
    e.KeyDown(VK_END);
    for (int i = 0; i < 6; ++i) {
        e.KeyDown(VK_BACK);
    }
    EXPECT_EQ(e.Scroll(), 0);
}

TEST(NameDialogEdit, TextIsLimitedAsTheClassicField) {
    EditControl e;
    e.Type(std::string(EditControl::kDefaultLimit - 2, 'a'));
    e.Type("bcdef");
    EXPECT_EQ(e.Text().size(), EditControl::kDefaultLimit);
    EXPECT_EQ(e.Text().substr(e.Text().size() - 3), "abc");
}

TEST(NameDialogEdit, DialogRoutesTypingToTheFocusedField) {
    VirtualSystem sys;
    SetSys(&sys);
    NameDialog dlg;
    EXPECT_EQ(dlg.FocusId(), IDC_NAME_EDIT);
    Message text;
    text.kind = MessageKind::Text;
    text.text = "Zo\xC3\xAB";
    Message key;
    key.key = VK_LEFT;
    sys.Schedule(1, text);
    sys.Schedule(1, key);
    text.text = "x";
    sys.Schedule(1, text);
    key.key = VK_RETURN;
    sys.Schedule(1, key);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.name, "Zox\xEB");
    SetSys(nullptr);
}
