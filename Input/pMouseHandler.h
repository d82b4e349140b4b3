#pragma once

#include "Platform/pEvent.h"

enum PBUTTONCODE : int {
    PBUTTON_LEFT = 0,
    PBUTTON_RIGHT = 1,
};

// The pointer's position and movement, the wheel and two buttons, from one frame to the next.
// Every query takes a listener id (0 for code that holds no input lock).
class pMouseHandler {
public:
    static const int BUTTON_COUNT = 2;

    bool buttons[BUTTON_COUNT];
    bool oldButtons[BUTTON_COUNT];
    int lastX;
    int lastY;
    // In a window, relative to the top-left of its content; in full screen, the screen position.
    int x;
    int y;
    // The last wheel movement of this frame.
    int wheelDelta;
    bool cursorHidden;

    static pMouseHandler* instance();

    void init();
    void clear();
    void release();
    void update();

    int getX(unsigned int mutex);
    int getY(unsigned int mutex);
    int getDeltaX(unsigned int mutex);
    int getDeltaY(unsigned int mutex);
    int getDeltaWheel(unsigned int mutex);

    bool buttonDown(PBUTTONCODE b, unsigned int mutex);
    bool buttonUp(PBUTTONCODE b, unsigned int mutex);
    bool buttonWasDown(PBUTTONCODE b, unsigned int mutex);
    bool buttonWasUp(PBUTTONCODE b, unsigned int mutex);
    bool buttonPressed(PBUTTONCODE b, unsigned int mutex);
    bool buttonUnpressed(PBUTTONCODE b, unsigned int mutex);

    void showCursor(unsigned int mutex);
    void hideCursor(unsigned int mutex);

private:
    pMouseHandler();
    static pMouseHandler* instance_;
};

// The mouse callback of the event loop: buttons, movement and the wheel. `handler` is the
// pMouseHandler. The event is passed on first and the rest of the chain's result returned.
int mouseEvent(void* next, pEvent* event, void* handler);
