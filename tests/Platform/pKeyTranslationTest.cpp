// Every key of a US keyboard at its position: named after SDL's key names.
#include "Platform/pDisplay.h"
#include "Platform/pEventLoop.h"
#include "Platform/pKeyTranslation.h"
#include "Platform/pGamepad.h"

#include "tests/support/Fakes.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>

TEST(pKeyTranslation, EveryKeyReachesItsUsPosition) {
    std::string map;
    for (int scancode = -5; scancode <= SDL_NUM_SCANCODES; scancode++) {
        int code = scancodeToKeyCode(scancode);
        ASSERT_LT(code, int{pKeyboardHandler::KEY_COUNT});
        if (code >= 0)
            map += SDL_GetScancodeName(SDL_Scancode(scancode)) + ("=" + std::to_string(code) + " ");
    }
    EXPECT_EQ(
        map,
        "A=0 B=11 C=8 D=2 E=14 F=3 G=5 H=4 I=34 J=38 K=40 L=37 M=46 N=45 O=31 P=35 Q=12 R=15 S=1 "
        "T=17 U=32 V=9 W=13 X=7 Y=16 Z=6 1=18 2=19 3=20 4=21 5=23 6=22 7=26 8=28 9=25 0=29 "
        "Return=36 Escape=53 Backspace=51 Tab=48 Space=49 -=27 ==24 [=33 ]=30 \\=42 ;=41 '=39 "
        "`=50 ,=43 .=47 /=44 CapsLock=57 F1=122 F2=120 F3=99 F4=118 F5=96 F6=97 F7=98 F8=100 "
        "F9=101 F10=109 F11=103 F12=111 PrintScreen=105 ScrollLock=107 Pause=113 Insert=114 "
        "Home=115 PageUp=116 Delete=117 End=119 PageDown=121 Right=124 Left=123 Down=125 Up=126 "
        "Numlock=71 Keypad /=75 Keypad *=67 Keypad -=78 Keypad +=69 Keypad Enter=76 Keypad 1=83 "
        "Keypad 2=84 Keypad 3=85 Keypad 4=86 Keypad 5=87 Keypad 6=88 Keypad 7=89 Keypad 8=91 "
        "Keypad 9=92 Keypad 0=82 Keypad .=65 =10 Keypad ==81 F13=105 F14=107 F15=113 F16=106 "
        "F17=64 F18=79 F19=80 F20=90 Help=114 Mute=74 VolumeUp=72 VolumeDown=73 Left Ctrl=59 "
        "Left Shift=56 Left Alt=58 Left GUI=55 Right Ctrl=59 Right Shift=56 Right Alt=58 Right "
        "GUI=55 ");
}

// Each event that SDL's becomes as "class kind code modifiers;".
static std::string translated(const SDL_Event& event) {
    std::vector<pEvent> out;
    translateEvent(event, out);
    std::string text;
    for (const pEvent& e : out) {
        char one[80];
        std::snprintf(one, sizeof one, "%s %u %u %x;",
                      e.eventClass == PEVENT_CLASS_KEYBOARD ? "key" : "window", e.kind, e.keyCode,
                      e.modifiers);
        text += one;
    }
    return text;
}
// A key going down (a positive scancode) or up (negative).
static std::string translatedKey(int key, Uint16 mod = 0, Uint8 repeat = 0) {
    SDL_Event event{};
    event.type = key > 0 ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.scancode = SDL_Scancode(std::abs(key));
    event.key.keysym.mod = mod;
    event.key.repeat = repeat;
    return translated(event);
}

