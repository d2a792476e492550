#include "app/SettingsDialog.h"

#include <iterator>

#include "platform/Cp1252.h"
#include "platform/EditControl.h"
#include "platform/Keys.h"
#include "platform/PhysicalKeys.h"
#include "platform/System.h"
#include "res/Resources.h"

namespace {

constexpr int kVolumeStep = 10;
constexpr int kDeadZoneStep = 5;
// The frame rates the Display page steps through, as --frame-rate takes them.
constexpr int kFrameRates[] = {0, Settings::kFramePerTick, 30, 60, 120, 144, 240};

std::string Percent(int value) {
    return std::to_string(value) + "%";
}

std::string FrameRateText(int rate) {
    if (rate == 0) {
        return "as the display";
    }
    return rate == Settings::kFramePerTick ? "one per tick" : std::to_string(rate) + " a second";
}

std::string YesNo(bool on) {
    return on ? "yes" : "no";
}

// The next value of the list after `value` (by one step, either way).
int StepThrough(int value, int direction) {
    const int n = static_cast<int>(std::size(kFrameRates));
    int at = 0;
    for (int i = 0; i < n; ++i) {
        if (kFrameRates[i] == value) {
            at = i;
        }
    }
    return kFrameRates[(at + direction + n) % n];
}

std::string PadText(PadButton b) {
    const char* name = PadButtonName(b);
    return name[0] == '\0' ? "-" : name;
}

// The keys no binding may take: help, settings, screenshot.
bool IsFixedKey(int physical) {
    const std::string code = PhysicalKeys::CodeName(physical);
    return code == "F1" || code == "F2" || code == "F12" || code == "Escape";
}

// A field's Windows-1252 text as the settings hold it: UTF-8 without the
// spaces around it, cut at a whole character within `maxBytes`.
std::string FieldText(const std::string& bytes, size_t maxBytes) {
    const size_t first = bytes.find_first_not_of(' ');
    const size_t last = bytes.find_last_not_of(' ');
    std::string out;
    for (size_t i = first; first != std::string::npos && i <= last; ++i) {
        std::string one;
        AppendUtf8(one, Cp1252ToUnicode(static_cast<uint8_t>(bytes[i])));
        if (out.size() + one.size() > maxBytes) {
            break;
        }
        out += one;
    }
    return out;
}

}  // namespace

SettingsDialog::SettingsDialog(SettingsStore& store)
    : Dialog(kSettingsDialog), store_(store), settings_(store.Current()) {}

bool SettingsDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    ShowPage(kSound);
    return true;
}

void SettingsDialog::OnOK() {
    TakeFields();
    Dialog::OnOK();
}

void SettingsDialog::OnCancel() {
    TakeFields();
    Dialog::OnCancel();
}

void SettingsDialog::ShowPage(Page page) {
    TakeFields();
    page_ = page;
    capturing_ = false;
    SetItemText(IDC_SETTINGS_STATUS, "");
    Refresh();
    ShowFields();
}

void SettingsDialog::ShowFields() {
    ShowItem(IDC_SETTINGS_NAME, page_ == kDisplay);
    ShowItem(IDC_SETTINGS_URL, page_ == kDisplay);
    if (page_ == kDisplay) {
        shownName_ = EditControl::FromUtf8(settings_.playerName);
        shownUrl_ = EditControl::FromUtf8(settings_.leaderboardUrl);
        SetItemText(IDC_SETTINGS_NAME, shownName_);
        SetItemText(IDC_SETTINGS_URL, shownUrl_);
    }
}

void SettingsDialog::TakeFields() {
    if (page_ != kDisplay) {
        return;
    }
    const std::string name = GetItemText(IDC_SETTINGS_NAME);
    const std::string url = GetItemText(IDC_SETTINGS_URL);
    if (name == shownName_ && url == shownUrl_) {
        return;
    }
    if (name != shownName_) {
        settings_.playerName = FieldText(name, Settings::kMaxNameBytes);
    }
    if (url != shownUrl_) {
        settings_.leaderboardUrl = FieldText(url, Settings::kMaxUrlBytes);
    }
    shownName_ = name;
    shownUrl_ = url;
    Changed("The world table's name and address apply from the next start.");
}

