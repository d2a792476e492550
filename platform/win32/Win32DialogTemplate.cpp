#include "platform/win32/Win32DialogTemplate.h"

#include <utility>

#include "platform/Cp1252.h"
#include "platform/DialogTemplate.h"

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>

namespace {

constexpr const char* kDialogFont = "MS Sans Serif";
constexpr uint16_t kDialogFontPoints = 8;

// Predefined control classes, by atom.
constexpr uint16_t kButtonClass = 0x0080;
constexpr uint16_t kEditClass = 0x0081;
constexpr uint16_t kStaticClass = 0x0082;

class Words {
  public:
    void Word(uint16_t w) { words_.push_back(w); }
    void Dword(uint32_t d) {
        Word(static_cast<uint16_t>(d & 0xFFFF));
        Word(static_cast<uint16_t>(d >> 16));
    }
    void Text(const std::string& cp1252) {
        for (const wchar_t c : WideFromCp1252(cp1252)) {
            Word(static_cast<uint16_t>(c));
        }
        Word(0);
    }
    void AlignDword() {
        if (words_.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<uint16_t> Take() { return std::move(words_); }

  private:
    std::vector<uint16_t> words_;
};

uint32_t DialogStyle(const DialogTemplate& t) {
    if (t.hostsGl) {
        // Without a caption the system menu shows nowhere on the window, but
        // it must exist for the taskbar, Alt+Space and the About item.
        return WS_POPUP | WS_SYSMENU | DS_SETFONT;
    }
    const uint32_t framed = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    return t.visible ? framed | DS_CENTER : framed;
}

void Control(Words& out, const DialogControl& c) {
    uint32_t style = WS_CHILD | WS_VISIBLE;
    uint16_t cls = kStaticClass;
    const char* text = c.text;
    switch (c.kind) {
        case DialogControl::Kind::Static:
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case DialogControl::Kind::Icon:
            style |= SS_ICON;  // the picture is set once the window exists
            text = "";
            break;
        case DialogControl::Kind::Edit:
            style |= WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
            cls = kEditClass;
            break;
        case DialogControl::Kind::Button:
            style |= WS_TABSTOP | (c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            cls = kButtonClass;
            break;
        case DialogControl::Kind::Custom:
            // The MIDI file player is ours and needs no window class of its
            // own; a plain static holds its place in the hidden window.
            break;
    }
    out.AlignDword();
    out.Dword(style);
    out.Dword(0);
    out.Word(static_cast<uint16_t>(c.x));
    out.Word(static_cast<uint16_t>(c.y));
    out.Word(static_cast<uint16_t>(c.width));
    out.Word(static_cast<uint16_t>(c.height));
    out.Word(static_cast<uint16_t>(c.id));
    out.Word(0xFFFF);
    out.Word(cls);
    out.Text(text);
    out.Word(0);  // no creation data
}

}  // namespace

std::vector<uint16_t> BuildWin32DialogTemplate(const DialogTemplate& t) {
    Words out;
    out.Dword(DialogStyle(t));
    out.Dword(t.hostsGl ? WS_EX_APPWINDOW : 0);
    out.Word(static_cast<uint16_t>(t.controls.size()));
    out.Word(0);
    out.Word(0);
    out.Word(static_cast<uint16_t>(t.width));
    out.Word(static_cast<uint16_t>(t.height));
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(t.caption);
    out.Word(kDialogFontPoints);
    out.Text(kDialogFont);
    for (const DialogControl& c : t.controls) {
        Control(out, c);
    }
    return out.Take();
}

std::wstring WideFromCp1252(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (const char c : text) {
        out.push_back(static_cast<wchar_t>(Cp1252ToUnicode(static_cast<uint8_t>(c))));
    }
    return out;
}

std::string Cp1252FromWide(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = static_cast<char16_t>(text[i]);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size()) {
            const char32_t low = static_cast<char16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        out.push_back(Cp1252FromUnicode(cp));
    }
    return out;
}
