#include "platform/web/WebSystem.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>

#include "platform/Cp1252.h"
#include "platform/Dialog.h"
#include "platform/Keys.h"
#include "platform/MessageBoxDialog.h"
#include "platform/web/WebPage.h"

namespace {

WebSystem* g_current = nullptr;
// The dialog font's average width, for wrapping a message box's text
// before the page lays it out.
constexpr int kAverageCharWidth = 6;

// The page's side (web/quorvax-page.js): the canvas, its dialogs, the frame.
EM_JS(int, PageCanvasWidth, (), { return QuorvaxPage.canvasWidth(); });
EM_JS(int, PageCanvasHeight, (), { return QuorvaxPage.canvasHeight(); });
EM_JS(void, PageOpenDialog, (int handle, const char* json),
      { QuorvaxPage.openDialog(handle, JSON.parse(UTF8ToString(json))); });
EM_JS(void, PageCloseDialog, (int handle), { QuorvaxPage.closeDialog(handle); });
EM_JS(void, PageSetEdit, (int handle, const char* text, int caret),
      { QuorvaxPage.setEdit(handle, UTF8ToString(text), caret); });
EM_JS(void, PageFrameShown, (), { QuorvaxPage.frameShown(); });
EM_JS(void, PageSetCursorHidden, (int hidden), { QuorvaxPage.setCursorHidden(hidden); });
EM_JS(void, PageToggleFullscreen, (), { QuorvaxPage.toggleFullscreen(); });
EM_JS(double, PageNowMs, (), { return performance.now(); });
// The loop's wait: the next animation frame (1), or less when the page has
// work for the loop (0). A hidden tab gives no frames: the game pauses.
EM_ASYNC_JS(int, PageNextFrame, (), { return await QuorvaxPage.nextFrame(); });

// The page's loop in the game: the browser's clock and animation frames.
class PageClock final : public LoopClock {
  public:
    uint64_t NowUs() override { return static_cast<uint64_t>(PageNowMs() * 1000.0); }
    void SleepUs(uint64_t us) override { emscripten_sleep(static_cast<unsigned>(us / 1000u)); }
    void Yield() override {}
    bool NextFrame() override { return PageNextFrame() != 0; }
};

PageClock g_pageClock;

void AppendJsonString(std::string& out, const std::string& cp1252) {
    out += '"';
    for (const char byte : cp1252) {
        const char32_t cp = Cp1252ToUnicode(static_cast<uint8_t>(byte));
        if (cp == '"' || cp == '\\') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(cp));
            out += esc;
        } else {
            AppendUtf8(out, cp);
        }
    }
    out += '"';
}

// The UTF-8 form of Windows-1252 bytes, for the page.
std::string ToUtf8(const std::string& cp1252) {
    std::string json;
    AppendJsonString(json, cp1252);
    return json;
}

}  // namespace

WebSystem::WebSystem() : loop_(*this, g_pageClock) {
    g_current = this;
}

WebSystem::~WebSystem() {
    ReleaseGlContext();
    if (g_current == this) {
        g_current = nullptr;
    }
}

WebSystem* WebSystem::Current() {
    return g_current;
}

uint64_t WebSystem::NowMicros() {
    return loop_.NowUs();
}

uint32_t WebSystem::GetTickCount() {
    return static_cast<uint32_t>(NowMicros() / 1000u);
}

void WebSystem::Sleep(uint32_t ms) {
    g_pageClock.SleepUs(uint64_t{ms} * 1000u);
}

void WebSystem::MessageBox(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    if (CancellingAll()) {
        return;  // a game that is ending shows nothing more
    }
    MessageBoxDialog box(caption, text, [](const std::string& s) {
        return static_cast<int>(s.size()) * kAverageCharWidth;
    });
    box.DoModal();
}

void WebSystem::ShowCursor(bool show) {
    cursorCounter_ += show ? 1 : -1;
    PageSetCursorHidden(cursorCounter_ < 0 ? 1 : 0);
}

bool WebSystem::IsMessageBox(const Dialog& dlg) {
    return dynamic_cast<const MessageBoxDialog*>(&dlg) != nullptr;
}

