#pragma once

#include "Widgets/pMarquee.h"

#include <string>

// A marquee whose messages scroll sideways along one baseline, cut off at the ends of the band.
class pHorizontalMarquee : public pMarquee {
public:
    float y;
    float left;
    float right;

    pHorizontalMarquee(float x, float y, float halfWidth, float textSize, float speed,
                       std::string font);

    // Moves the band; messages keep their positions.
    void setRect(float x, float y, float halfWidth);
    void update(double dt) override;
    void draw() override;

protected:
    double startPosition(unsigned int index) override;
    bool roomAfter(unsigned int index, double position) override;
    bool hasLeft(unsigned int index, double position) override;

private:
    float width(unsigned int index);
};