void SettingsDialog::SetRow(int row, const std::string& label, const std::string& first,
                            const std::string& second) {
    SetItemText(IDC_ROW_LABEL + row, label);
    SetItemText(IDC_ROW_FIRST + row, first);
    SetItemText(IDC_ROW_SECOND + row, second);
    ShowItem(IDC_ROW_LABEL + row, !label.empty());
    ShowItem(IDC_ROW_FIRST + row, !first.empty());
    ShowItem(IDC_ROW_SECOND + row, !second.empty());
}

void SettingsDialog::Refresh() {
    for (int row = 0; row < kSettingsRows; ++row) {
        SetRow(row, "", "", "");
    }
    const Settings& s = settings_;
    switch (page_) {
        case kSound:
            SetRow(0, "Music volume: " + Percent(s.musicVolume), "Softer", "Louder");
            SetRow(1, "Effects volume: " + Percent(s.effectsVolume), "Softer", "Louder");
            SetRow(2, s.mute ? "Sound: muted (M)" : "Sound: on (M)", s.mute ? "Unmute" : "Mute",
                   "");
            break;
        case kKeys:
            for (int a = 0; a < kGameActionCount; ++a) {
                const GameAction action = static_cast<GameAction>(a);
                const KeyBindings::Slots& keys = s.keys.Keys(action);
                const auto name = [](int key) {
                    return key == 0 ? std::string("-") : Sys().KeyName(key);
                };
                SetRow(a, ActionTitle(action), name(keys[0]), name(keys[1]));
            }
            break;
        case kPad:
            for (int a = 0; a < kGameActionCount; ++a) {
                const GameAction action = static_cast<GameAction>(a);
                const PadBindings::Slots& buttons = s.pad.Buttons(action);
                SetRow(a, ActionTitle(action), PadText(buttons[0]), PadText(buttons[1]));
            }
            SetRow(kGameActionCount, "Stick dead zone: " + Percent(s.pad.deadZone), "Smaller",
                   "Larger");
            break;
        case kDisplay:
            SetRow(0, "Frames: " + FrameRateText(s.frameRate), "Fewer", "More");
            SetRow(1, "Start in full screen: " + YesNo(s.fullScreen), "Change", "");
            SetRow(2, "World table: " + std::string(s.leaderboard ? "on" : "off"), "Change", "");
            SetRow(kSettingsNameRow, "Player's name:", "", "");
            SetRow(kSettingsUrlRow, "Table address:", "", "");
            break;
    }
}

void SettingsDialog::PressButton(int id) {
    if (id >= IDC_PAGE_FIRST && id < IDC_PAGE_FIRST + 4) {
        ShowPage(static_cast<Page>(id - IDC_PAGE_FIRST));
    } else if (id >= IDC_ROW_FIRST && id < IDC_ROW_FIRST + kSettingsRows) {
        PressRow(id - IDC_ROW_FIRST, 0);
    } else if (id >= IDC_ROW_SECOND && id < IDC_ROW_SECOND + kSettingsRows) {
        PressRow(id - IDC_ROW_SECOND, 1);
    } else if (id == IDC_SETTINGS_DEFAULTS) {
        TakeFields();
        settings_ = DefaultsKeepingPlayer(settings_);
        capturing_ = false;
        Changed("Every setting is back to its default.");
    } else {
        Dialog::PressButton(id);
    }
}

void SettingsDialog::PressRow(int row, int which) {
    capturing_ = false;
    switch (page_) {
        case kSound:
            PressSound(row, which);
            break;
        case kKeys:
            if (row < kGameActionCount) {
                capturing_ = true;
                captureAction_ = static_cast<GameAction>(row);
                captureSlot_ = which;
                SetItemText(IDC_SETTINGS_STATUS, std::string("Press a key for ") +
                                                     ActionTitle(captureAction_) +
                                                     "; Escape cancels, Backspace clears");
            }
            break;
        case kPad:
            PressPad(row, which);
            break;
        case kDisplay:
            PressDisplay(row, which);
            break;
    }
}

