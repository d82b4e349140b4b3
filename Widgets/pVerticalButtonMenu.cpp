#include "Widgets/pVerticalButtonMenu.h"

#include "Input/pKeyboardHandler.h"
#include "Input/pMouseHandler.h"
#include "Widgets/pWidgetKit.h"

namespace {
const float ROW_STEP = 1.75f;
} // namespace

pVerticalButtonMenu::pVerticalButtonMenu() : x(0), y(0), size(0), current(0), confirmed(0) {}

void pVerticalButtonMenu::addChoice(std::string label) {
    pOptionallyActiveButton button;
    button.label = std::move(label);
    button.active = 1;
    buttons.push_back(std::move(button));
}

void pVerticalButtonMenu::setActiveFlag(const std::string& label, int flag) {
    for (pOptionallyActiveButton& button : buttons)
        if (button.label == label)
            button.active = flag;
}

void pVerticalButtonMenu::setActive(std::string label) {
    setActiveFlag(label, 1);
}

void pVerticalButtonMenu::setInactive(std::string label) {
    setActiveFlag(label, 0);
}

bool pVerticalButtonMenu::isActive(int i) const {
    return i >= 0 && i < static_cast<int>(buttons.size()) && buttons[i].active;
}

std::string pVerticalButtonMenu::getCurrChoice() {
    if (current < 0 || current >= static_cast<int>(buttons.size()))
        return "";
    return buttons[current].label;
}

std::string pVerticalButtonMenu::getConfirmedChoice() {
    if (!confirmed)
        return "nothing_confirmed";
    confirmed = 0;
    return getCurrChoice();
}

void pVerticalButtonMenu::placeButtons() {
    for (size_t i = 0; i < buttons.size(); i++) {
        buttons[i].size = size;
        buttons[i].x = x;
        buttons[i].y = i * ROW_STEP * size + y;
    }
}

int pVerticalButtonMenu::nextActive(int step) const {
    const int n = static_cast<int>(buttons.size());
    for (int k = 1; k < n; k++) {
        const int candidate = ((current + step * k) % n + n) % n;
        if (isActive(candidate))
            return candidate;
    }
    return current;
}

void pVerticalButtonMenu::listenForEventsAndUpdate() {
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    pMouseHandler* mouse = pMouseHandler::instance();
    const int n = static_cast<int>(buttons.size());
    // The keys are read even without buttons, so their repeat clocks run as for any reader.
    const bool up = keyboard->keyPressed(PKEY_UP, 0);
    const bool down = keyboard->keyPressed(PKEY_DOWN, 0);
    const bool confirmKey =
        keyboard->keyPressed(PKEY_RETURN, 0) || keyboard->keyPressed(PKEY_SPACE, 0);
    if (n == 0)
        return;
    placeButtons();

    if (up) {
        playMenuBlip();
        if (current == 0) {
            for (int i = n - 1; i >= 0; i--)
                if (isActive(i)) {
                    current = i;
                    break;
                }
        } else {
            current = nextActive(-1);
        }
    }
    if (down) {
        playMenuBlip();
        if (current == n - 1) {
            for (int i = 0; i < n; i++)
                if (isActive(i)) {
                    current = i;
                    break;
                }
        } else {
            current = nextActive(1);
        }
    }

    const float mx = static_cast<float>(mouse->getX(0));
    const float my = static_cast<float>(mouse->getY(0));
    const bool moved = mouse->getDeltaX(0) != 0 || mouse->getDeltaY(0) != 0;
    bool pointedAtCurrent = false;
    for (int i = 0; i < n; i++) {
        const float half = buttons[i].getWidth() / 2;
        const float top = (y - size) + i * ROW_STEP * size;
        if (mx > x - half && mx < x + half && my > top && my < top + size) {
            if (moved && buttons[i].active)
                current = i;
            pointedAtCurrent = buttons[i].active && current == i;
            break;
        }
    }

    for (pOptionallyActiveButton& button : buttons)
        button.highlighted = 0;
    if (current >= 0 && current < n)
        buttons[current].highlighted = 1;

    // An inactive button cannot be chosen, from the keyboard either.
    const bool clicked = pointedAtCurrent && mouse->buttonPressed(PBUTTON_LEFT, 0);
    if (clicked || (confirmKey && isActive(current))) {
        playMenuBlip();
        confirmed = 1;
    }
}

void pVerticalButtonMenu::draw(float time) {
    placeButtons();
    for (pOptionallyActiveButton& button : buttons)
        button.draw(time);
}
