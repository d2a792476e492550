#include "app/MainWindow.h"

#include <cstdio>

#include "app/AboutBox.h"
#include "app/Keyboard.h"
#include "app/ScreenshotWriter.h"
#include "app/Settings.h"
#include "app/SettingsDialog.h"
#include "platform/Keys.h"
#include "platform/Platform.h"
#include "res/Resources.h"

MainWindow::MainWindow() : Dialog(kMainDialog) {}

MainWindow::~MainWindow() = default;

bool MainWindow::OnInitDialog() {
    Dialog::OnInitDialog();
    // Where the system has no system menu, F1 stands in for the About item.
    if (const char* about = LoadResourceString(IDS_ABOUTBOX); about[0] != '\0') {
        Sys().AppendSystemMenuItem(*this, IDM_ABOUTBOX, about);
    }
    if (settings_ != nullptr) {
        Sys().AppendSystemMenuItem(*this, IDM_SETTINGS, LoadResourceString(IDS_SETTINGS));
    }
    Sys().SetWindowIcon(*this, IconRgba(), kIconSize, kIconSize);
    const Rect desktop = Sys().DesktopRect();
    Sys().MoveWindow(*this, desktop);
    if (!borderless_) {
        Sys().SetWindowMode(*this, false);
    }
    if (game.drawing) {
        CreateGlContext();
    }
    game.Init();
    timerId_ = SetTimer(kFrameTimerId, kFramePeriodMs);
    if (game.drawing && frameRate_ != kFramePerTick) {
        Sys().SetFrameSource(this, frameRate_, kFramePeriodMs);
    }
    return true;
}

void MainWindow::OnTimer(unsigned) {
    if (feed_ != nullptr) {
        // A dialog that this input opens runs this tick and the next ones in
        // its own loop, as in the replay tool; then this call has no tick left.
        const uint64_t before = ticks_;
        feed_->BeforeTick(ticks_ + 1, *this);
        if (ticks_ != before || IsEnded()) {
            return;
        }
    }
    const uint64_t tick = ++ticks_;
    const bool wasOver = game.gameOver != 0;
    game.RunHeldKeys();
    game.Tick();
    if (!wasOver && game.gameOver) {
        gameUnderWay_ = false;
        if (onGameEnd) {
            onGameEnd(tick);
        }
    }
    lastTickMicros_ = Sys().NowMicros();
    if (frameRate_ == kFramePerTick) {
        game.DrawFrame(1.0f);
    } else {
        Sys().TickRan();
    }
}

bool MainWindow::OnFrame() {
    const double passed = static_cast<double>(Sys().NowMicros() - lastTickMicros_);
    const float fraction = static_cast<float>(passed / (kFramePeriodMs * 1000.0));
    if (!game.FrameWouldChange(fraction)) {
        return false;
    }
    game.DrawFrame(fraction);
    return true;
}

void MainWindow::OnSize(int cx, int cy) {
    game.SetViewSize(cx, cy);
    if (game.drawing) {
        game.renderer->SetViewport(cx, cy);
        game.SetupGlState();
    }
}

void MainWindow::OnDestroy() {
    KillTimer(timerId_);
    if (frameRate_ != kFramePerTick) {
        Sys().SetFrameSource(nullptr, 0, kFramePeriodMs);
    }
    game.ReleaseGraphics();
    ReleaseGlContext();
    screenshots_.Finish();
}

bool MainWindow::PreTranslateMessage(const Message& msg) {
    if (msg.kind == MessageKind::KeyDown) {
        game.keyFlags |= KeyBit(msg.key);
        if (msg.key == VK_SPACE && game.waitingForStart) {
            if (!gameUnderWay_ && onGameStart) {
                onGameStart();
            }
            gameUnderWay_ = true;
            game.LeaveTitle();
        }
        if (msg.key == VK_SHIFT && game.gameOver) {
            game.ClearScores();
        }
        if (msg.key == VK_F1 && !msg.repeat) {
            OnSysCommand(IDM_ABOUTBOX);
        }
        if (msg.key == VK_F2 && !msg.repeat && settings_ != nullptr) {
            OnSysCommand(IDM_SETTINGS);
            return true;
        }
        if (msg.key == 'M' && !msg.repeat && settings_ != nullptr) {
            ToggleMute();
        }
        if (msg.key == VK_F12 && !msg.repeat) {
            // Taken from the next frame before its swap and written on a
            // worker; no tick is added or lost.
            game.beforeSwap = [this] { screenshots_.Take(game.viewWidth, game.viewHeight); };
        }
        if (msg.key == VK_RETURN && msg.alt && !msg.repeat) {
            borderless_ = !borderless_;
            Sys().SetWindowMode(*this, borderless_);
        }
    } else if (msg.kind == MessageKind::KeyUp) {
        game.keyFlags &= ~KeyBit(msg.key);
    }
    return Dialog::PreTranslateMessage(msg);
}

bool MainWindow::OnSysCommand(unsigned id) {
    if ((id & 0xFFF0) == IDM_SETTINGS && settings_ != nullptr) {
        OpenSettings();
        return true;
    }
    if ((id & 0xFFF0) != IDM_ABOUTBOX) {
        return false;
    }
    AboutBox about;
    about.DoModal();
    return true;
}

void MainWindow::OpenSettings() {
    // The dialog's keys stay out of the recording, so the keys held now are
    // let go the recorded way first: the game then goes on as it will in
    // the replay.
    for (const int vk : {VK_UP, VK_DOWN, VK_RIGHT, VK_LEFT, VK_CONTROL, VK_SHIFT}) {
        if ((game.keyFlags & KeyBit(vk)) != 0) {
            Message up;
            up.kind = MessageKind::KeyUp;
            up.key = vk;
            Sys().DeliverInput(up);
        }
    }
    SettingsDialog dialog(*settings_);
    dialog.DoModal();
}

void MainWindow::ToggleMute() {
    Settings s = settings_->Current();
    s.mute = !s.mute;
    settings_->Save(s);
    ApplySoundLevels(s);
}
