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

const char* LoadResourceString(int id) {
    if (id == IDS_ABOUTBOX) {
        return "&About Quorvax...";
    }
    return "";
}
