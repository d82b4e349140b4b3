#include "Input/pKeyboardHandler.h"
#include "Platform/pEventLoop.h"
#include "Platform/pKeyTranslation.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

TEST(pKeyTranslation, EveryNamedPositionIsReachableAtItsUsPlace) {
    const int keyCount = pKeyboardHandler::KEY_COUNT;
    std::set<int> reached;
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; scancode++) {
        int code = scancodeToKeyCode(scancode);
        ASSERT_LT(code, keyCount);
        if (code >= 0)
            reached.insert(code);
    }
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    for (int code = 0; code < keyCount; code++) {
        if (keyboard->keycodeToIdentifier(static_cast<PKEYCODE>(code)) != "???") {
            EXPECT_TRUE(reached.count(code)) << "no key reaches position " << code;
        }
    }

    EXPECT_EQ(scancodeToKeyCode(SDL_SCANCODE_Z), PKEY_Z);
    EXPECT_EQ(scancodeToKeyCode(SDL_SCANCODE_X), PKEY_X);
    EXPECT_EQ(scancodeToKeyCode(SDL_SCANCODE_KP_8), PKEY_NUM_8);
    EXPECT_EQ(scancodeToKeyCode(SDL_SCANCODE_DELETE), PKEY_DELETE);
    EXPECT_EQ(scancodeToKeyCode(SDL_SCANCODE_LGUI), PKEY_COMMAND);
    EXPECT_EQ(scancodeToKeyCode(SDL_SCANCODE_RALT), PKEY_OPTION);
    // Keys with no place on that keyboard are not reported.
    EXPECT_EQ(scancodeToKeyCode(SDL_SCANCODE_APPLICATION), -1);
    EXPECT_EQ(scancodeToKeyCode(-5), -1);
    EXPECT_EQ(scancodeToKeyCode(SDL_NUM_SCANCODES), -1);
}

namespace {

SDL_Event keyEventOf(Uint32 type, SDL_Scancode scancode, Uint16 mod = 0, Uint8 repeat = 0) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = mod;
    event.key.repeat = repeat;
    return event;
}

std::vector<pEvent> translated(const SDL_Event& event) {
    std::vector<pEvent> out;
    translateEvent(event, out);
    return out;
}

} // namespace

TEST(pEventLoop, KeysBecomeRawKeysAndModifierChanges) {
    auto z = translated(keyEventOf(SDL_KEYDOWN, SDL_SCANCODE_Z));
    ASSERT_EQ(z.size(), 1u);
    EXPECT_EQ(z[0].eventClass, PEVENT_CLASS_KEYBOARD);
    EXPECT_EQ(z[0].kind, PEVENT_RAW_KEY_DOWN);
    EXPECT_EQ(z[0].keyCode, 6u);
    EXPECT_TRUE(translated(keyEventOf(SDL_KEYDOWN, SDL_SCANCODE_Z, 0, 1)).empty()); // repeat
    auto up = translated(keyEventOf(SDL_KEYUP, SDL_SCANCODE_Z));
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].kind, PEVENT_RAW_KEY_UP);
    EXPECT_TRUE(translated(keyEventOf(SDL_KEYDOWN, SDL_SCANCODE_APPLICATION)).empty());

    // Super+F: Command arrives as a mask, never as a key of its own.
    auto super = translated(keyEventOf(SDL_KEYDOWN, SDL_SCANCODE_LGUI));
    ASSERT_EQ(super.size(), 1u);
    EXPECT_EQ(super[0].kind, PEVENT_MODIFIERS_CHANGED);
    EXPECT_EQ(super[0].modifiers, PMODIFIER_COMMAND);
    auto caps = translated(keyEventOf(SDL_KEYDOWN, SDL_SCANCODE_CAPSLOCK, KMOD_CAPS));
    ASSERT_EQ(caps.size(), 1u);
    EXPECT_EQ(caps[0].modifiers, PMODIFIER_COMMAND | PMODIFIER_CAPS_LOCK);
    auto capsOff = translated(keyEventOf(SDL_KEYDOWN, SDL_SCANCODE_CAPSLOCK, 0));
    EXPECT_EQ(capsOff[0].modifiers, PMODIFIER_COMMAND);
    // Either hand's key holds a modifier; the mask is whole on every change.
    translated(keyEventOf(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT));
    translated(keyEventOf(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT));
    translated(keyEventOf(SDL_KEYUP, SDL_SCANCODE_LSHIFT));
    auto ctrl = translated(keyEventOf(SDL_KEYDOWN, SDL_SCANCODE_RCTRL));
    EXPECT_EQ(ctrl[0].modifiers, PMODIFIER_COMMAND | PMODIFIER_SHIFT | PMODIFIER_CONTROL);
    translated(keyEventOf(SDL_KEYUP, SDL_SCANCODE_RSHIFT));
    translated(keyEventOf(SDL_KEYUP, SDL_SCANCODE_RCTRL));
    auto alt = translated(keyEventOf(SDL_KEYDOWN, SDL_SCANCODE_LALT));
    EXPECT_EQ(alt[0].modifiers, PMODIFIER_COMMAND | PMODIFIER_OPTION);
    translated(keyEventOf(SDL_KEYUP, SDL_SCANCODE_LALT));
    auto released = translated(keyEventOf(SDL_KEYUP, SDL_SCANCODE_LGUI));
    ASSERT_EQ(released.size(), 1u);
    EXPECT_EQ(released[0].modifiers, 0u);
}

