#include "platform/win32/Win32System.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/Dialog.h"
#include "platform/Keys.h"
#include "platform/Message.h"
#include "platform/WindowedRect.h"
#include "platform/win32/Win32DialogTemplate.h"
#include "platform/win32/Win32Gamepads.h"
#include "platform/win32/Win32KeyMap.h"

// <windows.h> comes after the game's headers: its macros would rename them.
#include <windows.h>
// <mmsystem.h> needs <windows.h> first.
#include <mmsystem.h>
#undef MessageBox

#include "platform/win32/GlPixelFormat.h"
#include "platform/win32/ModulePath.h"
#include "platform/win32/Win32Window.h"

namespace {

// How often the controllers are read; a tick is 40 ms.
constexpr UINT kPadPollMs = 20;
constexpr int kIconResource = 128;

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    }
    auto* w = reinterpret_cast<Win32System::Window*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (w == nullptr) {
        return FALSE;
    }
    if (msg == WM_INITDIALOG) {
        w->hwnd = hwnd;
    }
    return w->system->HandleMessage(*w, msg, wp, lp);
}

// A dialog procedure answers some messages through DWLP_MSGRESULT.
INT_PTR Answer(HWND hwnd, LONG_PTR result) {
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

HICON IconFromRgba(const uint8_t* rgba, int width, int height) {
    BITMAPV5HEADER h{};
    h.bV5Size = sizeof h;
    h.bV5Width = width;
    h.bV5Height = -height;  // top-down, as the pixels come
    h.bV5Planes = 1;
    h.bV5BitCount = 32;
    h.bV5Compression = BI_BITFIELDS;
    h.bV5RedMask = 0x00FF0000;
    h.bV5GreenMask = 0x0000FF00;
    h.bV5BlueMask = 0x000000FF;
    h.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS,
                                     &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (color == nullptr) {
        return nullptr;
    }
    auto* out = static_cast<uint8_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        out[i * 4 + 0] = rgba[i * 4 + 2];
        out[i * 4 + 1] = rgba[i * 4 + 1];
        out[i * 4 + 2] = rgba[i * 4 + 0];
        out[i * 4 + 3] = rgba[i * 4 + 3];
    }
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = color;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

}  // namespace

Win32System::Win32System() = default;

Win32System::~Win32System() {
    if (glContext_ != nullptr) {
        ReleaseGlContext();
    }
    for (auto& [dlg, w] : windows_) {
        if (w->hwnd != nullptr && IsWindow(w->hwnd)) {
            ::DestroyWindow(w->hwnd);
        }
        dlg->SetOpen(false);
    }
    windows_.clear();
    if (padTimer_ != 0) {
        ::KillTimer(nullptr, padTimer_);
    }
    if (icon_ != nullptr) {
        DestroyIcon(static_cast<HICON>(icon_));
    }
    if (timerPeriodRaised_) {
        timeEndPeriod(1);
    }
}

void Win32System::Init() {
    // The window covers the desktop in real pixels, not a scaled-up picture.
    SetProcessDPIAware();
    timerPeriodRaised_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    gamepads_ = std::make_unique<Win32Gamepads>();
    gamepads_->SetBindings(padBindings_);
    if (gamepads_->Available()) {
        padTimer_ = ::SetTimer(nullptr, 0, kPadPollMs, nullptr);
    }
}

uint32_t Win32System::GetTickCount() {
    return ::GetTickCount();
}

uint64_t Win32System::NowMicros() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    const uint64_t c = static_cast<uint64_t>(count.QuadPart);
    const uint64_t f = static_cast<uint64_t>(frequency.QuadPart);
    return c / f * 1000000u + c % f * 1000000u / f;
}

void Win32System::Sleep(uint32_t ms) {
    ::Sleep(ms);
}

// The system's own display counter would hide the pointer over every
// window, the dialogs' too, where the player needs it to click OK; the
// counter is kept here and the main window answers WM_SETCURSOR by it.
void Win32System::ShowCursor(bool show) {
    cursorCounter_ += show ? 1 : -1;
    // The pointer takes the new look at once where it stands over the game.
    HWND main = static_cast<HWND>(mainWindow_);
    POINT p;
    if (main != nullptr && GetCursorPos(&p) && WindowFromPoint(p) == main) {
        const LRESULT hit = SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(main),
                     MAKELPARAM(hit, WM_MOUSEMOVE));
    }
}

