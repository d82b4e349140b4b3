#include "Input/pMouseHandler.h"

#include "Input/pInputManager.h"
#include "Platform/pCursor.h"
#include "Shell/pGame.h"

namespace {

bool validButton(PBUTTONCODE b) {
    return b >= 0 && b < pMouseHandler::BUTTON_COUNT;
}

bool served(unsigned int mutex) {
    return pInputManager::instance()->validMutex(mutex);
}

} // namespace

pMouseHandler* pMouseHandler::instance_ = nullptr;

pMouseHandler* pMouseHandler::instance() {
    if (!instance_)
        instance_ = new pMouseHandler();
    return instance_;
}

// Everything starts at rest rather than unset, so a read before init() is harmless.
pMouseHandler::pMouseHandler()
    : buttons{}, oldButtons{}, lastX(0), lastY(0), x(0), y(0), wheelDelta(0), cursorHidden(false) {}

void pMouseHandler::init() {
    cursorHidden = false;
    clear();
}

void pMouseHandler::clear() {
    for (int b = 0; b < BUTTON_COUNT; b++) {
        buttons[b] = false;
        oldButtons[b] = false;
    }
    lastX = 0;
    lastY = 0;
}

void pMouseHandler::release() {}

void pMouseHandler::update() {
    lastX = getX(0);
    lastY = getY(0);
    for (int b = 0; b < BUTTON_COUNT; b++)
        oldButtons[b] = buttons[b];
    wheelDelta = 0;
}

int pMouseHandler::getX(unsigned int mutex) {
    return served(mutex) ? x : 0;
}

int pMouseHandler::getY(unsigned int mutex) {
    return served(mutex) ? y : 0;
}

int pMouseHandler::getDeltaX(unsigned int mutex) {
    return served(mutex) ? getX(0) - lastX : 0;
}

int pMouseHandler::getDeltaY(unsigned int mutex) {
    return served(mutex) ? getY(0) - lastY : 0;
}

int pMouseHandler::getDeltaWheel(unsigned int mutex) {
    return served(mutex) ? wheelDelta : 0;
}

bool pMouseHandler::buttonDown(PBUTTONCODE b, unsigned int mutex) {
    return validButton(b) && served(mutex) && buttons[b];
}

bool pMouseHandler::buttonUp(PBUTTONCODE b, unsigned int mutex) {
    return !buttonDown(b, mutex);
}

bool pMouseHandler::buttonWasDown(PBUTTONCODE b, unsigned int mutex) {
    return validButton(b) && served(mutex) && oldButtons[b];
}

bool pMouseHandler::buttonWasUp(PBUTTONCODE b, unsigned int mutex) {
    return !buttonWasDown(b, mutex);
}

bool pMouseHandler::buttonPressed(PBUTTONCODE b, unsigned int mutex) {
    return served(mutex) && buttonDown(b, 0) && buttonWasUp(b, 0);
}

bool pMouseHandler::buttonUnpressed(PBUTTONCODE b, unsigned int mutex) {
    return served(mutex) && buttonUp(b, 0) && buttonWasDown(b, 0);
}

void pMouseHandler::showCursor(unsigned int mutex) {
    if (!cursorHidden || !served(mutex))
        return;
    platformShowCursor(true);
    cursorHidden = false;
}

void pMouseHandler::hideCursor(unsigned int mutex) {
    if (cursorHidden || !served(mutex))
        return;
    platformShowCursor(false);
    cursorHidden = true;
}

int mouseEvent(void* next, pEvent* event, void* userData) {
    if (!event)
        return PEVENT_NOT_HANDLED;
    int result = callNextEventHandler(next, event);
    pMouseHandler* handler = static_cast<pMouseHandler*>(userData);
    if (!handler || event->eventClass != PEVENT_CLASS_MOUSE)
        return result;
    switch (event->kind) {
    case PEVENT_MOUSE_DOWN:
    case PEVENT_MOUSE_UP: {
        bool down = event->kind == PEVENT_MOUSE_DOWN;
        if (event->mouseButton == PMOUSE_BUTTON_PRIMARY)
            handler->buttons[PBUTTON_LEFT] = down;
        else if (event->mouseButton == PMOUSE_BUTTON_SECONDARY)
            handler->buttons[PBUTTON_RIGHT] = down;
        break;
    }
    case PEVENT_MOUSE_MOVED:
    case PEVENT_MOUSE_DRAGGED: {
        int left = 0, top = 0;
        pGame* game = pGame::instance();
        bool fullscreen = game && game->isFullscreen();
        if (!fullscreen && !platformWindowContentOrigin(left, top))
            left = top = 0;
        handler->x = event->x - left;
        handler->y = event->y - top;
        break;
    }
    case PEVENT_MOUSE_WHEEL_MOVED:
        handler->wheelDelta = event->wheelDelta;
        break;
    default:
        break;
    }
    return result;
}
