#pragma once

#include <string>

class pTexture;

// A text label on a rounded plate that can be switched off: an inactive button is drawn faded
// and ignores the pointer.
class pOptionallyActiveButton {
public:
    // 1 when the button can be used.
    int active;
    std::string label;
    // x is the centre; y the baseline the plate is hung from.
    float x, y;
    // Text size of the label.
    float size;
    int highlighted;
    // 1 for the update step in which the button was clicked.
    int clicked;

    pOptionallyActiveButton();

    void getBoxRect(float& left, float& right, float& bottom, float& top);
    float getWidth();
    void listenForEventsAndUpdate();
    void draw(float time);

private:
    pTexture* leftCap;
    pTexture* rightCap;
    pTexture* centre;
};
