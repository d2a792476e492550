#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DialogTemplate;

// The game's dialog resources as the system's dialog manager takes them: an
// in-memory DLGTEMPLATE built from the same templates the other systems lay
// out (res/Dialogs.cpp), so there is one source for every dialog. The main
// window is a popup without caption; the others have a caption bar, a
// system menu and a modal frame, centred on the screen. The window is made
// hidden; the caller shows it after OnInitDialog, as the dialog manager does.
// The words are DWORD-aligned for CreateDialogIndirectParam.
std::vector<uint16_t> BuildWin32DialogTemplate(const DialogTemplate& tmpl);

// A Windows-1252 text as UTF-16, for the system's wide calls.
std::wstring WideFromCp1252(const std::string& text);
// A UTF-16 text back into Windows-1252; '?' where the code page has no byte.
std::string Cp1252FromWide(const std::wstring& text);