// Over the game's picture the hidden pointer is no pointer. While a dialog
// runs the main window is disabled and the hit code is HTERROR everywhere
// on it; then the client area is told by the pointer's place.
bool Win32System::HidesCursor(void* hwnd, int hit) const {
    if (cursorCounter_ >= 0 || hwnd != mainWindow_) {
        return false;
    }
    if (hit == HTCLIENT) {
        return true;
    }
    RECT client;
    POINT p;
    return hit == HTERROR && GetCursorPos(&p) && ScreenToClient(static_cast<HWND>(hwnd), &p) &&
           GetClientRect(static_cast<HWND>(hwnd), &client) && PtInRect(&client, p);
}

Win32System::Window* Win32System::Find(const Dialog& dlg) const {
    auto it = windows_.find(const_cast<Dialog*>(&dlg));
    return it == windows_.end() ? nullptr : it->second.get();
}

void* Win32System::WindowOf(const Dialog& dlg) const {
    const Window* w = Find(dlg);
    return w == nullptr ? nullptr : w->hwnd;
}

// Every other window belongs to the main window, as the framework's
// dialogs take the application's main window for their owner.
void* Win32System::Owner() const {
    return mainWindow_ != nullptr && IsWindow(static_cast<HWND>(mainWindow_)) ? mainWindow_
                                                                              : nullptr;
}

void Win32System::OpenWindow(Dialog& dlg) {
    auto owned = std::make_unique<Window>();
    Window& w = *owned;
    w.system = this;
    w.dlg = &dlg;
    w.words = BuildWin32DialogTemplate(dlg.Template());
    windows_[&dlg] = std::move(owned);
    dlg.SetOpen(true);
    HWND owner = dlg.Template().hostsGl ? nullptr : static_cast<HWND>(Owner());
    // WM_INITDIALOG runs OnInitDialog inside this call.
    HWND hwnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                           reinterpret_cast<LPCDLGTEMPLATEW>(w.words.data()), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(&w));
    if (hwnd == nullptr) {
        std::fprintf(stderr, "quorvax: cannot create window \"%s\" (error %lu)\n",
                     dlg.Template().caption, GetLastError());
    }
}

void Win32System::CloseWindow(Dialog& dlg) {
    dlg.OnDestroy();
    auto it = windows_.find(&dlg);
    if (it != windows_.end()) {
        HWND hwnd = it->second->hwnd;
        if (hwnd != nullptr && hwnd == mainWindow_) {
            if (glContext_ != nullptr) {
                ReleaseGlContext();
            }
            mainWindow_ = nullptr;
        }
        if (hwnd != nullptr && IsWindow(hwnd)) {
            ::DestroyWindow(hwnd);  // its timers go with it
        }
        windows_.erase(it);
    }
    dlg.SetOpen(false);
}

