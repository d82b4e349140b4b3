#include "Widgets/pHorizontalSlider.h"

#include "Input/pMouseHandler.h"
#include "Widgets/pWidgetKit.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

pHorizontalSlider::pHorizontalSlider()
    : x(0), y(0), halfWidth(0), halfHeight(0), capSize(0), minValue(0), maxValue(0), value(0),
      dragging(0), grabMargin(0.15f), knob(loadWidgetTexture("slider_button.tga")),
      leftCap(loadWidgetTexture("slider_left.tga")),
      rightCap(loadWidgetTexture("slider_right.tga")),
      centre(loadWidgetTexture("slider_center.tga")) {}

void pHorizontalSlider::setRect(float x, float y, float halfWidth, float halfHeight) {
    this->x = x;
    this->y = y;
    this->halfWidth = halfWidth;
    this->halfHeight = halfHeight;
    capSize = 2 * halfHeight;
}

bool pHorizontalSlider::usable() const {
    return maxValue > minValue && halfWidth > 0 && std::isfinite(x) && std::isfinite(halfWidth);
}

float pHorizontalSlider::currValXCoord() {
    if (!usable())
        return x - halfWidth;
    const double fraction = (double(value) - minValue) / (double(maxValue) - minValue);
    return static_cast<float>((x - halfWidth) + 2 * halfWidth * fraction);
}

void pHorizontalSlider::listenForEventsAndUpdate() {
    if (!usable()) {
        dragging = 0;
        return;
    }
    pMouseHandler* mouse = pMouseHandler::instance();
    const int mx = mouse->getX(0);
    const int my = mouse->getY(0);
    if (!dragging && mouse->buttonPressed(PBUTTON_LEFT, 0)) {
        const float reach = halfWidth * (grabMargin + 1);
        if (mx > std::trunc(x - reach) && mx < std::trunc(x + reach) &&
            my > std::trunc(y - halfHeight) && my < std::trunc(y + halfHeight))
            dragging = 1;
    }
    if (dragging) {
        const double range = double(maxValue) - minValue;
        const double picked =
            (mx - std::trunc(x - halfWidth)) * range / (2.0 * halfWidth) + 0.5 + minValue;
        // Rounded down rather than toward zero, so ranges below zero round like the rest; and
        // clamped before it becomes an int, so a pointer far off the track cannot overflow.
        value =
            static_cast<int>(std::clamp(std::floor(picked), double(minValue), double(maxValue)));
        if (mouse->buttonUnpressed(PBUTTON_LEFT, 0))
            dragging = 0;
    }
}

void pHorizontalSlider::draw() {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    const float half = capSize / 2;
    const float left = x - halfWidth, right = x + halfWidth;
    const float top = y - halfHeight, bottom = y + halfHeight;
    drawTexturedRect(leftCap, left - half, top, left + half, bottom);
    drawTexturedRect(centre, left + half, top, right - half, bottom);
    drawTexturedRect(rightCap, right - half, top, right + half, bottom);

    float knobX = currValXCoord();
    if (dragging) {
        const float mouseX = static_cast<float>(pMouseHandler::instance()->getX(0));
        knobX = std::clamp(mouseX, std::trunc(left), std::max(std::trunc(left), std::trunc(right)));
    }
    drawTexturedRect(knob, knobX - half, top, knobX + half, bottom);
    glBindTexture(GL_TEXTURE_2D, 0);
}
