#include "Game/pHighScoreNameEntry.h"

#include "Input/pKeyboardHandler.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"

#include <GL/gl.h>

void pHighScoreNameEntry::listenForEventsAndUpdate() {
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    // With the entry screen's key repeat, a held Backspace keeps deleting.
    if (keyboard->keyPressed(PKEY_BACKSPACE, 0) && !name.empty())
        name.pop_back();
    pKeyIterator keys = keyboard->getKeyIterator(0);
    while (keys.hasMoreDownEvents()) {
        PKEYCODE code = keys.getNextDown().code;
        char ch = keyboard->keycodeToPrintable(code);
        if (ch == 0)
            continue;
        if (keyboard->keyDown(PKEY_SHIFT, 0))
            ch = shiftChar(ch);
        addCharToName(ch);
    }
}

void pHighScoreNameEntry::draw(int width, int height) {
    pTextManager* text = pTextManager::instance();
    glColor4f(1, 1, 1, 1);
    text->drawStringCentered("Enter Name:", width / 2, height / 2 - 32, 24);
    text->drawStringCentered(name, width / 2, height / 2, 24);
}
