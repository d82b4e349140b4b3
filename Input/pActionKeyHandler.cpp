#include "Input/pActionKeyHandler.h"

// Zero before any start-up code runs; whichever comes first, this initialiser or another
// translation unit's call of instance(), makes the one handler.
pActionKeyHandler* pActionKeyHandler::instance_ = pActionKeyHandler::instance();

pActionKeyHandler* pActionKeyHandler::instance() {
    if (!instance_)
        instance_ = new pActionKeyHandler();
    return instance_;
}

pActionKeyHandler::pActionKeyHandler() : keyboard(pKeyboardHandler::instance()) {}

pActionKeyHandler::~pActionKeyHandler() {
    actionKeys.clear();
}

void pActionKeyHandler::setActionKey(std::string action, PKEYCODE key) {
    actionKeys[action] = key;
}

PKEYCODE pActionKeyHandler::keyFor(const std::string& action) {
    return actionKeys.try_emplace(action, PKEYCODE(0)).first->second;
}

bool pActionKeyHandler::keyPressed(std::string action) {
    return keyboard->keyPressed(keyFor(action), 0);
}

bool pActionKeyHandler::keyDown(std::string action) {
    return keyboard->keyDown(keyFor(action), 0);
}

bool pActionKeyHandler::keyUp(std::string action) {
    return keyboard->keyUp(keyFor(action), 0);
}

bool pActionKeyHandler::keyWasDown(std::string action) {
    return keyboard->keyWasDown(keyFor(action), 0);
}

bool pActionKeyHandler::keyWasUp(std::string action) {
    return keyboard->keyWasUp(keyFor(action), 0);
}

bool pActionKeyHandler::keyUnpressed(std::string action) {
    return keyboard->keyUnpressed(keyFor(action), 0);
}
