#pragma once

#include "Widgets/pMarquee.h"
#include "Widgets/pVerticalMarqueeAlignment.h"

#include <string>
#include <vector>

// A marquee whose messages scroll up (negative speed) or down through a box, each placed across
// the box's width by its own alignment and cut off at the box's edges. A message's position is
// the top of its first line.
class pVerticalMarquee : public pMarquee {
public:
    float x;
    float left, right, top, bottom;
    // One per message; messages added without one are centred.
    std::vector<pVerticalMarqueeAlignment> alignments;

    pVerticalMarquee(float x, float y, float halfWidth, float halfHeight, float textSize,
                     float speed, std::string font);

    using pMarquee::addMessage;
    void addMessage(std::string text, pVerticalMarqueeAlignment alignment);
    // Moves the box; messages keep their positions.
    void setRect(float x, float y, float halfWidth, float halfHeight);
    void update(double dt) override;
    void draw() override;

protected:
    double startPosition(unsigned int index) override;
    bool roomAfter(unsigned int index, double position) override;
    bool hasLeft(unsigned int index, double position) override;

private:
    float height(unsigned int index);
    pVerticalMarqueeAlignment alignment(unsigned int index);
};
