#pragma once

#include <cstdint>

#include "platform/DialogTemplate.h"

// Resource identifiers.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDD_MAIN = 102;
constexpr int IDR_MAINFRAME = 128;  // the application icon
constexpr int IDD_MUSIC_PLAYER = 129;
constexpr int IDD_NAME = 130;
constexpr int IDC_MIDI_CONTROL = 1000;
constexpr int IDC_NAME_EDIT = 1001;
constexpr unsigned IDM_ABOUTBOX = 0x0010;  // the About command's identifier
constexpr unsigned IDM_SETTINGS = 0x0020;  // the Settings command's identifier
constexpr int IDD_SETTINGS = 131;
constexpr int IDS_SETTINGS = 132;
// The Settings dialog: its page buttons, and per row a label and two buttons.
constexpr int IDC_PAGE_FIRST = 1100;  // Sound, Keys, Pad, Display
constexpr int IDC_ROW_LABEL = 1110;
constexpr int IDC_ROW_FIRST = 1120;
constexpr int IDC_ROW_SECOND = 1130;
constexpr int kSettingsRows = 8;
constexpr int IDC_SETTINGS_STATUS = 1140;
constexpr int IDC_SETTINGS_DEFAULTS = 1141;
// The Display page's fields: the player's name and the world table's address.
constexpr int IDC_SETTINGS_NAME = 1142;
constexpr int IDC_SETTINGS_URL = 1143;
constexpr int kSettingsNameRow = 3;
constexpr int kSettingsUrlRow = 4;

extern const DialogTemplate kAboutDialog;
extern const DialogTemplate kMainDialog;
extern const DialogTemplate kMusicPlayerDialog;
extern const DialogTemplate kNameDialog;
extern const DialogTemplate kSettingsDialog;

// String resources; an unknown id gives "".
const char* LoadResourceString(int id);

// Icon 128: 32 x 32 pixels in 16 colours, as RGBA (row 0 at the top).
constexpr int kIconSize = 32;
const uint8_t* IconRgba();
