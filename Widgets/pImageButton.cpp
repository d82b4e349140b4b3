#include "Widgets/pImageButton.h"

#include "Input/pMouseHandler.h"
#include "Widgets/pImageOverlay.h"
#include "Widgets/pWidgetKit.h"
#include "Utils/pStringUtils.h"

#include <GL/gl.h>

pImageButton::pImageButton(std::string imageName)
    : x(0), y(0), halfWidth(0), halfHeight(0), highlighted(0), hovered(0), clicked(0),
      overlay(new pImageOverlay(getResourcePath(imageName))) {}

pImageButton::~pImageButton() {
    delete overlay;
}

void pImageButton::getBoxRect(float& left, float& right, float& bottom, float& top) {
    left = x - halfWidth;
    right = x + halfWidth;
    bottom = y - halfHeight;
    top = y + halfHeight;
}

bool pImageButton::contains(float px, float py) {
    float left, right, bottom, top;
    getBoxRect(left, right, bottom, top);
    return px > left && px < right && py > bottom && py < top;
}

void pImageButton::listenForEventsAndUpdate() {
    pMouseHandler* mouse = pMouseHandler::instance();
    clicked = 0;
    const bool inside =
        contains(static_cast<float>(mouse->getX(0)), static_cast<float>(mouse->getY(0)));
    if (inside && mouse->getDeltaX(0) != 0 && mouse->getDeltaY(0) != 0) {
        hovered = 1;
        highlighted = 1;
    }
    if (inside && highlighted && mouse->buttonPressed(PBUTTON_LEFT, 0)) {
        playMenuBlip();
        clicked = 1;
    }
}

void pImageButton::draw(float) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    overlay->draw(x, y, halfWidth, halfHeight, 1, 1, 1, highlighted ? 1.0f : 0.5f);
    glBindTexture(GL_TEXTURE_2D, 0);
}
