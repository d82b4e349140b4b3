#include "Platform/pEventLoop.h"

#include "Platform/pDisplay.h"
#include "Platform/pGamepad.h"
#include "Platform/pKeyTranslation.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace {

struct Installed {
    int ref;
    pEventHandler handler;
    void* userData;
};

// Per class and kind, the latest installed first: the order an event travels the chain.
std::map<std::pair<uint32_t, uint32_t>, std::vector<Installed>> handlers;
int lastRef = 0;
pFrameCallback frameCallback = nullptr;
void* frameUserData = nullptr;
bool running = false;
double frameRate = 0;
pModifierKeys modifierKeys;

pEvent makeEvent(uint32_t eventClass, uint32_t kind) {
    pEvent event{};
    event.eventClass = eventClass;
    event.kind = kind;
    return event;
}

// SDL measures the pointer in window units from the window's corner; the game draws in drawable
// pixels (more of them on HiDPI) and its mouse handler takes the window's origin off itself.
void toScreen(uint32_t windowID, int x, int y, pEvent& event) {
    SDL_Window* window = SDL_GetWindowFromID(windowID);
    int left = 0, top = 0, width = 0, height = 0, drawableWidth = 0, drawableHeight = 0;
    if (window) {
        SDL_GetWindowPosition(window, &left, &top);
        SDL_GetWindowSize(window, &width, &height);
        SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    }
    if (width > 0 && height > 0 && drawableWidth > 0 && drawableHeight > 0) {
        x = static_cast<int>(static_cast<long long>(x) * drawableWidth / width);
        y = static_cast<int>(static_cast<long long>(y) * drawableHeight / height);
    }
    x += left;
    y += top;
    event.x = static_cast<int16_t>(std::clamp(x, -32768, 32767));
    event.y = static_cast<int16_t>(std::clamp(y, -32768, 32767));
}

uint16_t macButton(uint8_t button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return PMOUSE_BUTTON_PRIMARY;
    case SDL_BUTTON_RIGHT:
        return PMOUSE_BUTTON_SECONDARY;
    case SDL_BUTTON_MIDDLE:
        return PMOUSE_BUTTON_TERTIARY;
    default:
        return button; // the extra buttons keep their own numbers beyond the three
    }
}

// Switching to or from full screen hides the window or destroys the full-screen one, and the focus
// moves between the game's own windows: only a shown window losing the keyboard to nobody of ours
// means the player went elsewhere.
bool lostToAnotherProgram(uint32_t windowID) {
    SDL_Window* window = SDL_GetWindowFromID(windowID);
    if (!window || (SDL_GetWindowFlags(window) & SDL_WINDOW_HIDDEN))
        return false;
    return SDL_GetKeyboardFocus() == nullptr;
}

// Minimised, or hidden by the window manager: the player cannot see the game. The game hides
// its window itself for full screen and destroys the full-screen one on the way back; neither
// counts.
bool putAwayByThePlayer(uint32_t windowID) {
    SDL_Window* window = SDL_GetWindowFromID(windowID);
    return window && !displayHiddenByGame(window);
}

double nowMilliseconds() {
    return SDL_GetPerformanceCounter() * 1000.0 / SDL_GetPerformanceFrequency();
}

// Handles whatever arrives until `deadline`, sleeping in between.
void handleEventsUntil(double deadline) {
    for (;;) {
        SDL_Event event;
        double remaining = deadline - nowMilliseconds();
        bool got = remaining > 0
                       ? SDL_WaitEventTimeout(&event, static_cast<int>(std::ceil(remaining)))
                       : SDL_PollEvent(&event);
        if (!got) {
            if (remaining <= 0 || nowMilliseconds() >= deadline)
                return;
            continue;
        }
        std::vector<pEvent> events;
        translateEvent(event, events);
        for (pEvent& translated : events)
            deliverEvent(translated);
        if (!running)
            return;
    }
}

} // namespace

int installEventHandler(uint32_t eventClass, std::initializer_list<uint32_t> kinds,
                        pEventHandler handler, void* userData) {
    int ref = ++lastRef;
    for (uint32_t kind : kinds) {
        std::vector<Installed>& chain = handlers[{eventClass, kind}];
        chain.insert(chain.begin(), Installed{ref, handler, userData});
    }
    return ref;
}

void removeEventHandler(int ref) {
    for (auto& entry : handlers)
        std::erase_if(entry.second,
                      [ref](const Installed& installed) { return installed.ref == ref; });
}

int installFrameTimer(pFrameCallback frame, void* userData) {
    frameCallback = frame;
    frameUserData = userData;
    return ++lastRef;
}

void setFrameRate(double framesPerSecond) {
    frameRate = framesPerSecond;
}

void quitEventLoop() {
    running = false;
}

bool quitRequested() {
    if (!SDL_WasInit(SDL_INIT_EVENTS))
        return false;
    // SDL's signal handler only notes the signal; pumping turns it into the queued event.
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0;
}

void runEventLoop() {
    running = true;
    if (frameRate <= 0) {
        SDL_DisplayMode mode;
        bool known = SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0;
        // The game swaps on every second retrace (swap interval 2); where the swap does not
        // wait, the loop keeps that pace itself.
        frameRate = (known ? mode.refresh_rate : 60) / 2.0;
    }
    double nextFrame = nowMilliseconds();
    while (running) {
        handleEventsUntil(nextFrame);
        if (!running)
            break;
        if (frameCallback)
            frameCallback(frameUserData);
        // A swap that waited for the retrace has used up the frame's time; one that did not
        // leaves the rest of the period to sleep through.
        double period = 1000.0 / frameRate;
        nextFrame += period;
        double now = nowMilliseconds();
        if (nextFrame < now)
            nextFrame = now;
    }
}

