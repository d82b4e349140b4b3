#pragma once

#include <string>

class pImageOverlay;

// A picture the player clicks. It lights up once the pointer has moved over it.
class pImageButton {
public:
    // Centre and half extents, set by the owner.
    float x, y, halfWidth, halfHeight;
    int highlighted;
    int hovered;
    // 1 for the update step in which the button was clicked.
    int clicked;

    // The picture is a resource name ("play.tga").
    explicit pImageButton(std::string imageName);
    ~pImageButton();
    pImageButton(const pImageButton&) = delete;
    pImageButton& operator=(const pImageButton&) = delete;

    void getBoxRect(float& left, float& right, float& bottom, float& top);
    void listenForEventsAndUpdate();
    void draw(float time);

private:
    pImageOverlay* overlay;

    bool contains(float px, float py);
};
