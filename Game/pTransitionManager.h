#pragma once

// The application's screens, defined with pPlinx; its members include this class.
enum GameScreen : int;

// The fade through black between two screens: the screen changes at the darkest point.
class pTransitionManager {
public:
    bool active;
    // Opacity of the veil, 0 clear to 1 black; worked out when the veil is drawn.
    float darkness;
    GameScreen toScreen;
    unsigned int mark;
    // The whole fade, in milliseconds.
    float duration;

    pTransitionManager();
    // Ignored while a fade runs, so the first request wins.
    void beginTransition(GameScreen target);
    // Switches the screen once past the middle of the fade and ends it after `duration`.
    void update();
    // Works out `darkness` from the time since the fade began and draws the veil over the frame.
    void draw();
};
