#pragma once

#include "Input/pKeyboardHandler.h"

#include <map>
#include <string>

// Named actions ("ACTION_MOVELEFT") bound to keys, so game code never names a key itself. Every
// question goes to the keyboard with the bound key and listener 0.
class pActionKeyHandler {
public:
    std::map<std::string, PKEYCODE> actionKeys;
    pKeyboardHandler* keyboard;

    // Made before main() runs; safe to reach from any other start-up code.
    static pActionKeyHandler* instance();

    ~pActionKeyHandler();

    void setActionKey(std::string action, PKEYCODE key);
    // An action never bound is bound to code 0 (the A key) from its first query on.
    bool keyPressed(std::string action);
    bool keyDown(std::string action);
    bool keyUp(std::string action);
    bool keyWasDown(std::string action);
    bool keyWasUp(std::string action);
    bool keyUnpressed(std::string action);

private:
    pActionKeyHandler();
    PKEYCODE keyFor(const std::string& action);
    static pActionKeyHandler* instance_;
};
