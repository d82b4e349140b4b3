#pragma once

#include "Platform/pEvent.h"

#include <SDL_gamecontroller.h>

#include <array>
#include <map>
#include <vector>

union SDL_Event;

// Gamepads play through the keyboard: the d-pad and the left stick are the arrow keys, A and B
// rotate (X and Z) and Start pauses (Escape) in the game, and all three are Return on the other
// screens; the game may map them to other keys (setKeyQuery). The buttons become raw key downs and
// ups, so the game's key repeat, input lock and actions treat them as keys. Pads are opened as they
// are plugged in and their keys let go as they are pulled out.
class pGamepad {
public:
    // A stick past this much of its travel presses its arrow; it lets go only below the lower
    // mark, so a thumb resting near the edge does not chatter.
    static constexpr int PRESS_THRESHOLD = 16384;
    static constexpr int RELEASE_THRESHOLD = 8192;

    // The one the event loop feeds.
    static pGamepad* instance();

    pGamepad();
    pGamepad(const pGamepad&) = delete;
    pGamepad& operator=(const pGamepad&) = delete;

    // Starts SDL's game controller support; the pads plugged in now then arrive as added.
    bool start();
    // Asked at each button press: is the main game screen running?
    void setGameQuery(bool (*gameRunning)()) { gameRunning_ = gameRunning; }
    // Asked instead at each press of a button or stick direction, with the key it plays in the
    // game by default (an arrow, X for A, Z for B, Escape for Start): the key it presses on the
    // screen running now, -1 for none. So the pad can follow the player's own keys.
    void setKeyQuery(int (*keyFor)(int gameKey)) { keyFor_ = keyFor; }
    // The key events one SDL event from a pad stands for, appended to `out`. False for events
    // that are not a pad's.
    bool translate(const SDL_Event& event, std::vector<pEvent>& out);

private:
    // Each button, then the stick's four directions.
    static constexpr int STICK_LEFT = SDL_CONTROLLER_BUTTON_MAX;
    static constexpr int STICK_RIGHT = STICK_LEFT + 1;
    static constexpr int STICK_UP = STICK_LEFT + 2;
    static constexpr int STICK_DOWN = STICK_LEFT + 3;
    static constexpr int SOURCE_COUNT = STICK_LEFT + 4;
    // The key each source of a pad holds down, -1 for none.
    using Held = std::array<int, SOURCE_COUNT>;

    int keyForButton(int button) const;
    // The key a button or stick direction that plays `gameKey` in the game presses now.
    int keyOnScreen(int gameKey) const;
    void press(Held& held, int source, int key, std::vector<pEvent>& out);
    void release(Held& held, int source, std::vector<pEvent>& out);
    void stick(Held& held, int negative, int positive, int value, std::vector<pEvent>& out);
    void added(int deviceIndex);
    void removed(SDL_JoystickID pad, std::vector<pEvent>& out);

    std::map<SDL_JoystickID, Held> held_;
    std::map<SDL_JoystickID, SDL_GameController*> open_;
    // How many sources of all pads hold each key: it goes up with the first and down with the last.
    std::array<int, 128> holders_{};
    bool (*gameRunning_)() = nullptr;
    int (*keyFor_)(int gameKey) = nullptr;
};
