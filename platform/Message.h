#pragma once

#include <string>

// One input message as a window's PreTranslateMessage sees it.
enum class MessageKind { KeyDown, KeyUp, Text, Click };

struct Message {
    MessageKind kind = MessageKind::KeyDown;
    int key = 0;          // virtual-key code (KeyDown, KeyUp)
    int physical = 0;     // the key's place on the keyboard (PhysicalKeys), 0 unknown
    bool repeat = false;  // an auto-repeated KeyDown
    bool alt = false;     // Alt was held with the key
    std::string text;     // typed text, UTF-8 (Text)
    int x = 0, y = 0;     // client pixels of a left-button click (Click)
};