namespace {
void (*eventTap)(const pEvent&) = nullptr;
}

void setEventTap(void (*tap)(const pEvent& event)) {
    eventTap = tap;
}

int deliverEvent(pEvent& event) {
    if (eventTap)
        eventTap(event);
    auto found = handlers.find({event.eventClass, event.kind});
    if (found == handlers.end() || found->second.empty())
        return PEVENT_NOT_HANDLED;
    // A copy, so a handler that installs or removes handlers does not pull the chain from under
    // the event.
    std::vector<Installed> chain = found->second;
    std::vector<pEventHandlerCall> calls(chain.size());
    for (size_t i = 0; i < chain.size(); i++)
        calls[i] = pEventHandlerCall{chain[i].handler, chain[i].userData,
                                     i + 1 < chain.size() ? &calls[i + 1] : nullptr};
    return callNextEventHandler(&calls[0], &event);
}

void translateEvent(const SDL_Event& event, std::vector<pEvent>& out) {
    if (pGamepad::instance()->translate(event, out))
        return;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        bool down = event.type == SDL_KEYDOWN;
        // The game times its own key repeats.
        if (event.key.repeat)
            return;
        int scancode = event.key.keysym.scancode;
        if (isModifierScancode(scancode)) {
            modifierKeys.set(scancode, down);
            pEvent changed = makeEvent(PEVENT_CLASS_KEYBOARD, PEVENT_MODIFIERS_CHANGED);
            changed.modifiers = modifierKeys.mask((event.key.keysym.mod & KMOD_CAPS) != 0);
            out.push_back(changed);
            return;
        }
        int code = scancodeToKeyCode(scancode);
        if (code < 0)
            return;
        pEvent key =
            makeEvent(PEVENT_CLASS_KEYBOARD, down ? PEVENT_RAW_KEY_DOWN : PEVENT_RAW_KEY_UP);
        key.keyCode = static_cast<uint32_t>(code);
        key.modifiers = modifierKeys.mask((event.key.keysym.mod & KMOD_CAPS) != 0);
        out.push_back(key);
        return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        pEvent button =
            makeEvent(PEVENT_CLASS_MOUSE,
                      event.type == SDL_MOUSEBUTTONDOWN ? PEVENT_MOUSE_DOWN : PEVENT_MOUSE_UP);
        button.mouseButton = macButton(event.button.button);
        toScreen(event.button.windowID, event.button.x, event.button.y, button);
        out.push_back(button);
        return;
    }
    case SDL_MOUSEMOTION: {
        pEvent motion = makeEvent(PEVENT_CLASS_MOUSE,
                                  event.motion.state ? PEVENT_MOUSE_DRAGGED : PEVENT_MOUSE_MOVED);
        toScreen(event.motion.windowID, event.motion.x, event.motion.y, motion);
        out.push_back(motion);
        return;
    }
    case SDL_MOUSEWHEEL: {
        if (event.wheel.y == 0)
            return; // the horizontal wheel is not tracked
        pEvent wheel = makeEvent(PEVENT_CLASS_MOUSE, PEVENT_MOUSE_WHEEL_MOVED);
        int direction = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
        wheel.wheelDelta = event.wheel.y * direction;
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        toScreen(event.wheel.windowID, x, y, wheel);
        out.push_back(wheel);
        return;
    }
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MOVED:
            out.push_back(makeEvent(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_BOUNDS_CHANGED));
            return;
        case SDL_WINDOWEVENT_MAXIMIZED:
            out.push_back(makeEvent(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_ZOOMED));
            return;
        case SDL_WINDOWEVENT_RESTORED:
            out.push_back(makeEvent(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_ZOOMED));
            out.push_back(makeEvent(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_EXPANDED));
            return;
        case SDL_WINDOWEVENT_SHOWN:
            out.push_back(makeEvent(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_SHOWN));
            return;
        case SDL_WINDOWEVENT_EXPOSED:
            out.push_back(makeEvent(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_UPDATE));
            return;
        case SDL_WINDOWEVENT_CLOSE:
            out.push_back(makeEvent(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_CLOSE));
            return;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (lostToAnotherProgram(event.window.windowID))
                out.push_back(makeEvent(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_DEACTIVATED));
            return;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            if (putAwayByThePlayer(event.window.windowID)) {
                out.push_back(makeEvent(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_DEACTIVATED));
                out.push_back(
                    makeEvent(PEVENT_CLASS_WINDOW, event.window.event == SDL_WINDOWEVENT_MINIMIZED
                                                       ? PEVENT_WINDOW_COLLAPSED
                                                       : PEVENT_WINDOW_HIDDEN));
            }
            return;
        default:
            return;
        }
    case SDL_SYSWMEVENT: {
        // SDL passes on what it has no event of its own for; covering is one
        // (displayWatchCovering).
        const SDL_SysWMmsg* message = event.syswm.msg;
        if (message && message->subsystem == SDL_SYSWM_X11 &&
            message->msg.x11.event.type == VisibilityNotify) {
            bool covered = message->msg.x11.event.xvisibility.state == VisibilityFullyObscured;
            out.push_back(makeEvent(PEVENT_CLASS_WINDOW,
                                    covered ? PEVENT_WINDOW_COVERED : PEVENT_WINDOW_UNCOVERED));
        }
        return;
    }
    case SDL_QUIT:
        // A close request from outside (the session ending, an interrupt) ends the game like
        // closing its window.
        out.push_back(makeEvent(PEVENT_CLASS_WINDOW, PEVENT_WINDOW_CLOSE));
        return;
    default:
        return;
    }
}