// Keys down (positive scancodes) and up (negative) and what each becomes: SDL's own repeats and
// keys with no place are dropped; Command arrives as a modifier mask, never as a key of its own;
// either hand's key holds a modifier; the mask is whole on every change.
TEST(pEventLoop, KeysBecomeRawKeysAndModifierChanges) {
    EXPECT_EQ(translatedKey(SDL_SCANCODE_Z, 0, 1), "") << "SDL's own repeat";
    const std::pair<int, const char*> keys[] = {
        {SDL_SCANCODE_Z, "key 1 6 0;"},           {-SDL_SCANCODE_Z, "key 3 6 0;"},
        {SDL_SCANCODE_APPLICATION, ""},           {SDL_SCANCODE_LGUI, "key 4 0 100;"},
        {SDL_SCANCODE_CAPSLOCK, "key 4 0 500;"},  {SDL_SCANCODE_F, "key 1 3 500;"},
        {-SDL_SCANCODE_CAPSLOCK, "key 4 0 100;"}, {SDL_SCANCODE_LSHIFT, "key 4 0 300;"},
        {SDL_SCANCODE_RSHIFT, "key 4 0 300;"},    {-SDL_SCANCODE_LSHIFT, "key 4 0 300;"},
        {SDL_SCANCODE_RCTRL, "key 4 0 1300;"},    {-SDL_SCANCODE_RSHIFT, "key 4 0 1100;"},
        {-SDL_SCANCODE_RCTRL, "key 4 0 100;"},    {SDL_SCANCODE_RALT, "key 4 0 900;"},
        {-SDL_SCANCODE_RALT, "key 4 0 100;"},     {-SDL_SCANCODE_LGUI, "key 4 0 0;"},
        {SDL_SCANCODE_RGUI, "key 4 0 100;"},      {-SDL_SCANCODE_RGUI, "key 4 0 0;"}};
    bool caps = false;
    for (auto [key, expected] : keys) {
        // SDL reports Caps Lock engaged from its press until it is pressed again.
        caps = std::abs(key) == SDL_SCANCODE_CAPSLOCK ? key > 0 : caps;
        EXPECT_EQ(translatedKey(key, caps ? KMOD_CAPS : 0), expected) << key;
    }
}