std::string WebSystem::DescribeDialog(const Dialog& dlg) const {
    const DialogTemplate& t = dlg.Template();
    std::string json = "{\"caption\":";
    AppendJsonString(json, t.caption);
    json += ",\"messageBox\":";
    json += IsMessageBox(dlg) ? "true" : "false";
    json += ",\"controls\":[";
    bool first = true;
    for (const DialogControl& c : t.controls) {
        const char* kind = nullptr;
        switch (c.kind) {
            case DialogControl::Kind::Static:
                kind = "text";
                break;
            case DialogControl::Kind::Edit:
                kind = "edit";
                break;
            case DialogControl::Kind::Button:
                kind = "button";
                break;
            default:
                continue;  // the icon and custom controls are the desktop's
        }
        json += first ? "{" : ",{";
        first = false;
        json += "\"kind\":\"";
        json += kind;
        json += "\",\"id\":" + std::to_string(c.id) + ",\"default\":";
        json += c.isDefault ? "true" : "false";
        json += ",\"text\":";
        AppendJsonString(json,
                         c.kind == DialogControl::Kind::Edit ? dlg.GetItemText(c.id) : c.text);
        json += "}";
    }
    json += "]}";
    return json;
}

void WebSystem::OpenWindow(Dialog& dlg) {
    const DialogTemplate& t = dlg.Template();
    dlg.SetOpen(true);
    dlg.dirty = true;
    if (t.hostsGl) {
        mainDialog_ = &dlg;
        return;
    }
    if (!t.visible) {
        return;
    }
    const int handle = nextHandle_++;
    handles_[&dlg] = handle;
    PageOpenDialog(handle, DescribeDialog(dlg).c_str());
}

void WebSystem::SyncDialogView(Dialog& dlg) {
    const auto it = handles_.find(&dlg);
    if (it == handles_.end() || !dlg.dirty) {
        return;
    }
    dlg.dirty = false;
    if (const EditControl* edit = dlg.GetEdit(dlg.FocusId()); edit != nullptr) {
        const std::string json = ToUtf8(edit->Text());
        // The caret in UTF-16 units of the page's text: one per byte here,
        // as every Windows-1252 character is a single unit.
        PageSetEdit(it->second, json.substr(1, json.size() - 2).c_str(),
                    static_cast<int>(edit->Caret()));
    }
}

void WebSystem::CloseWindow(Dialog& dlg) {
    dlg.OnDestroy();
    loop_.KillTimers(dlg);
    if (const auto it = handles_.find(&dlg); it != handles_.end()) {
        PageCloseDialog(it->second);
        handles_.erase(it);
    }
    if (mainDialog_ == &dlg) {
        ReleaseGlContext();
        mainDialog_ = nullptr;
    }
    if (frameSource_ == &dlg) {
        frameSource_ = nullptr;
    }
    dlg.SetOpen(false);
}

int WebSystem::RunModal(Dialog& dlg) {
    if (dlg.IsOpen()) {
        return -1;
    }
    OpenWindow(dlg);
    PushModal(dlg);
    dlg.OnInitDialog();
    if (CancellingAll()) {
        CancelAll();  // the page is starting another game: this one closes at once
    }
    loop_.Run(dlg);
    PopModal(dlg);
    CloseWindow(dlg);
    return dlg.Result();
}

void WebSystem::CreateModeless(Dialog& dlg) {
    if (dlg.IsOpen()) {
        return;
    }
    OpenWindow(dlg);
    dlg.OnInitDialog();
}

void WebSystem::SetTimer(Dialog& dlg, unsigned id, unsigned periodMs) {
    loop_.SetTimer(dlg, id, periodMs);
}

void WebSystem::KillTimer(Dialog& dlg, unsigned id) {
    loop_.KillTimer(dlg, id);
}

Rect WebSystem::DesktopRect() {
    if (canvasWidth_ <= 0 || canvasHeight_ <= 0) {
        canvasWidth_ = std::max(1, PageCanvasWidth());
        canvasHeight_ = std::max(1, PageCanvasHeight());
    }
    return Rect{0, 0, canvasWidth_, canvasHeight_};
}

void WebSystem::MoveWindow(Dialog& dlg, const Rect& /*r*/) {
    // Before its context exists the size waits for CreateGlContext: WebGL
    // has no context to take the viewport then (the desktop's drivers drop it).
    if (dlg.Template().hostsGl && glContext_ > 0) {
        const Rect canvas = DesktopRect();
        dlg.dirty = true;
        dlg.OnSize(canvas.Width(), canvas.Height());
    }
}

// The page starts in the browser's window, where the desktop starts
// borderless over the display: each switch toggles whatever the page shows.
// A key's user activation still holds at the next animation frame.
void WebSystem::SetWindowMode(Dialog& /*dlg*/, bool /*fullscreenBorderless*/) {
    PageToggleFullscreen();
}

void WebSystem::SetWindowIcon(Dialog& /*dlg*/, const uint8_t* /*rgba*/, int /*width*/,
                              int /*height*/) {}

