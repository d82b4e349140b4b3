#include "Widgets/pHorizontalMarquee.h"

#include "Shell/pGame.h"
#include "Text/pTextManager.h"

pHorizontalMarquee::pHorizontalMarquee(float x, float y, float halfWidth, float textSize,
                                       float speed, std::string font)
    : pMarquee(textSize, speed, std::move(font)), y(y), left(x - halfWidth), right(x + halfWidth) {}

void pHorizontalMarquee::setRect(float x, float y, float halfWidth) {
    left = x - halfWidth;
    right = x + halfWidth;
    this->y = y;
}

void pHorizontalMarquee::update(double dt) {
    scroll(dt);
}

void pHorizontalMarquee::draw() {
    if (finished)
        return;
    pTextManager* text = pTextManager::instance();
    text->setCurrentFont(font);
    const float bottom = static_cast<float>(pGame::instance()->getViewHeight());
    for (const auto& message : active)
        text->drawString(messages[message.first].first, static_cast<float>(message.second), y,
                         textSize, left, right, 0.0f, bottom);
}

float pHorizontalMarquee::width(unsigned int index) {
    return pTextManager::instance()->getStringWidth(messages[index].first, textSize);
}

double pHorizontalMarquee::startPosition(unsigned int index) {
    return speed < 0 ? right : left - width(index);
}

bool pHorizontalMarquee::roomAfter(unsigned int index, double position) {
    if (speed < 0)
        return position + width(index) + messageGap < right;
    // Moving right the next message enters with its right end at `left`, so the gap is
    // measured from there, as it is from `right` when moving left.
    return position > left + messageGap;
}

bool pHorizontalMarquee::hasLeft(unsigned int index, double position) {
    if (speed < 0)
        return position + width(index) < left;
    return position > right;
}
