#pragma once

#include <SDL_events.h>

#include "platform/Message.h"

// Virtual-key code of an SDL key, 0 for keys neither the game nor the dialogs
// know. Both CTRL keys are VK_CONTROL, both SHIFT keys VK_SHIFT, both Enter
// keys VK_RETURN; letters and digits keep their upper-case ASCII codes.
int VirtualKeyFromSdl(SDL_Keycode key);

// The input message for an SDL key or text event; false for any other event
// and for keys without a virtual-key code.
bool MessageFromSdlEvent(const SDL_Event& event, Message& out);
