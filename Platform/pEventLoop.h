#pragma once

#include "Platform/pEvent.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

union SDL_Event;

// The game's event source: SDL's events become window-system events (keyboard 'keyb', mouse
// 'mous', window 'wind', with their kind numbers), delivered on the main thread between frames to
// the handler installed for their class and kind. Then one frame runs. Frames are paced to the
// display: where the buffer swap does not wait for the retrace, the loop sleeps instead, so an
// idle game never spins a core.

using pEventHandler = int (*)(void* next, pEvent* event, void* userData);
using pFrameCallback = void (*)(void* userData);

constexpr uint32_t EVENT_CLASS_KEYBOARD = 0x6b657962; // 'keyb'
constexpr uint32_t EVENT_CLASS_MOUSE = 0x6d6f7573;    // 'mous'
constexpr uint32_t EVENT_CLASS_WINDOW = 0x77696e64;   // 'wind'

constexpr uint32_t KEY_RAW_DOWN = 1;
constexpr uint32_t KEY_RAW_UP = 3;
constexpr uint32_t KEY_MODIFIERS_CHANGED = 4;
constexpr uint32_t MOUSE_DOWN = 1;
constexpr uint32_t MOUSE_UP = 2;
constexpr uint32_t MOUSE_MOVED = 5;
constexpr uint32_t MOUSE_DRAGGED = 6;
constexpr uint32_t MOUSE_WHEEL_MOVED = 10;
constexpr uint32_t WINDOW_BOUNDS_CHANGED = 27;
constexpr uint32_t WINDOW_CLOSE = 72;
constexpr uint32_t WINDOW_ZOOMED = 76;

constexpr int EVENT_HANDLED = 0;
constexpr int EVENT_NOT_HANDLED = -9874;

// Installs `handler` for each (eventClass, kind); it replaces any handler of the same pair.
// Returns a reference for removeEventHandler.
int installEventHandler(uint32_t eventClass, std::initializer_list<uint32_t> kinds,
                        pEventHandler handler, void* userData);
void removeEventHandler(int ref);
// There is one handler per event; passing an event on reaches no one.
int callNextEventHandler(void* next, pEvent* event);

// The frame to run after each round of events; one at a time.
int installFrameTimer(pFrameCallback frame, void* userData);

// Runs events and frames until quitEventLoop.
void runEventLoop();
void quitEventLoop();
// Frames per second the loop keeps to when swaps do not wait (the display's rate, else 60).
void setFrameRate(double framesPerSecond);

// The events one SDL event stands for, appended to `out` (none for events the game ignores).
// Mouse positions are in drawable pixels from the top left of the window (full screen: of the
// screen, which the full-screen window covers).
void translateEvent(const SDL_Event& event, std::vector<pEvent>& out);
// Hands an event to its handler; EVENT_NOT_HANDLED when none is installed.
int deliverEvent(pEvent& event);