intptr_t Win32System::HandleMessage(Window& w, unsigned msg, uintptr_t wp, intptr_t lp) {
    Dialog& dlg = *w.dlg;
    HWND hwnd = w.hwnd;
    const bool gl = dlg.Template().hostsGl;
    switch (msg) {
        case WM_INITDIALOG:
            if (gl) {
                mainWindow_ = hwnd;
                SetWindowTextW(hwnd, L"Quorvax");  // the taskbar's name for it
            }
            for (const DialogControl& c : dlg.Template().controls) {
                if (c.kind == DialogControl::Kind::Icon && icon_ != nullptr) {
                    SendDlgItemMessageW(hwnd, c.id, STM_SETICON, reinterpret_cast<WPARAM>(icon_),
                                        0);
                }
            }
            dlg.OnInitDialog();
            PushTexts(dlg, hwnd);
            return TRUE;
        case WM_TIMER:
            dlg.OnTimer(static_cast<unsigned>(wp));
            return TRUE;
        case WM_SIZE:
            dlg.OnSize(LOWORD(lp), HIWORD(lp));
            return TRUE;
        case WM_SYSCOMMAND:
            return dlg.OnSysCommand(static_cast<unsigned>(wp)) ? TRUE : FALSE;
        case WM_COMMAND:
            if ((LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) && !fromKey_ &&
                InnermostModal() == &dlg) {
                // Not a key's doing: a click on the button, the close box
                // or Alt+F4 (the dialog manager's WM_CLOSE).
                DeliverKeyPress(LOWORD(wp) == IDOK ? VK_RETURN : VK_ESCAPE);
                return TRUE;
            }
            if (LOWORD(wp) == IDOK) {
                PullTexts(dlg, hwnd);
                dlg.OnOK();
                return TRUE;
            }
            if (LOWORD(wp) == IDCANCEL) {
                PullTexts(dlg, hwnd);  // the settings keep what their fields hold
                dlg.OnCancel();        // Escape, the close box, Alt+F4
                return TRUE;
            }
            if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) != 0) {
                // The dialog's other buttons (the settings' pages and keys),
                // with what was typed into its fields so far.
                PullTexts(dlg, hwnd);
                dlg.PressButton(LOWORD(wp));
                PushTexts(dlg, hwnd);
                return TRUE;
            }
            return FALSE;
        case WM_SETCURSOR:
            if (HidesCursor(hwnd, static_cast<short>(LOWORD(lp)))) {
                SetCursor(nullptr);
                return Answer(hwnd, TRUE);
            }
            return FALSE;  // the class's arrow
        case WM_ERASEBKGND:
            // The OpenGL picture is never painted over with the background.
            return gl ? Answer(hwnd, TRUE) : FALSE;
        case WM_PAINT:
            if (!gl) {
                return FALSE;
            }
            {
                // Only the timer draws the picture; a minimised window shows its icon.
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd, &ps);
                if (IsIconic(hwnd) && icon_ != nullptr) {
                    RECT r;
                    GetClientRect(hwnd, &r);
                    DrawIcon(dc, (r.right - GetSystemMetrics(SM_CXICON) + 1) / 2,
                             (r.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2,
                             static_cast<HICON>(icon_));
                }
                EndPaint(hwnd, &ps);
            }
            return TRUE;
        case WM_QUERYDRAGICON:
            return Answer(hwnd, reinterpret_cast<LONG_PTR>(icon_));
        case WM_DESTROY:
            w.hwnd = nullptr;  // also when its owner takes it along
            return FALSE;
        default:
            return FALSE;
    }
}

void Win32System::PushTexts(Dialog& dlg, void* hwnd) {
    for (const DialogControl& c : dlg.Template().controls) {
        // Labels (-1) and icons keep what the template gives them.
        if (c.kind == DialogControl::Kind::Icon || c.id < 0) {
            continue;
        }
        HWND item = GetDlgItem(static_cast<HWND>(hwnd), c.id);
        if (item == nullptr) {
            continue;
        }
        SetWindowTextW(item, WideFromCp1252(dlg.GetItemText(c.id)).c_str());
        ShowWindow(item, dlg.IsItemVisible(c.id) ? SW_SHOWNA : SW_HIDE);
    }
}

void Win32System::PullTexts(Dialog& dlg, void* hwnd) {
    for (const DialogControl& c : dlg.Template().controls) {
        if (c.kind != DialogControl::Kind::Edit) {
            continue;
        }
        HWND edit = GetDlgItem(static_cast<HWND>(hwnd), c.id);
        const int length = edit != nullptr ? GetWindowTextLengthW(edit) : 0;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(edit != nullptr
                        ? static_cast<size_t>(GetWindowTextW(edit, text.data(), length + 1))
                        : 0);
        dlg.SetItemText(c.id, Cp1252FromWide(text));
    }
}