// Losing the keyboard to another program, being minimised, or being hidden by the window manager
// puts the game out of the player's sight, and is reported for the shown window; losing the
// keyboard is not for a hidden one. The game's own hiding of its window on the way into full
// screen is not, nor is anything for a window since destroyed.
TEST(pEventLoop, AWindowPutOutOfSightIsReportedUnlessTheGameDidIt) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* shown = SDL_CreateWindow("sight", 0, 0, 64, 64, 0);
    SDL_Window* hidden = SDL_CreateWindow("sight", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    ASSERT_TRUE(shown && hidden) << SDL_GetError();
    ASSERT_EQ(SDL_GetKeyboardFocus(), nullptr) << "no window took the keyboard yet";
    const Uint32 shownId = SDL_GetWindowID(shown), hiddenId = SDL_GetWindowID(hidden);
    // Deactivated (6), with it the window's going out of sight: collapsed (67) or hidden (25).
    std::string seen;
    for (Uint32 window : {shownId, hiddenId})
        for (Uint8 what :
             {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_HIDDEN})
            seen += translated(windowEvent(window, what)) + "|";
    displayShowWindow(shown, false); // as on the way into full screen
    seen += " " + translated(windowEvent(shownId, SDL_WINDOWEVENT_HIDDEN)) + "|";
    displayShowWindow(shown, true);
    seen += translated(windowEvent(shownId, SDL_WINDOWEVENT_HIDDEN)) + "|";
    SDL_DestroyWindow(shown); // as the full-screen window on the way back
    SDL_DestroyWindow(hidden);
    seen += " " + translated(windowEvent(shownId, SDL_WINDOWEVENT_HIDDEN)) + "|" +
            translated(windowEvent(hiddenId, SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_EQ(seen, "window 6 0 0;|window 6 0 0;window 67 0 0;|window 6 0 0;window 25 0 0;||"
                    "window 6 0 0;window 67 0 0;|window 6 0 0;window 25 0 0;| |window 6 0 0;"
                    "window 25 0 0;| |");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

static std::string calls;
static int first(void* next, pEvent* event, void*) {
    calls += "1";
    return callNextEventHandler(next, event);
}
static int second(void*, pEvent*, void*) {
    calls += "2";
    return PEVENT_HANDLED;
}
static int framesLeft = 0;
static void countFrame(void*) {
    if (--framesLeft == 0)
        quitEventLoop();
}

TEST(pEventLoop, LatestHandlerSeesTheEventFirstAndMayPassItOn) {
    const uint32_t testClass = pFourCharCode("test");
    int older = installEventHandler(testClass, {1}, second, nullptr);
    int newer = installEventHandler(testClass, {1, 2}, first, nullptr);
    EXPECT_NE(older, newer);
    // Who saw each event, and whether it was handled.
    auto deliver = [&](uint32_t kind) {
        pEvent event{testClass, kind, 0, 0, 0, 0, 0, 0};
        const int result = deliverEvent(event);
        calls += result == PEVENT_HANDLED ? "+ " : result == PEVENT_NOT_HANDLED ? "- " : "? ";
    };
    calls.clear();
    deliver(1);
    deliver(2); // nobody after the first
    removeEventHandler(newer);
    deliver(1);
    removeEventHandler(older);
    deliver(1);
    EXPECT_EQ(calls, "12+ 1- 2+ - ");
}

// Frames at the given rate, then at the default: every second retrace of the display (60 Hz when
// it tells none), sleeping in between rather than spinning, even when less than a millisecond is
// left to wait.
TEST(pEventLoop, FramesComeAtTheFrameRateWithoutSpinning) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    installFrameTimer(countFrame, nullptr);
    for (auto [rate, frames] : {std::pair{100.0, 7}, {0.0, 7}, {4000.0, 200}}) {
        setFrameRate(rate);
        const double period = 1000.0 / (rate > 0 ? rate : displayRefreshRate() / 2.0);
        framesLeft = frames;
        Uint64 start = SDL_GetTicks64();
        // This thread's time and sleeps only: other tests' threads (sound, drawing) may still be
        // busy. On a busy machine a spinning loop gets less than its share of the CPU, but it
        // never gives the CPU up itself.
        rusage before{}, after{};
        getrusage(RUSAGE_THREAD, &before);
        runEventLoop();
        double wall = static_cast<double>(SDL_GetTicks64() - start);
        getrusage(RUSAGE_THREAD, &after);
        auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
        double cpu =
            ms(after.ru_utime) + ms(after.ru_stime) - ms(before.ru_utime) - ms(before.ru_stime);
        EXPECT_EQ(framesLeft, 0);
        EXPECT_GE(wall, (frames - 1) * period - 5) << rate; // a period between frames
        // Under a millisecond a frame lasts as long as the sleep, which a busy machine stretches.
        EXPECT_TRUE(rate > 1000 || wall < (frames - 1) * period + 400) << rate << ": " << wall;
        EXPECT_LT(cpu, wall / 2) << "it slept";
        EXPECT_GE(after.ru_nvcsw - before.ru_nvcsw, frames / 4) << rate << ": it gave the CPU up";
    }
    installFrameTimer(nullptr, nullptr);
    setFrameRate(0);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// A virtual pad through SDL's own game controller support, as the event loop sees a real one.
// SDL drops a pad's input while windows are open but none has the keyboard (another test's
// window may be open, hidden), unless the game is let hear it in the background.
TEST(Gamepad, AVirtualPadPlugsInPlaysAndLetsGoWhenPulledOut) {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_TRUE(pGamepad::instance()->start() && pGamepad::instance()->start());
    pGamepad::instance()->setGameQuery([] { return true; });
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    keyboard->clear();
    const int handler = installEventHandler(
        PEVENT_CLASS_KEYBOARD, {PEVENT_RAW_KEY_DOWN, PEVENT_RAW_KEY_UP}, keyEvent, keyboard);
    int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                           SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(device));
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device);
    ASSERT_TRUE(pumpUntil([&] { return SDL_JoystickFromInstanceID(id); })) << "not opened";
    SDL_Joystick* joystick = SDL_JoystickFromInstanceID(id);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, 30000);
    EXPECT_TRUE(pumpUntil([&] { return keyboard->keys[PKEY_X] && keyboard->keys[PKEY_RIGHT]; }));
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, SDL_RELEASED);
    EXPECT_TRUE(pumpUntil([&] { return !keyboard->keys[PKEY_X]; }));
    ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0) << SDL_GetError();
    // Pulled out with the stick held.
    EXPECT_TRUE(pumpUntil([&] { return !keyboard->keys[PKEY_RIGHT]; }));
    removeEventHandler(handler);
    pGamepad::instance()->setGameQuery([] { return false; });
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "0");
}
