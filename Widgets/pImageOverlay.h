#pragma once

#include <string>

class pTexture;

// One picture drawn as a screen-aligned textured rectangle, centred on a point and tinted by a
// colour. The caller sets up the 2-D projection, texturing and blending.
class pImageOverlay {
public:
    explicit pImageOverlay(std::string fileName);
    ~pImageOverlay();
    pImageOverlay(const pImageOverlay&) = delete;
    pImageOverlay& operator=(const pImageOverlay&) = delete;

    // Centre, half extents, colour. Corners are truncated to whole pixels. With blending on,
    // only the part of the rectangle where the picture has any ink is filled: its clear margin
    // would blend to nothing. With blending off the whole rectangle is filled.
    void draw(float x, float y, float w, float h, float r, float g, float b, float a);
    // The picture, then seven larger, drifting, faint copies of it; the drift wobbles with
    // `phase`, which the caller advances over time.
    void drawWithRadialBlur(float x, float y, float w, float h, float r, float g, float b, float a,
                            float phase);
    // The copies alone, for a picture already drawn where draw(x, y, w, h, ...) puts it.
    void drawDriftingCopies(float x, float y, float w, float h, float r, float g, float b,
                            float phase);

    // False when the image failed to load; the overlay then draws nothing.
    bool hasPicture() const { return texture != nullptr; }

private:
    void findInk();

    // Null when the image failed to load; the overlay then draws nothing.
    pTexture* texture;
    // The picture's inked part in texture coordinates (v = 1 is the picture's top), with a margin
    // for the linear filter's reach.
    float inkLeft = 0, inkRight = 1, inkBottom = 0, inkTop = 1;
};
