#include "Widgets/pVerticalMenu.h"
#include "Widgets/pWidgetKit.h"

#include "Input/pKeyboardHandler.h"
#include "Input/pMouseHandler.h"
#include "Text/pTextManager.h"

#include <GL/gl.h>
#include <cmath>

namespace {
const float ROW_SPACING = 1.75f;
}

pVerticalMenu::pVerticalMenu()
    : x(0), y(0), fontSize(0), currChoice(0), confirmed(false), mouseOver(false) {}

void pVerticalMenu::addChoice(std::string choice) {
    choices.push_back(std::move(choice));
}

float pVerticalMenu::rowTop(int i) const {
    return y - fontSize + i * ROW_SPACING * fontSize;
}

void pVerticalMenu::listenForEventsAndUpdate() {
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    pMouseHandler* mouse = pMouseHandler::instance();
    const int n = static_cast<int>(choices.size());

    // With no entries there is nothing to move to; the keys are still read so that their
    // repeat clocks run as for any other reader.
    if (keyboard->keyPressed(PKEY_UP, 0) && n > 0) {
        if (n > 1)
            playMenuBlip();
        currChoice = currChoice <= 0 ? n - 1 : currChoice - 1;
    }
    if (keyboard->keyPressed(PKEY_DOWN, 0) && n > 0) {
        if (n > 1)
            playMenuBlip();
        currChoice = currChoice >= n - 1 ? 0 : currChoice + 1;
    }

    const float mx = static_cast<float>(mouse->getX(0));
    const float my = static_cast<float>(mouse->getY(0));
    const bool moved = mouse->getDeltaX(0) != 0 || mouse->getDeltaY(0) != 0;
    pTextManager* text = pTextManager::instance();
    mouseOver = false;
    for (int i = 0; i < n; i++) {
        const float halfWidth = text->getStringWidth(choices[i], fontSize) / 2;
        const float top = rowTop(i);
        if (mx > x - halfWidth && mx < x + halfWidth && my > top && my < top + fontSize) {
            // A pointer resting over an entry leaves the keyboard's highlight alone.
            if (moved)
                currChoice = i;
            mouseOver = true;
            break;
        }
    }

    // A click counts only over an entry; elsewhere it does nothing.
    const bool click = mouseOver && mouse->buttonPressed(PBUTTON_LEFT, 0);
    if (click || keyboard->keyPressed(PKEY_RETURN, 0) || keyboard->keyPressed(PKEY_SPACE, 0)) {
        playMenuBlip();
        confirmed = true;
    }
}

std::string pVerticalMenu::getConfirmedChoice() {
    if (!confirmed)
        return "nothing_confirmed";
    confirmed = false;
    if (currChoice < 0 || currChoice >= static_cast<int>(choices.size()))
        return "nothing_confirmed";
    return choices[currChoice];
}

std::string pVerticalMenu::getCurrChoice() {
    if (currChoice < 0 || currChoice >= static_cast<int>(choices.size()))
        return "";
    return choices[currChoice];
}

void pVerticalMenu::draw(float time) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    pTextManager* text = pTextManager::instance();
    const int n = static_cast<int>(choices.size());
    // All entries breathe together by 5 %, one slow cycle about every 21 seconds.
    const float breathing = fontSize + fontSize * 0.05f * static_cast<float>(cos(time * 0.3));
    for (int i = 0; i < n; i++) {
        float size = breathing;
        if (i == currChoice && (n > 1 || mouseOver))
            size += fontSize * 0.15f;
        glColor4f(1, 1, 1, 1);
        text->drawStringCentered(choices[i], x, y + i * ROW_SPACING * fontSize, size);
    }
}
