#pragma once

#include <SDL_events.h>

#include <cstdint>
#include <string>

#include "platform/Message.h"

// Virtual-key code of an SDL key with the modifiers held, 0 for keys neither
// the game nor the dialogs know. Both CTRL keys are VK_CONTROL, both SHIFT
// keys VK_SHIFT, both Enter keys VK_RETURN; letters and digits keep their
// upper-case ASCII codes. With NumLock off (not in `mod`) the keypad's
// arrows, Home, End and Del are those keys, as on Windows.
int VirtualKeyFromSdl(SDL_Keycode key, uint16_t mod = KMOD_NONE);

// The input message for an SDL key or text event, with the key's place
// (`physical`) for the bindings; false for any other event and for keys
// that have neither a virtual-key code nor a place the bindings know. As on Windows, a key pressed
// under Alt is no game key: only Alt+Enter is delivered (with `alt`), while
// every release is.
bool MessageFromSdlEvent(const SDL_Event& event, Message& out);

// The name the player's keyboard layout gives the key at this scancode
// ("Z" on QWERTY, "W" on AZERTY), in Windows-1252 for the dialogs.
std::string KeyNameFromSdl(int scancode);
