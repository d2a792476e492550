#pragma once

#include "world/HeldKeys.h"

// The held-key bit (world/HeldKeys.h) of a virtual-key code, 0 for keys without one.
int KeyBit(int vk);
