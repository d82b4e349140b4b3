#include "Input/pKeyboardHandler.h"
#include "Platform/pEventLoop.h"
#include "Platform/pGamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool inGame = false;
bool gameRunning() {
    return inGame;
}

// The key events as "+code" for down and "-code" for up.
std::string keys(const std::vector<pEvent>& events) {
    std::string text;
    for (const pEvent& event : events) {
        EXPECT_EQ(event.eventClass, PEVENT_CLASS_KEYBOARD);
        text += (text.empty() ? "" : ",") +
                std::string(event.kind == PEVENT_RAW_KEY_DOWN ? "+" : "-") +
                std::to_string(event.keyCode);
    }
    return text;
}

} // namespace

// Button presses and stick moves of three pads, in the game (g) or on another screen (-), and
// the keys that come of each, "+code" down and "-code" up ("." none). Arrows work everywhere; A,
// B and Start rotate and pause in the game and are Return elsewhere; a key is let go of as it was
// pressed, once, when the last of its buttons and sticks lets go; the stick presses past halfway
// and lets go only near the middle; pulling a pad out lets go of its own keys only.
TEST(GamepadMapping, ButtonsStickAndPullingOutBecomeKeys) {
    std::istringstream script(
        "0 L 1 - +123 0 L 0 - -123 0 R 1 - +124 0 D 1 - +125 0 U 1 g +126 0 X 1 g . 0 K 1 - . "
        "0 A 1 - +36 0 A 0 - -36 0 S 1 - +36 0 S 0 - -36 0 A 1 g +7 0 B 1 g +6 0 S 1 g +53 "
        "0 A 0 - -7 0 S 0 - -53 0 B 0 - -6 0 B 0 - . 0 A 1 - +36 0 B 1 - . 0 A 0 - . 0 B 0 - -36 "
        "0 R 0 - -124 0 D 0 - -125 0 U 0 - -126 0 x -8000 - . 0 x -20000 - +123 0 x -30000 - . "
        "0 x -12000 - . 0 x -17000 - . 0 x -4000 - -123 0 x -12000 - . 0 x -32768 - +123 "
        "0 x 32767 - -123,+124 0 x 0 - -124 0 y -20000 - +126 0 y 20000 - -126,+125 "
        "0 r 32767 - . 0 D 1 - . 0 y 0 - . 0 D 0 - -125 1 L 1 - +123 1 y 30000 - +125 "
        "2 L 1 - . 2 A 1 - +36 1 o 0 - -125 1 L 0 - . 2 L 0 - -123 2 o 0 - -36");
    const std::map<std::string, int> buttons = {
        {"L", SDL_CONTROLLER_BUTTON_DPAD_LEFT}, {"R", SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
        {"D", SDL_CONTROLLER_BUTTON_DPAD_DOWN}, {"U", SDL_CONTROLLER_BUTTON_DPAD_UP},
        {"A", SDL_CONTROLLER_BUTTON_A},         {"B", SDL_CONTROLLER_BUTTON_B},
        {"S", SDL_CONTROLLER_BUTTON_START},     {"X", SDL_CONTROLLER_BUTTON_X},
        {"K", SDL_CONTROLLER_BUTTON_BACK}};
    const std::map<std::string, int> axes = {{"x", SDL_CONTROLLER_AXIS_LEFTX},
                                             {"y", SDL_CONTROLLER_AXIS_LEFTY},
                                             {"r", SDL_CONTROLLER_AXIS_RIGHTX}};
    pGamepad pad;
    pad.setGameQuery(gameRunning);
    int pad_ = 0, value = 0, number = 0;
    std::string what, game, expected;
    while (script >> pad_ >> what >> value >> game >> expected) {
        inGame = game == "g";
        SDL_Event event{};
        if (what == "o") {
            event.type = SDL_CONTROLLERDEVICEREMOVED;
            event.cdevice.which = pad_;
        } else if (axes.count(what)) {
            event.type = SDL_CONTROLLERAXISMOTION;
            event.caxis.which = pad_;
            event.caxis.axis = static_cast<uint8_t>(axes.at(what));
            event.caxis.value = static_cast<int16_t>(value);
        } else {
            event.type = value ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
            event.cbutton.which = pad_;
            event.cbutton.button = static_cast<uint8_t>(buttons.at(what));
        }
        std::vector<pEvent> out;
        EXPECT_TRUE(pad.translate(event, out));
        EXPECT_EQ(keys(out), expected == "." ? "" : expected) << "step " << number;
        number++;
    }
    EXPECT_EQ(number, 49);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    std::vector<pEvent> out;
    EXPECT_FALSE(pad.translate(key, out)) << "not a pad's";
    inGame = false;
}

// A virtual pad through SDL's own game controller support, as the event loop sees a real one.
// SDL drops a pad's input while windows are open but none has the keyboard (another test's
// window may be open, hidden), unless the game is let hear it in the background.
TEST(Gamepad, AVirtualPadPlugsInPlaysAndLetsGoWhenPulledOut) {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_TRUE(pGamepad::instance()->start());
    pGamepad::instance()->setGameQuery(gameRunning);
    inGame = true;
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    keyboard->clear();
    auto pump = [&] {
        SDL_PumpEvents();
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            std::vector<pEvent> out;
            translateEvent(event, out);
            for (pEvent& translated : out)
                keyEvent(nullptr, &translated, keyboard);
        }
    };
    int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                           SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(device));
    pump(); // the pad arrives and is opened
    SDL_Joystick* joystick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
    ASSERT_NE(joystick, nullptr) << "the added pad was not opened";
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, 30000);
    pump();
    EXPECT_TRUE(keyboard->keys[PKEY_X] && keyboard->keys[PKEY_RIGHT]);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, SDL_RELEASED);
    pump();
    EXPECT_FALSE(keyboard->keys[PKEY_X]);
    ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0) << SDL_GetError();
    pump();
    EXPECT_FALSE(keyboard->keys[PKEY_RIGHT]) << "pulled out with the stick held";
    inGame = false;
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "0");
}