void SettingsDialog::PressSound(int row, int which) {
    Settings& s = settings_;
    const int step = which == 0 ? -kVolumeStep : kVolumeStep;
    const auto clamp = [](int v) { return v < 0 ? 0 : v > Settings::kMaxVolume ? 100 : v; };
    if (row == 0) {
        s.musicVolume = clamp(s.musicVolume + step);
    } else if (row == 1) {
        s.effectsVolume = clamp(s.effectsVolume + step);
    } else if (row == 2) {
        s.mute = !s.mute;
    }
    Changed("");
}

void SettingsDialog::PressPad(int row, int which) {
    Settings& s = settings_;
    if (row == kGameActionCount) {
        const int step = which == 0 ? -kDeadZoneStep : kDeadZoneStep;
        const int v = s.pad.deadZone + step;
        if (v >= PadBindings::kMinDeadZone && v <= PadBindings::kMaxDeadZone) {
            s.pad.deadZone = v;
        }
        Changed("");
        return;
    }
    if (row > kGameActionCount) {
        return;
    }
    // Each press steps the slot to the next button; a button another
    // action had is taken from it.
    const GameAction action = static_cast<GameAction>(row);
    const int next = (static_cast<int>(s.pad.Buttons(action)[which]) + 1) % kPadButtonCount;
    GameAction from = action;
    const PadButton button = static_cast<PadButton>(next);
    if (s.pad.Bind(action, which, button, &from)) {
        Changed(std::string(PadText(button)) + " was taken from " + ActionTitle(from) + ".");
    } else {
        Changed("");
    }
}

void SettingsDialog::PressDisplay(int row, int which) {
    Settings& s = settings_;
    if (row == 0) {
        s.frameRate = StepThrough(s.frameRate, which == 0 ? -1 : 1);
    } else if (row == 1) {
        s.fullScreen = !s.fullScreen;
    } else if (row == 2) {
        s.leaderboard = !s.leaderboard;
    } else {
        return;
    }
    Changed("From the next start.");
}

bool SettingsDialog::PreTranslateMessage(const Message& msg) {
    // A click on Close or the close box comes as Enter or Escape from no key.
    const bool fromKeyboard = msg.physical != 0;
    if (capturing_ && !fromKeyboard && msg.kind == MessageKind::KeyDown) {
        capturing_ = false;
    }
    if (!capturing_ || (msg.kind != MessageKind::KeyDown && msg.kind != MessageKind::KeyUp)) {
        return Dialog::PreTranslateMessage(msg);
    }
    if (msg.kind == MessageKind::KeyUp || msg.repeat) {
        return true;  // the release of the key just bound, or of one held before
    }
    if (msg.key == VK_ESCAPE) {
        capturing_ = false;
        SetItemText(IDC_SETTINGS_STATUS, "Nothing changed.");
    } else if (msg.key == VK_BACK) {
        BindCapturedKey(0);
    } else if (IsFixedKey(msg.physical)) {
        SetItemText(IDC_SETTINGS_STATUS, "That key cannot be bound; press another.");
    } else {
        BindCapturedKey(msg.physical);
    }
    return true;
}

void SettingsDialog::BindCapturedKey(int physical) {
    capturing_ = false;
    const GameAction action = captureAction_;
    KeyBindings& keys = settings_.keys;
    const int other = keys.Keys(action)[1 - captureSlot_];
    if (physical == 0 && other == 0) {
        SetItemText(IDC_SETTINGS_STATUS,
                    std::string(ActionTitle(action)) + " keeps its last key: an action needs one.");
        return;
    }
    GameAction from = action;
    std::string status = std::string(ActionTitle(action)) + ": " +
                         (physical == 0 ? std::string("cleared") : Sys().KeyName(physical));
    if (keys.Bind(action, captureSlot_, physical, &from)) {
        status = Sys().KeyName(physical) + " was taken from " + ActionTitle(from);
        status += keys.HasKey(from) ? "." : ", which has no key now.";
    }
    Changed(status);
}

void SettingsDialog::Changed(const std::string& status) {
    store_.Save(settings_);
    ApplySoundLevels(settings_);
    Sys().SetPadBindings(settings_.pad);
    SetItemText(IDC_SETTINGS_STATUS, status);
    Refresh();
}
