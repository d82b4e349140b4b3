#include "Input/pKeyboardHandler.h"
#include "Platform/pEventLoop.h"
#include "Platform/pGamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

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
        text += (text.empty() ? "" : " ") +
                std::string(event.kind == PEVENT_RAW_KEY_DOWN ? "+" : "-") +
                std::to_string(event.keyCode);
    }
    return text;
}

class GamepadMapping : public ::testing::Test {
protected:
    pGamepad pad;
    void SetUp() override {
        inGame = false;
        pad.setGameQuery(gameRunning);
    }
    std::string button(int which, int button, bool down) {
        SDL_Event event{};
        event.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
        event.cbutton.which = which;
        event.cbutton.button = static_cast<uint8_t>(button);
        std::vector<pEvent> out;
        EXPECT_TRUE(pad.translate(event, out));
        return keys(out);
    }
    std::string axis(int which, int axis, int value) {
        SDL_Event event{};
        event.type = SDL_CONTROLLERAXISMOTION;
        event.caxis.which = which;
        event.caxis.axis = static_cast<uint8_t>(axis);
        event.caxis.value = static_cast<int16_t>(value);
        std::vector<pEvent> out;
        EXPECT_TRUE(pad.translate(event, out));
        return keys(out);
    }
};

} // namespace

TEST_F(GamepadMapping, ButtonsAreArrowsRotationsAndPauseInTheGameAndReturnElsewhere) {
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true), "+123");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false), "-123");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true), "+124");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_DPAD_DOWN, true), "+125");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_DPAD_UP, true), "+126");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_X, true), "") << "unmapped buttons are no keys";
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_BACK, true), "");

    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_A, true), "+36");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_A, false), "-36");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_START, true), "+36");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_START, false), "-36");
    inGame = true;
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_A, true), "+7");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_B, true), "+6");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_START, true), "+53");
    // The screen changes while they are held: each lets go of the key it pressed.
    inGame = false;
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_A, false), "-7");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_START, false), "-53");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_B, false), "-6");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_B, false), "") << "released once only";

    // A and B both on Return in a menu: one press, let go with the last of them.
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_A, true), "+36");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_B, true), "");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_A, false), "");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_B, false), "-36");
}

TEST_F(GamepadMapping, StickPressesPastHalfwayAndLetsGoOnlyNearTheMiddle) {
    const int X = SDL_CONTROLLER_AXIS_LEFTX, Y = SDL_CONTROLLER_AXIS_LEFTY;
    EXPECT_EQ(axis(0, X, -8000), "") << "inside the dead zone";
    EXPECT_EQ(axis(0, X, -20000), "+123");
    EXPECT_EQ(axis(0, X, -30000), "");
    EXPECT_EQ(axis(0, X, -12000), "") << "between the marks the arrow stays down";
    EXPECT_EQ(axis(0, X, -17000), "") << "and is not pressed again";
    EXPECT_EQ(axis(0, X, -4000), "-123");
    EXPECT_EQ(axis(0, X, -12000), "") << "between the marks nothing is pressed either";
    EXPECT_EQ(axis(0, X, -32768), "+123");
    EXPECT_EQ(axis(0, X, 32767), "-123 +124") << "flicked across in one report";
    EXPECT_EQ(axis(0, X, 0), "-124");
    EXPECT_EQ(axis(0, Y, -20000), "+126") << "up is negative";
    EXPECT_EQ(axis(0, Y, 20000), "-126 +125");
    EXPECT_EQ(axis(0, SDL_CONTROLLER_AXIS_RIGHTX, 32767), "") << "only the left stick plays";

    // Stick and d-pad on the same arrow: one key, up when the last of them lets go.
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_DPAD_DOWN, true), "");
    EXPECT_EQ(axis(0, Y, 0), "");
    EXPECT_EQ(button(0, SDL_CONTROLLER_BUTTON_DPAD_DOWN, false), "-125");
}

TEST_F(GamepadMapping, PullingAPadOutLetsGoOfItsKeysOnlyAndOtherEventsAreNotAPads) {
    EXPECT_EQ(button(1, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true), "+123");
    EXPECT_EQ(axis(1, SDL_CONTROLLER_AXIS_LEFTY, 30000), "+125");
    EXPECT_EQ(button(2, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true), "");
    EXPECT_EQ(button(2, SDL_CONTROLLER_BUTTON_A, true), "+36");

    SDL_Event removed{};
    removed.type = SDL_CONTROLLERDEVICEREMOVED;
    removed.cdevice.which = 1;
    std::vector<pEvent> out;
    EXPECT_TRUE(pad.translate(removed, out));
    EXPECT_EQ(keys(out), "-125") << "pad 2 still holds the left arrow";
    EXPECT_EQ(button(1, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false), "");
    EXPECT_EQ(button(2, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false), "-123");
    removed.cdevice.which = 2;
    out.clear();
    pad.translate(removed, out);
    EXPECT_EQ(keys(out), "-36");

    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    EXPECT_FALSE(pad.translate(key, out));
}

// A virtual pad through SDL's own game controller support, as the event loop sees a real one.
TEST(Gamepad, AVirtualPadPlugsInPlaysAndLetsGoWhenPulledOut) {
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
    EXPECT_TRUE(keyboard->keys[PKEY_X]);
    EXPECT_TRUE(keyboard->keys[PKEY_RIGHT]);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, SDL_RELEASED);
    pump();
    EXPECT_FALSE(keyboard->keys[PKEY_X]);

    ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0) << SDL_GetError();
    pump();
    EXPECT_FALSE(keyboard->keys[PKEY_RIGHT]) << "pulled out with the stick held";
    inGame = false;
}