int Win32System::RunModal(Dialog& dlg) {
    if (dlg.IsOpen()) {
        return -1;
    }
    PushModal(dlg);
    HWND owner = dlg.Template().hostsGl ? nullptr : static_cast<HWND>(Owner());
    OpenWindow(dlg);
    HWND hwnd = static_cast<HWND>(WindowOf(dlg));
    // The owner takes no input while the dialog runs; its timers go on.
    const bool disabledOwner = owner != nullptr && hwnd != nullptr && !EnableWindow(owner, FALSE);
    if (hwnd != nullptr) {
        ShowWindow(hwnd, SW_SHOW);
        SetForegroundWindow(hwnd);
    }
    if (CancellingAll() || hwnd == nullptr) {
        dlg.OnCancel();  // the program is ending, or there is no window to work
    }
    while (!dlg.IsEnded()) {
        Pump(dlg);
    }
    if (disabledOwner) {
        EnableWindow(owner, TRUE);  // before the dialog goes, so the owner gets the focus back
    }
    PopModal(dlg);
    CloseWindow(dlg);
    return dlg.Result();
}

void Win32System::CreateModeless(Dialog& dlg) {
    if (dlg.IsOpen()) {
        return;
    }
    OpenWindow(dlg);
    HWND hwnd = static_cast<HWND>(WindowOf(dlg));
    if (hwnd != nullptr && dlg.Template().visible) {
        ShowWindow(hwnd, SW_SHOW);
    }
}

void Win32System::SetTimer(Dialog& dlg, unsigned id, unsigned periodMs) {
    if (HWND hwnd = static_cast<HWND>(WindowOf(dlg)); hwnd != nullptr) {
        ::SetTimer(hwnd, id, periodMs, nullptr);
    }
}

void Win32System::KillTimer(Dialog& dlg, unsigned id) {
    if (HWND hwnd = static_cast<HWND>(WindowOf(dlg)); hwnd != nullptr) {
        ::KillTimer(hwnd, id);
    }
}

Rect Win32System::DesktopRect() {
    RECT r;
    if (!GetWindowRect(GetDesktopWindow(), &r)) {
        return Rect{0, 0, 640, 480};
    }
    return Rect{r.left, r.top, r.right, r.bottom};
}

void Win32System::MoveWindow(Dialog& dlg, const Rect& r) {
    HWND hwnd = static_cast<HWND>(WindowOf(dlg));
    if (hwnd == nullptr) {
        dlg.OnSize(r.Width(), r.Height());
        return;
    }
    RECT before;
    GetClientRect(hwnd, &before);
    ::MoveWindow(hwnd, r.left, r.top, r.Width(), r.Height(), TRUE);
    RECT after;
    GetClientRect(hwnd, &after);
    if (after.right == before.right && after.bottom == before.bottom) {
        dlg.OnSize(after.right, after.bottom);  // no WM_SIZE for the same size
    }
}

