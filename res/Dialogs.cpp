#include "res/Resources.h"

using Kind = DialogControl::Kind;

const DialogTemplate kMainDialog{IDD_MAIN, "", 488, 318, true, true, {}};

const DialogTemplate kAboutDialog{
    IDD_ABOUTBOX,
    "About Quorvax",
    235,
    55,
    true,
    false,
    {
        {Kind::Icon, IDR_MAINFRAME, 11, 17, 20, 20, "", false},
        {Kind::Static, -1, 40, 10, 119, 8, "Quorvax Version 1.0", false},
        {Kind::Static, -1, 40, 25, 119, 8, "Bombs away in the maze.", false},
        {Kind::Button, IDOK, 178, 7, 50, 14, "OK", true},
    },
};

const DialogTemplate kMusicPlayerDialog{
    IDD_MUSIC_PLAYER,
    "Dialog",
    136,
    45,
    false,
    false,
    {{Kind::Custom, IDC_MIDI_CONTROL, 7, 7, 122, 31, "Custom1", false}},
};

const DialogTemplate kNameDialog{
    IDD_NAME,
    "Enter Your Name",
    186,
    26,
    true,
    false,
    {{Kind::Edit, IDC_NAME_EDIT, 9, 6, 169, 12, "", false}},
};

namespace {

// Pages across the top, the rows of the page shown, a status line, and
// Defaults and Close at the bottom.
std::vector<DialogControl> SettingsControls() {
    // Close first: it has the focus, so Enter closes the dialog on every system.
    std::vector<DialogControl> c = {{Kind::Button, IDOK, 194, 164, 50, 14, "Close", true}};
    const char* const pages[] = {"Sound", "Keys", "Pad", "Display"};
    for (int i = 0; i < 4; ++i) {
        c.push_back({Kind::Button, IDC_PAGE_FIRST + i, 7 + i * 54, 7, 50, 14, pages[i], false});
    }
    for (int row = 0; row < kSettingsRows; ++row) {
        const int y = 28 + row * 15;
        c.push_back({Kind::Static, IDC_ROW_LABEL + row, 7, y + 2, 90, 8, "", false});
        c.push_back({Kind::Button, IDC_ROW_FIRST + row, 100, y, 70, 13, "", false});
        c.push_back({Kind::Button, IDC_ROW_SECOND + row, 174, y, 70, 13, "", false});
    }
    c.push_back({Kind::Static, IDC_SETTINGS_STATUS, 7, 150, 237, 8, "", false});
    c.push_back({Kind::Button, IDC_SETTINGS_DEFAULTS, 7, 164, 50, 14, "Defaults", false});
    // Where two rows' buttons would be, shown with the Display page only.
    c.push_back(
        {Kind::Edit, IDC_SETTINGS_NAME, 100, 28 + kSettingsNameRow * 15, 144, 12, "", false});
    c.push_back({Kind::Edit, IDC_SETTINGS_URL, 100, 28 + kSettingsUrlRow * 15, 144, 12, "", false});
    return c;
}

}  // namespace

const DialogTemplate kSettingsDialog{
    IDD_SETTINGS, "Settings", 251, 185, true, false, SettingsControls(),
};

const char* LoadResourceString(int id) {
    if (id == IDS_ABOUTBOX) {
        return "&About Quorvax...";
    }
    if (id == IDS_SETTINGS) {
        return "&Settings...\tF2";
    }
    return "";
}
