#include "Platform/pEventLoop.h"

#include "Platform/pKeyTranslation.h"

#include <SDL.h>

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

std::map<std::pair<uint32_t, uint32_t>, Installed> handlers;
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

// SDL measures the pointer in window units; the game draws in drawable pixels (more on HiDPI).
void toDrawable(uint32_t windowID, int x, int y, pEvent& event) {
    SDL_Window* window = SDL_GetWindowFromID(windowID);
    int width = 0, height = 0, drawableWidth = 0, drawableHeight = 0;
    if (window) {
        SDL_GetWindowSize(window, &width, &height);
        SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    }
    if (width > 0 && height > 0 && drawableWidth > 0 && drawableHeight > 0) {
        x = static_cast<int>(static_cast<long long>(x) * drawableWidth / width);
        y = static_cast<int>(static_cast<long long>(y) * drawableHeight / height);
    }
    event.x = static_cast<int16_t>(std::clamp(x, -32768, 32767));
    event.y = static_cast<int16_t>(std::clamp(y, -32768, 32767));
}

uint16_t macButton(uint8_t button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return 1;
    case SDL_BUTTON_RIGHT:
        return 2;
    case SDL_BUTTON_MIDDLE:
        return 3;
    default:
        return button; // the extra buttons keep their own numbers beyond the three
    }
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
    for (uint32_t kind : kinds)
        handlers[{eventClass, kind}] = Installed{ref, handler, userData};
    return ref;
}

void removeEventHandler(int ref) {
    std::erase_if(handlers, [ref](const auto& entry) { return entry.second.ref == ref; });
}

int callNextEventHandler(void*, pEvent*) {
    return EVENT_NOT_HANDLED;
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

void runEventLoop() {
    running = true;
    if (frameRate <= 0) {
        SDL_DisplayMode mode;
        bool known = SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0;
        frameRate = known ? mode.refresh_rate : 60;
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

int deliverEvent(pEvent& event) {
    auto found = handlers.find({event.eventClass, event.kind});
    if (found == handlers.end())
        return EVENT_NOT_HANDLED;
    return found->second.handler(nullptr, &event, found->second.userData);
}

void translateEvent(const SDL_Event& event, std::vector<pEvent>& out) {
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
            pEvent changed = makeEvent(EVENT_CLASS_KEYBOARD, KEY_MODIFIERS_CHANGED);
            changed.modifiers = modifierKeys.mask((event.key.keysym.mod & KMOD_CAPS) != 0);
            out.push_back(changed);
            return;
        }
        int code = scancodeToKeyCode(scancode);
        if (code < 0)
            return;
        pEvent key = makeEvent(EVENT_CLASS_KEYBOARD, down ? KEY_RAW_DOWN : KEY_RAW_UP);
        key.keyCode = static_cast<uint32_t>(code);
        key.modifiers = modifierKeys.mask((event.key.keysym.mod & KMOD_CAPS) != 0);
        out.push_back(key);
        return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        pEvent button =
            makeEvent(EVENT_CLASS_MOUSE, event.type == SDL_MOUSEBUTTONDOWN ? MOUSE_DOWN : MOUSE_UP);
        button.mouseButton = macButton(event.button.button);
        toDrawable(event.button.windowID, event.button.x, event.button.y, button);
        out.push_back(button);
        return;
    }
    case SDL_MOUSEMOTION: {
        pEvent motion =
            makeEvent(EVENT_CLASS_MOUSE, event.motion.state ? MOUSE_DRAGGED : MOUSE_MOVED);
        toDrawable(event.motion.windowID, event.motion.x, event.motion.y, motion);
        out.push_back(motion);
        return;
    }
    case SDL_MOUSEWHEEL: {
        if (event.wheel.y == 0)
            return; // the horizontal wheel is not tracked
        pEvent wheel = makeEvent(EVENT_CLASS_MOUSE, MOUSE_WHEEL_MOVED);
        int direction = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
        wheel.wheelDelta = event.wheel.y * direction;
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        toDrawable(event.wheel.windowID, x, y, wheel);
        out.push_back(wheel);
        return;
    }
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MOVED:
            out.push_back(makeEvent(EVENT_CLASS_WINDOW, WINDOW_BOUNDS_CHANGED));
            return;
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_RESTORED:
            out.push_back(makeEvent(EVENT_CLASS_WINDOW, WINDOW_ZOOMED));
            return;
        case SDL_WINDOWEVENT_CLOSE:
            out.push_back(makeEvent(EVENT_CLASS_WINDOW, WINDOW_CLOSE));
            return;
        default:
            return;
        }
    case SDL_QUIT:
        // A close request from outside (the session ending, an interrupt) ends the game like
        // closing its window.
        out.push_back(makeEvent(EVENT_CLASS_WINDOW, WINDOW_CLOSE));
        return;
    default:
        return;
    }
}
