#include "Widgets/pVerticalMarquee.h"

#include "Text/pTextManager.h"

pVerticalMarquee::pVerticalMarquee(float x, float y, float halfWidth, float halfHeight,
                                   float textSize, float speed, std::string font)
    : pMarquee(textSize, speed, std::move(font)), x(x), left(x - halfWidth), right(x + halfWidth),
      top(y - halfHeight), bottom(y + halfHeight) {}

void pVerticalMarquee::addMessage(std::string text, pVerticalMarqueeAlignment alignment) {
    alignments.resize(messages.size(), PMARQUEE_ALIGN_CENTER);
    alignments.push_back(alignment);
    pMarquee::addMessage(std::move(text));
}

void pVerticalMarquee::setRect(float x, float y, float halfWidth, float halfHeight) {
    this->x = x;
    left = x - halfWidth;
    right = x + halfWidth;
    top = y - halfHeight;
    bottom = y + halfHeight;
}

void pVerticalMarquee::update(double dt) {
    scroll(dt);
}

void pVerticalMarquee::draw() {
    if (finished)
        return;
    pTextManager* text = pTextManager::instance();
    text->setCurrentFont(font);
    for (const auto& [index, position] : active) {
        const std::string& message = messages[index].first;
        // The text is placed by its first baseline, one text height below the message's top.
        const float baseline = static_cast<float>(position) + textSize;
        switch (alignment(index)) {
        case PMARQUEE_ALIGN_LEFT:
            text->drawString(message, left, baseline, textSize, left, right, top, bottom);
            break;
        case PMARQUEE_ALIGN_RIGHT:
            text->drawStringFromRight(message, right, baseline, textSize, left, right, top, bottom);
            break;
        default:
            text->drawStringCentered(message, x, baseline, textSize, left, right, top, bottom);
            break;
        }
    }
}

float pVerticalMarquee::height(unsigned int index) {
    return pTextManager::instance()->getStringHeight(messages[index].first, textSize);
}

pVerticalMarqueeAlignment pVerticalMarquee::alignment(unsigned int index) {
    return index < alignments.size() ? alignments[index] : PMARQUEE_ALIGN_CENTER;
}

double pVerticalMarquee::startPosition(unsigned int index) {
    return speed < 0 ? bottom : top - height(index);
}

bool pVerticalMarquee::roomAfter(unsigned int index, double position) {
    if (speed < 0)
        return position + height(index) + messageGap < bottom;
    return position > top + messageGap;
}

bool pVerticalMarquee::hasLeft(unsigned int index, double position) {
    if (speed < 0)
        return position + height(index) < top;
    return position > bottom;
}
