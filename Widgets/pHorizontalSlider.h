#pragma once

class pTexture;

// A horizontal track with a knob the player drags to set a whole number between minValue and
// maxValue. The owner places it with setRect and sets the range and value.
class pHorizontalSlider {
public:
    // Centre and half extents of the track.
    float x, y;
    float halfWidth, halfHeight;
    // Width of the end caps and of the knob.
    float capSize;
    int minValue, maxValue, value;
    // 1 while the knob is held.
    int dragging;
    // The grab area reaches this fraction of the half width beyond each end.
    float grabMargin;
    pTexture* knob;
    pTexture* leftCap;
    pTexture* rightCap;
    pTexture* centre;

    pHorizontalSlider();

    void setRect(float x, float y, float halfWidth, float halfHeight);
    // Where the value puts the knob; the left end when the range is empty.
    float currValXCoord();
    void listenForEventsAndUpdate();
    void draw();

private:
    // An empty range or a track without width has no values to pick.
    bool usable() const;
};
