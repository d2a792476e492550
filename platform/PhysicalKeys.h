#pragma once

#include <string>
#include <string_view>

// A key by its place on the keyboard, not by what the layout prints on it:
// the USB usage id, which is also SDL's scancode. The settings file names
// it as the browser's KeyboardEvent.code does ("KeyZ", "ShiftLeft"), so an
// AZERTY or Dvorak player's bindings stay on the same keys. 0 is no key.
namespace PhysicalKeys {

// The code name of a key ("ArrowUp"); "" for 0 and for keys not in the table.
const char* CodeName(int key);
// The key of a code name; 0 when the name is unknown.
int FromCodeName(std::string_view name);
// A Windows scan code (bits 16-23 of a key message's lParam) and its
// extended flag (bit 24); 0 for keys not in the table.
int FromWindowsScanCode(int scanCode, bool extended);
// The other way, for naming the key in the player's layout: scan code with
// 0x100 for an extended key; 0 when none.
int WindowsScanCode(int key);

}  // namespace PhysicalKeys
