// The Windows backend's modal loops and input: the message pump, the keys
// and typed characters on their way to the game and its dialogs (through
// the input tap, for recordings and playbacks), controllers, message boxes.
#include <cstring>

#include "platform/Dialog.h"
#include "platform/Keys.h"
#include "platform/Message.h"
#include "platform/win32/Win32DialogTemplate.h"
#include "platform/win32/Win32Gamepads.h"
#include "platform/win32/Win32KeyMap.h"
#include "platform/win32/Win32Window.h"

namespace {

// The system whose message box is open now: the box runs the system's own
// modal loop, where its keys and clicks answer it without passing the input
// tap (message boxes stay out of recordings, and during a playback the
// player answers them).
Win32System* boxSystem = nullptr;

// Sets a flag for the length of a scope and puts the old value back.
class FlagScope {
  public:
    FlagScope(bool& flag, bool value) : flag_(flag), old_(flag) { flag = value; }
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
    bool old_;
};

}  // namespace

void Win32System::MessageBox(const char* text, const char* caption) {
    // Before the main window shows (messages during start-up) the box
    // stands alone and holds the whole program, as a box over it would.
    HWND owner = static_cast<HWND>(Owner());
    const UINT flags =
        MB_OK | MB_SETFOREGROUND | (owner != nullptr && IsWindowVisible(owner) ? 0 : MB_TASKMODAL);
    if (owner != nullptr && !IsWindowVisible(owner)) {
        owner = nullptr;
    }
    Win32System* const outerBox = boxSystem;
    boxSystem = this;
    MessageBoxW(owner, WideFromCp1252(text).c_str(), WideFromCp1252(caption).c_str(), flags);
    boxSystem = outerBox;
}

void Win32System::Pump(Dialog& modal) {
    MSG m;
    // Frames between ticks in the idle time: WM_TIMER is made only when no
    // other message waits, so a waiting tick is always taken first.
    if (frameSource_ != nullptr && !PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE)) {
        if (DrawDueFrame()) {
            return;
        }
        const uint64_t now = NowMicros();
        const uint64_t next = NextFrameMicros();
        const DWORD wait = next == UINT64_MAX ? INFINITE
                           : next <= now      ? 0
                                              : static_cast<DWORD>((next - now + 999) / 1000);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
        return;
    }
    const BOOL got = GetMessageW(&m, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        // WM_QUIT (the session ends): every dialog ends, the main window last.
        CancelAll();
        return;
    }
    if (m.hwnd == nullptr && m.message == WM_TIMER && m.wParam == padTimer_ && padTimer_ != 0) {
        PollGamepads();
        return;
    }
    if (RouteInput(&m)) {
        return;
    }
    Window* top = Find(modal);
    const bool dialog = top != nullptr && top->hwnd != nullptr && !modal.Template().hostsGl;
    bool key = false;
    if (dialog && (m.hwnd == top->hwnd || IsChild(top->hwnd, m.hwnd))) {
        Message msg;
        key = MessageFromWin32(m.message, m.wParam, m.lParam, msg) ||
              (m.message == WM_CHAR && TextFromWin32Char(m.wParam, pendingHigh_, msg));
        if (key && modal.CapturesKeys() && msg.kind != MessageKind::Text) {
            // The key to bind, before the dialog manager sees it.
            if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
                modal.PreTranslateMessage(msg);
                PushTexts(modal, top->hwnd);
            }
            return;
        }
        if (key && !modal.OutsideThePlay() && !TapInput(msg)) {
            return;
        }
    }
    const FlagScope scope(fromKey_, key);
    if (dialog && IsDialogMessageW(top->hwnd, &m)) {
        return;  // the dialog manager's keys: Tab, Enter, Escape, typing
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
}

bool Win32System::RouteInput(const void* msgPtr) {
    const MSG& m = *static_cast<const MSG*>(msgPtr);
    Dialog* innermost = InnermostModal();
    if (innermost == nullptr || !innermost->Template().hostsGl) {
        return false;
    }
    Window* top = Find(*innermost);
    if (top == nullptr || top->hwnd == nullptr ||
        (m.hwnd != top->hwnd && !IsChild(top->hwnd, m.hwnd))) {
        return false;
    }
    Message msg;
    if (!MessageFromWin32(m.message, m.wParam, m.lParam, msg) ||
        !ApplyKeyBindings(msg, innermost)) {
        return false;
    }
    if (!TapInput(msg)) {
        return true;  // held back
    }
    const bool taken = innermost->PreTranslateMessage(msg);
    // System keys still reach the window, so Alt+F4 and Alt+Space work;
    // Alt+Enter is the game's and goes no further.
    const bool altEnter = msg.kind == MessageKind::KeyDown && msg.alt;
    if (m.message == WM_SYSKEYDOWN || m.message == WM_SYSKEYUP) {
        return altEnter;
    }
    return taken;
}