void Win32System::SetWindowMode(Dialog& dlg, bool fullscreenBorderless) {
    HWND hwnd = static_cast<HWND>(WindowOf(dlg));
    if (hwnd == nullptr) {
        return;
    }
    const Rect desktop = DesktopRect();
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    RECT r;
    if (fullscreenBorderless) {
        style = (style & ~static_cast<LONG_PTR>(WS_OVERLAPPEDWINDOW)) | WS_POPUP;
        r = RECT{desktop.left, desktop.top, desktop.right, desktop.bottom};
    } else {
        style = (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_OVERLAPPEDWINDOW;
        const Rect client = WindowedRect(desktop);
        r = RECT{client.left, client.top, client.right, client.bottom};
        AdjustWindowRectEx(&r, static_cast<DWORD>(style), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
        if (r.top < desktop.top) {  // the caption bar stays on the screen
            OffsetRect(&r, 0, desktop.top - r.top);
        }
    }
    SetWindowLongPtrW(hwnd, GWL_STYLE, style);
    // The new size arrives as WM_SIZE, like any other resize.
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void Win32System::SetWindowIcon(Dialog& dlg, const uint8_t* rgba, int width, int height) {
    if (icon_ == nullptr) {
        // Icon 128 of the program file, else the same picture from its pixels.
        HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, 0,
                                                   0, LR_DEFAULTSIZE | LR_SHARED));
        if (icon != nullptr) {
            icon = CopyIcon(icon);
        } else if (rgba != nullptr && width > 0 && height > 0) {
            icon = IconFromRgba(rgba, width, height);
        }
        icon_ = icon;
    }
    HWND hwnd = static_cast<HWND>(WindowOf(dlg));
    if (hwnd != nullptr && icon_ != nullptr) {
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
}

void Win32System::AppendSystemMenuItem(Dialog& dlg, unsigned id, const char* text) {
    HWND hwnd = static_cast<HWND>(WindowOf(dlg));
    HMENU menu = hwnd != nullptr ? GetSystemMenu(hwnd, FALSE) : nullptr;
    if (menu == nullptr) {
        return;
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, id, WideFromCp1252(text).c_str());
}

GlContextResult Win32System::CreateGlContext(Dialog& dlg) {
    HWND hwnd = static_cast<HWND>(WindowOf(dlg));
    if (hwnd == nullptr) {
        return GlContextResult::NoPixelFormat;
    }
    if (glContext_ != nullptr) {
        ReleaseGlContext();
    }
    PIXELFORMATDESCRIPTOR pfd = GlPixelFormat(24);
    HDC dc = GetDC(hwnd);
    const int format = ChoosePixelFormat(dc, &pfd);
    if (format == 0) {
        ReleaseDC(hwnd, dc);
        return GlContextResult::NoPixelFormat;
    }
    // A window takes its pixel format once; a second context reuses it.
    if (GetPixelFormat(dc) != format && !SetPixelFormat(dc, format, &pfd)) {
        ReleaseDC(hwnd, dc);
        return GlContextResult::CannotMakeCurrent;
    }
    DescribePixelFormat(dc, format, sizeof pfd, &pfd);
    HGLRC context = wglCreateContext(dc);
    if (context == nullptr || !wglMakeCurrent(dc, context)) {
        if (context != nullptr) {
            wglDeleteContext(context);
        }
        ReleaseDC(hwnd, dc);
        return GlContextResult::CannotMakeCurrent;
    }
    // The swap never waits for the display while the tick holds the pace.
    SetSwapInterval(0);
    glDc_ = dc;
    glContext_ = context;
    return GlContextResult::Ok;
}

void Win32System::SetSwapInterval(int interval) {
    using SwapIntervalFn = BOOL(WINAPI*)(int);
    if (PROC proc = wglGetProcAddress("wglSwapIntervalEXT"); proc != nullptr) {
        reinterpret_cast<SwapIntervalFn>(reinterpret_cast<void*>(proc))(interval);
    }
}

void Win32System::SetFrameSource(Dialog* dlg, int perSecond, unsigned tickMs) {
    if (glContext_ != nullptr) {
        SetSwapInterval(dlg != nullptr ? 1 : 0);
    }
    System::SetFrameSource(dlg, perSecond, tickMs);
}

int Win32System::DisplayRefreshRate() {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
        return 0;
    }
    // 0 and 1 stand for the hardware's default rate.
    return mode.dmDisplayFrequency > 1 ? static_cast<int>(mode.dmDisplayFrequency) : 0;
}

void Win32System::ReleaseGlContext() {
    HGLRC current = wglGetCurrentContext();
    wglMakeCurrent(nullptr, nullptr);
    if (current != nullptr) {
        wglDeleteContext(current);
    }
    if (glContext_ != nullptr && glContext_ != current) {
        wglDeleteContext(static_cast<HGLRC>(glContext_));
    }
    glContext_ = nullptr;
    if (glDc_ != nullptr) {
        HWND hwnd = WindowFromDC(static_cast<HDC>(glDc_));
        ReleaseDC(hwnd, static_cast<HDC>(glDc_));
        glDc_ = nullptr;
    }
}

void Win32System::SwapBuffers() {
    if (glContext_ != nullptr && glDc_ != nullptr) {
        ::SwapBuffers(static_cast<HDC>(glDc_));
    }
}

std::string Win32System::ProgramName() {
    const std::wstring path = ModulePath();
    if (path.empty()) {
        return "quorvax";
    }
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    // The framework's application name is the program file's without ".exe".
    if (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".exe") == 0) {
        name.resize(name.size() - 4);
    }
    return Cp1252FromWide(name);
}
