#include "Widgets/pOptionallyActiveButton.h"

#include "Input/pMouseHandler.h"
#include "Text/pTextManager.h"
#include "Widgets/pWidgetKit.h"

#include <GL/gl.h>
#include <cmath>

namespace {
// The label's font, and the one put back after it; either may be missing, and then the text
// manager keeps whatever font is current.
const char* const LABEL_FONT = "Euphemia";
const char* const RESTORED_FONT = "FreakyNewRoman";
} // namespace

pOptionallyActiveButton::pOptionallyActiveButton()
    : active(0), x(0), y(0), size(0), highlighted(0), clicked(0),
      leftCap(loadWidgetTexture("button_left.tga")),
      rightCap(loadWidgetTexture("button_right.tga")),
      centre(loadWidgetTexture("button_center.tga")) {}

void pOptionallyActiveButton::getBoxRect(float& left, float& right, float& bottom, float& top) {
    pTextManager* text = pTextManager::instance();
    text->setCurrentFont(LABEL_FONT);
    const float w = text->getStringWidth(label, size);
    text->setCurrentFont(RESTORED_FONT);
    left = x - w;
    right = x + w;
    bottom = y - size - 4;
    top = y + 4;
}

float pOptionallyActiveButton::getWidth() {
    float left, right, bottom, top;
    getBoxRect(left, right, bottom, top);
    return right - left;
}

void pOptionallyActiveButton::listenForEventsAndUpdate() {
    clicked = 0;
    highlighted = 0;
    if (!active)
        return;
    pMouseHandler* mouse = pMouseHandler::instance();
    const float mx = static_cast<float>(mouse->getX(0));
    const float my = static_cast<float>(mouse->getY(0));
    float left, right, bottom, top;
    getBoxRect(left, right, bottom, top);
    if (mx > left && mx < right && my > bottom && my < top)
        highlighted = 1;
    if (highlighted && mouse->buttonPressed(PBUTTON_LEFT, 0)) {
        playMenuBlip();
        clicked = 1;
    }
}

void pOptionallyActiveButton::draw(float) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, active ? 1.0f : 0.5f);
    float left, right, bottom, top;
    getBoxRect(left, right, bottom, top);
    const float h = std::trunc(top - bottom);
    drawTexturedRect(leftCap, left, bottom, left + h, top);
    drawTexturedRect(centre, left + h, bottom, right - h, top);
    drawTexturedRect(rightCap, right - h, bottom, right, top);
    glBindTexture(GL_TEXTURE_2D, 0);

    const float g = !active ? 0.5f : highlighted ? 1.0f : 0.8f;
    glColor4f(g, g, g, g);
    pTextManager* text = pTextManager::instance();
    text->setCurrentFont(LABEL_FONT);
    text->drawStringCentered(label, x, y - size / 10 - 6, size);
    text->setCurrentFont(RESTORED_FONT);
}
