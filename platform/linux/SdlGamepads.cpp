#include "platform/linux/SdlGamepads.h"

#include <SDL.h>

SdlGamepads::~SdlGamepads() {
    for (auto& [id, controller] : open_) {
        SDL_GameControllerClose(controller);
    }
}

bool SdlGamepads::HandleEvent(const SDL_Event& event, std::vector<Message>& out) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED: {
            // Controllers present at start arrive this way too.
            SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
            if (controller == nullptr) {
                return true;
            }
            const SDL_JoystickID id =
                SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
            if (open_.count(id) != 0) {
                SDL_GameControllerClose(controller);  // already open: drop the extra reference
            } else {
                open_[id] = controller;
            }
            return true;
        }
        case SDL_CONTROLLERDEVICEREMOVED:
            Unplug(event.cdevice.which, out);
            return true;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            if (gone_.count(event.cbutton.which) != 0) {
                return true;
            }
            GamepadState& s = states_[event.cbutton.which];
            const bool down = event.cbutton.state == SDL_PRESSED;
            switch (event.cbutton.button) {
                case SDL_CONTROLLER_BUTTON_DPAD_UP:
                    s.up = down;
                    break;
                case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
                    s.down = down;
                    break;
                case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
                    s.left = down;
                    break;
                case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
                    s.right = down;
                    break;
                case SDL_CONTROLLER_BUTTON_A:
                    s.a = down;
                    break;
                case SDL_CONTROLLER_BUTTON_B:
                    s.b = down;
                    break;
                case SDL_CONTROLLER_BUTTON_X:
                    s.x = down;
                    break;
                case SDL_CONTROLLER_BUTTON_Y:
                    s.y = down;
                    break;
                case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
                    s.leftShoulder = down;
                    break;
                case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
                    s.rightShoulder = down;
                    break;
                case SDL_CONTROLLER_BUTTON_START:
                    s.start = down;
                    break;
                case SDL_CONTROLLER_BUTTON_BACK:
                    s.back = down;
                    break;
                default:
                    return true;
            }
            mapper_.Update(event.cbutton.which, s, out);
            return true;
        }
        case SDL_CONTROLLERAXISMOTION: {
            if (gone_.count(event.caxis.which) != 0) {
                return true;
            }
            GamepadState& s = states_[event.caxis.which];
            if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
                s.stickX = event.caxis.value;
            } else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
                s.stickY = event.caxis.value;
            } else {
                return true;
            }
            mapper_.Update(event.caxis.which, s, out);
            return true;
        }
        default:
            return false;
    }
}

void SdlGamepads::Unplug(SDL_JoystickID id, std::vector<Message>& out) {
    auto it = open_.find(id);
    if (it != open_.end()) {
        SDL_GameControllerClose(it->second);
        open_.erase(it);
    }
    states_.erase(id);
    gone_.insert(id);
    mapper_.Remove(id, out);
}