GlContextResult WebSystem::CreateGlContext(Dialog& dlg) {
    if (!dlg.Template().hostsGl) {
        return GlContextResult::NoPixelFormat;
    }
    ReleaseGlContext();
    EmscriptenWebGLContextAttributes attrs;
    emscripten_webgl_init_context_attributes(&attrs);
    attrs.alpha = EM_FALSE;
    attrs.depth = EM_TRUE;
    attrs.stencil = EM_TRUE;
    attrs.antialias = EM_FALSE;
    attrs.majorVersion = 1;
    attrs.minorVersion = 0;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context("#canvas", &attrs);
    if (context <= 0) {
        return GlContextResult::NoPixelFormat;
    }
    if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        emscripten_webgl_destroy_context(context);
        return GlContextResult::CannotMakeCurrent;
    }
    glContext_ = static_cast<int>(context);
    MoveWindow(dlg, DesktopRect());
    return GlContextResult::Ok;
}

void WebSystem::ReleaseGlContext() {
    if (glContext_ > 0) {
        emscripten_webgl_make_context_current(0);
        emscripten_webgl_destroy_context(glContext_);
        glContext_ = 0;
    }
}

// The browser shows what was drawn when the animation frame ends; this
// only tells the page that a picture is there.
void WebSystem::SwapBuffers() {
    if (!frameShown_) {
        frameShown_ = true;
        PageFrameShown();
    }
}

// F12's picture: handed to the page as a download.
void WebSystem::FileSaved(const std::string& name) {
    WebPage::OfferFile(name);
}

void WebSystem::DeliverInput(const Message& msg) {
    Dialog* top = InnermostModal();
    if (top == nullptr) {
        return;
    }
    if (IsMessageBox(*top) || TapInput(msg)) {
        top->PreTranslateMessage(msg);
    }
}

void WebSystem::QueueInput(const Message& msg) {
    Event e;
    e.msg = msg;
    events_.push_back(std::move(e));
}

void WebSystem::QueueButton(int dialogHandle, int id) {
    Event e;
    e.kind = Event::Kind::Button;
    e.handle = dialogHandle;
    e.id = id;
    events_.push_back(std::move(e));
}

void WebSystem::QueueResize(int width, int height) {
    Event e;
    e.kind = Event::Kind::Resize;
    e.handle = width;
    e.id = height;
    events_.push_back(std::move(e));
}

void WebSystem::QueueQuit() {
    Event e;
    e.kind = Event::Kind::Quit;
    events_.push_back(std::move(e));
}

void WebSystem::QueueTask(std::function<void()> task) {
    Event e;
    e.kind = Event::Kind::Task;
    e.task = std::move(task);
    events_.push_back(std::move(e));
}

void WebSystem::StartAfresh() {
    EndCancelAll();
    events_.clear();
    frameShown_ = false;
}

void WebSystem::HandleEvents(Dialog& modal) {
    while (!modal.IsEnded() && !events_.empty()) {
        const Event e = std::move(events_.front());
        events_.pop_front();
        HandleEvent(e);
    }
}

Dialog* WebSystem::FrameSource() {
    return frameSource_ != nullptr && frameSource_->IsOpen() ? frameSource_ : nullptr;
}

void WebSystem::FrameDone() {
    for (auto& [dlg, handle] : handles_) {
        SyncDialogView(*dlg);
    }
}

void WebSystem::HandleEvent(const Event& event) {
    switch (event.kind) {
        case Event::Kind::Input: {
            Dialog* top = InnermostModal();
            // Typed text is for the dialogs' edit fields: the game's own
            // window takes keys only, as on the desktop.
            if (top == nullptr ||
                (event.msg.kind == MessageKind::Text && top->Template().hostsGl)) {
                return;
            }
            DeliverInput(event.msg);
            break;
        }
        case Event::Kind::Button:
            HandleButton(event.handle, event.id);
            break;
        case Event::Kind::Resize:
            canvasWidth_ = std::max(1, event.handle);
            canvasHeight_ = std::max(1, event.id);
            if (mainDialog_ != nullptr) {
                MoveWindow(*mainDialog_, DesktopRect());
            }
            break;
        case Event::Kind::Quit:
            CancelAll();
            break;
        case Event::Kind::Task:
            event.task();
            break;
    }
}

// A click on OK or Cancel is the key that does the same, through the input
// tap, so that a recording holds it; a message box's stays out of it.
void WebSystem::HandleButton(int handle, int id) {
    Dialog* top = InnermostModal();
    if (top == nullptr) {
        return;
    }
    const auto it = handles_.find(top);
    if (it == handles_.end() || it->second != handle) {
        return;  // a dialog under the innermost one takes no clicks
    }
    if (IsMessageBox(*top)) {
        top->PressButton(id);
    } else if (id == IDOK || id == IDCANCEL) {
        DeliverKeyPress(id == IDOK ? VK_RETURN : VK_ESCAPE);
    } else {
        top->PressButton(id);
    }
}
