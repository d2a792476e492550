#pragma once

#include "platform/Message.h"

// The page's key events (the DOM's keyCode, which for the keys the game
// knows is the Windows virtual-key code) as the game's input messages.
// False for a key the game does not know, and for a key pressed under Alt
// other than Enter (a system key on the desktop); releases always pass, so
// that no key stays held.
bool MessageFromDomKey(bool down, int keyCode, bool repeat, bool alt, bool ctrl, Message& out);