TEST(pEventLoop, MouseAndWindowEventsKeepTheirKinds) {
    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.button = SDL_BUTTON_RIGHT;
    press.button.x = 12;
    press.button.y = -3;
    auto down = translated(press);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].eventClass, PEVENT_CLASS_MOUSE);
    EXPECT_EQ(down[0].kind, PEVENT_MOUSE_DOWN);
    EXPECT_EQ(down[0].mouseButton, PMOUSE_BUTTON_SECONDARY);
    EXPECT_EQ(down[0].x, 12); // no window: nothing to add or scale
    EXPECT_EQ(down[0].y, -3);

    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 100000; // beyond what the event can carry
    motion.motion.state = SDL_BUTTON_LMASK;
    auto drag = translated(motion);
    ASSERT_EQ(drag.size(), 1u);
    EXPECT_EQ(drag[0].kind, PEVENT_MOUSE_DRAGGED);
    EXPECT_EQ(drag[0].x, 32767);
    motion.motion.state = 0;
    EXPECT_EQ(translated(motion)[0].kind, PEVENT_MOUSE_MOVED);

    SDL_Event window{};
    window.type = SDL_WINDOWEVENT;
    window.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    EXPECT_EQ(translated(window)[0].kind, PEVENT_WINDOW_BOUNDS_CHANGED);
    window.window.event = SDL_WINDOWEVENT_CLOSE;
    auto close = translated(window);
    ASSERT_EQ(close.size(), 1u);
    EXPECT_EQ(close[0].eventClass, PEVENT_CLASS_WINDOW);
    EXPECT_EQ(close[0].kind, PEVENT_WINDOW_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(translated(quit)[0].kind, PEVENT_WINDOW_CLOSE);
}

namespace {

std::vector<int> calls;

int first(void* next, pEvent* event, void*) {
    calls.push_back(1);
    return callNextEventHandler(next, event);
}
int second(void*, pEvent*, void*) {
    calls.push_back(2);
    return PEVENT_HANDLED;
}

} // namespace

TEST(pEventLoop, LatestHandlerSeesTheEventFirstAndMayPassItOn) {
    const uint32_t testClass = pFourCharCode("test");
    int older = installEventHandler(testClass, {1}, second, nullptr);
    int newer = installEventHandler(testClass, {1, 2}, first, nullptr);
    pEvent event{testClass, 1, 0, 0, 0, 0, 0, 0};
    calls.clear();
    EXPECT_EQ(deliverEvent(event), PEVENT_HANDLED);
    EXPECT_EQ(calls, (std::vector<int>{1, 2}));
    event.kind = 2;
    calls.clear();
    EXPECT_EQ(deliverEvent(event), PEVENT_NOT_HANDLED); // nobody after the first
    removeEventHandler(newer);
    removeEventHandler(older);
    event.kind = 1;
    EXPECT_EQ(deliverEvent(event), PEVENT_NOT_HANDLED);
}

namespace {

int framesRun = 0;
void countFrame(void*) {
    if (++framesRun == 7)
        quitEventLoop();
}

} // namespace

TEST(pEventLoop, FramesComeAtTheFrameRateWithoutSpinning) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    installFrameTimer(countFrame, nullptr);
    setFrameRate(100);
    framesRun = 0;
    Uint64 start = SDL_GetTicks64();
    std::clock_t cpuStart = std::clock();
    runEventLoop();
    double wall = static_cast<double>(SDL_GetTicks64() - start);
    double cpu = (std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
    installFrameTimer(nullptr, nullptr);
    setFrameRate(0);
    EXPECT_EQ(framesRun, 7);
    EXPECT_GE(wall, 55); // six periods of 10 ms between seven frames
    EXPECT_LT(wall, 500);
    EXPECT_LT(cpu, wall / 2); // it slept
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// Losing the keyboard is the player switching away only for a window that is shown and still
// exists, with no other window of the game taking the keyboard; full-screen switches hide and
// destroy windows and must not count.
TEST(pEventLoop, FocusLossIsReportedOnlyForAShownWindow) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        GTEST_SKIP() << "needs an X server (run under xvfb-run -a)";
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* shown = SDL_CreateWindow("focus", 0, 0, 64, 64, 0);
    SDL_Window* hidden = SDL_CreateWindow("focus", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    ASSERT_TRUE(shown && hidden) << SDL_GetError();
    ASSERT_EQ(SDL_GetKeyboardFocus(), nullptr) << "no window took the keyboard yet";

    SDL_Event lost{};
    lost.type = SDL_WINDOWEVENT;
    lost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    lost.window.windowID = SDL_GetWindowID(shown);
    auto out = translated(lost);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].eventClass, PEVENT_CLASS_WINDOW);
    EXPECT_EQ(out[0].kind, PEVENT_WINDOW_DEACTIVATED);
    lost.window.windowID = SDL_GetWindowID(hidden);
    EXPECT_TRUE(translated(lost).empty());
    lost.window.windowID = SDL_GetWindowID(hidden);
    SDL_DestroyWindow(hidden);
    EXPECT_TRUE(translated(lost).empty()) << "a destroyed window";
    SDL_DestroyWindow(shown);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
