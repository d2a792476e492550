#pragma once

#include <SDL_events.h>
#include <SDL_gamecontroller.h>

#include <map>
#include <set>
#include <vector>

#include "platform/GamepadMapper.h"
#include "platform/Message.h"

// The game controllers SDL knows, opened as they are plugged in and closed
// as they go, with the state each one holds, turned into key messages by
// a GamepadMapper.
class SdlGamepads {
  public:
    SdlGamepads() = default;
    ~SdlGamepads();
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    // SdlSystem's event loop hands every controller event here; the key
    // messages it stands for are appended to `out`. False for other events.
    bool HandleEvent(const SDL_Event& event, std::vector<Message>& out);

    // The player's pad bindings and dead zone.
    void SetBindings(const PadBindings& bindings) { mapper_.SetBindings(bindings); }

    // Controllers open now.
    size_t OpenCount() const { return open_.size(); }

  private:
    void Unplug(SDL_JoystickID id, std::vector<Message>& out);

    std::map<SDL_JoystickID, SDL_GameController*> open_;
    std::map<SDL_JoystickID, GamepadState> states_;
    std::set<SDL_JoystickID> gone_;  // ids are not reused; late events of these are dropped
    GamepadMapper mapper_;
};