// Controllers and a playback speak to whatever is innermost: the main
// window's key handling, or the open dialog, where Start and Back+Start
// mean Enter and Escape and a recorded name is typed into its field.
void Win32System::DeliverInput(const Message& msg) {
    // A message box is innermost while it is open: a controller's Start or
    // Back+Start answers it as Enter or Escape would, past the tap, as its
    // own keys do.
    if (HWND box = static_cast<HWND>(OpenBox()); box != nullptr) {
        if (msg.kind == MessageKind::KeyDown &&
            (msg.key == VK_RETURN || msg.key == VK_SPACE || msg.key == VK_ESCAPE)) {
            SendMessageW(box, WM_COMMAND, msg.key == VK_ESCAPE ? IDCANCEL : IDOK, 0);
        }
        return;
    }
    if (InnermostModal() == nullptr || (!InnermostModal()->OutsideThePlay() && !TapInput(msg))) {
        return;
    }
    Dialog& top = *InnermostModal();
    if (top.Template().hostsGl) {
        top.PreTranslateMessage(msg);
        return;
    }
    HWND hwnd = static_cast<HWND>(WindowOf(top));
    if (hwnd == nullptr) {
        return;
    }
    // At once, as the dialog manager does with a key: the next recorded
    // event may already be meant for what this one opens or closes.
    const FlagScope scope(fromKey_, true);
    HWND edit = static_cast<HWND>(EditOf(top, hwnd));
    if (msg.kind == MessageKind::Text) {
        if (edit != nullptr) {
            const std::wstring text = WideFromUtf8(msg.text);
            SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        }
        return;
    }
    if (msg.kind != MessageKind::KeyDown) {
        return;
    }
    // Space presses the focused button, else OK where nothing can be typed;
    // in a name it is the text that follows it.
    HWND focus = GetFocus();
    const bool onButton = focus != nullptr && IsChild(hwnd, focus) &&
                          (SendMessageW(focus, WM_GETDLGCODE, 0, 0) &
                           (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
    if (msg.key == VK_RETURN || msg.key == VK_ESCAPE ||
        (msg.key == VK_SPACE && (onButton || edit == nullptr))) {
        const int id = msg.key == VK_ESCAPE              ? IDCANCEL
                       : msg.key == VK_SPACE && onButton ? GetDlgCtrlID(focus)
                                                         : IDOK;
        SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    } else if (edit != nullptr) {
        // The field's own editing keys; Backspace edits as a character.
        SendMessageW(edit, WM_KEYDOWN, static_cast<WPARAM>(msg.key), 1);
        if (msg.key == VK_BACK) {
            SendMessageW(edit, WM_CHAR, VK_BACK, 1);
        }
    }
}

void* Win32System::OpenBox() const {
    if (boxSystem != this) {
        return nullptr;
    }
    // The innermost box is the one still enabled: a box holds every other
    // window of the thread, an outer box too.
    struct Search {
        const Win32System* system;
        HWND found;
    } search{this, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) {
                return TRUE;
            }
            for (const auto& [dlg, w] : s.system->windows_) {
                if (w->hwnd == hwnd) {
                    return TRUE;  // one of the game's own dialogs
                }
            }
            s.found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void* Win32System::EditOf(Dialog& dlg, void* hwnd) const {
    HWND focus = GetFocus();
    HWND first = nullptr;
    for (const DialogControl& c : dlg.Template().controls) {
        if (c.kind != DialogControl::Kind::Edit) {
            continue;
        }
        HWND edit = GetDlgItem(static_cast<HWND>(hwnd), c.id);
        if (edit != nullptr && edit == focus) {
            return edit;
        }
        first = first != nullptr ? first : edit;
    }
    return first;
}

void Win32System::PollGamepads() {
    std::vector<Message> messages;
    gamepads_->Poll(messages);
    for (const Message& m : messages) {
        DeliverInput(m);
    }
}

void Win32System::SetPadBindings(const PadBindings& bindings) {
    padBindings_ = bindings;
    if (gamepads_) {
        gamepads_->SetBindings(bindings);
    }
}
