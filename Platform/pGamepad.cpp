#include "Platform/pGamepad.h"

#include <SDL.h>

#include <cstdio>

namespace {

// The keys a pad plays, by their positions.
constexpr int KEY_Z = 6;
constexpr int KEY_X = 7;
constexpr int KEY_RETURN = 36;
constexpr int KEY_ESCAPE = 53;
constexpr int KEY_LEFT = 123;
constexpr int KEY_RIGHT = 124;
constexpr int KEY_DOWN = 125;
constexpr int KEY_UP = 126;

pEvent keyEventOf(int key, bool down) {
    pEvent event{};
    event.eventClass = PEVENT_CLASS_KEYBOARD;
    event.kind = down ? PEVENT_RAW_KEY_DOWN : PEVENT_RAW_KEY_UP;
    event.keyCode = static_cast<uint32_t>(key);
    return event;
}

} // namespace

pGamepad* pGamepad::instance() {
    static pGamepad* gamepad = new pGamepad;
    return gamepad;
}

pGamepad::pGamepad() {}

bool pGamepad::start() {
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER))
        return true;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::printf("gamepads unavailable: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

int pGamepad::keyOnScreen(int gameKey) const {
    if (keyFor_)
        return keyFor_(gameKey);
    bool inGame = gameRunning_ && gameRunning_();
    if (!inGame && (gameKey == KEY_X || gameKey == KEY_Z || gameKey == KEY_ESCAPE))
        return KEY_RETURN;
    return gameKey;
}

int pGamepad::keyForButton(int button) const {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return keyOnScreen(KEY_LEFT);
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return keyOnScreen(KEY_RIGHT);
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return keyOnScreen(KEY_UP);
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return keyOnScreen(KEY_DOWN);
    case SDL_CONTROLLER_BUTTON_A:
        return keyOnScreen(KEY_X);
    case SDL_CONTROLLER_BUTTON_B:
        return keyOnScreen(KEY_Z);
    case SDL_CONTROLLER_BUTTON_START:
        return keyOnScreen(KEY_ESCAPE);
    default:
        return -1;
    }
}

void pGamepad::press(Held& held, int source, int key, std::vector<pEvent>& out) {
    if (key < 0 || key >= static_cast<int>(holders_.size()) || held[source] >= 0)
        return;
    held[source] = key;
    if (holders_[key]++ == 0)
        out.push_back(keyEventOf(key, true));
}

// Lets go of the key the source pressed, whatever the button would mean now: a screen that
// changed in between must not leave a key held.
void pGamepad::release(Held& held, int source, std::vector<pEvent>& out) {
    int key = held[source];
    if (key < 0)
        return;
    held[source] = -1;
    if (--holders_[key] == 0)
        out.push_back(keyEventOf(key, false));
}

void pGamepad::stick(Held& held, int negative, int positive, int value, std::vector<pEvent>& out) {
    static const int keys[] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN};
    for (int source : {negative, positive}) {
        int travel = source == negative ? -value : value;
        if (held[source] >= 0 && travel < RELEASE_THRESHOLD)
            release(held, source, out);
        else if (held[source] < 0 && travel > PRESS_THRESHOLD)
            press(held, source, keyOnScreen(keys[source - STICK_LEFT]), out);
    }
}

void pGamepad::added(int deviceIndex) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller)
        return; // not a pad SDL knows how to read
    SDL_JoystickID pad = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    if (open_.count(pad)) {
        SDL_GameControllerClose(controller); // announced twice: keep the one reference
        return;
    }
    open_[pad] = controller;
}

void pGamepad::removed(SDL_JoystickID pad, std::vector<pEvent>& out) {
    auto found = held_.find(pad);
    if (found != held_.end()) {
        for (int source = 0; source < SOURCE_COUNT; source++)
            release(found->second, source, out);
        held_.erase(found);
    }
    auto opened = open_.find(pad);
    if (opened != open_.end()) {
        SDL_GameControllerClose(opened->second);
        open_.erase(opened);
    }
}

bool pGamepad::translate(const SDL_Event& event, std::vector<pEvent>& out) {
    auto heldBy = [this](SDL_JoystickID pad) -> Held& {
        auto found = held_.find(pad);
        if (found == held_.end()) {
            Held none;
            none.fill(-1);
            found = held_.emplace(pad, none).first;
        }
        return found->second;
    };
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        added(event.cdevice.which);
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        removed(event.cdevice.which, out);
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        int button = event.cbutton.button;
        if (button >= SDL_CONTROLLER_BUTTON_MAX)
            return true;
        Held& held = heldBy(event.cbutton.which);
        if (event.type == SDL_CONTROLLERBUTTONDOWN)
            press(held, button, keyForButton(button), out);
        else
            release(held, button, out);
        return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
        Held& held = heldBy(event.caxis.which);
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
            stick(held, STICK_LEFT, STICK_RIGHT, event.caxis.value, out);
        else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
            stick(held, STICK_UP, STICK_DOWN, event.caxis.value, out);
        return true;
    }
    default:
        return false;
    }
}
