#pragma once

#include "Platform/pEvent.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

union SDL_Event;

// The game's event source: SDL's events become the game's window-system events (pEvent), delivered
// on the main thread between frames to the handler installed for their class and kind. Then one
// frame runs. Frames are paced to the display: where the buffer swap does not wait for the retrace,
// the loop sleeps instead, so an idle game never spins a core.

using pFrameCallback = void (*)(void* userData);

// Installs `handler` for each (eventClass, kind), ahead of those installed before it (it decides
// whether to pass an event on). Returns a reference for removeEventHandler.
int installEventHandler(uint32_t eventClass, std::initializer_list<uint32_t> kinds,
                        pEventHandler handler, void* userData);
void removeEventHandler(int ref);

// The frame to run after each round of events; one at a time.
int installFrameTimer(pFrameCallback frame, void* userData);

// Runs events and frames until quitEventLoop.
void runEventLoop();
void quitEventLoop();
// Whether the game was asked to end (a termination signal, the session ending) and the request
// waits in the queue: for work that runs long between frames. The request stays queued.
bool quitRequested();
// Frames per second the loop keeps to when swaps do not wait (the display's rate, else 60).
void setFrameRate(double framesPerSecond);

// The events one SDL event stands for, appended to `out` (none for events the game ignores).
// A gamepad's buttons and stick come as keys (Platform/pGamepad).
// Mouse positions are the window's content origin on the screen plus the position in the window
// in drawable pixels (more than the window's own units on HiDPI screens): the mouse handler takes
// the origin off again and is left with the pixels the game draws in.
void translateEvent(const SDL_Event& event, std::vector<pEvent>& out);
// Hands an event to its handlers; PEVENT_NOT_HANDLED when none is installed.
int deliverEvent(pEvent& event);
// Shown every event before its handlers (an input recording); null for none.
void setEventTap(void (*tap)(const pEvent& event));
