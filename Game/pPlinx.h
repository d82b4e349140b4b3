#pragma once

#include "File/pPreferencesManager.h"
#include "Game/pHighScoreList.h"
#include "Game/pHighScoreNameEntry.h"
#include "Game/pPuzzle.h"
#include "Game/pTransitionManager.h"

// Stored and passed as integers; a value outside the list runs and draws nothing.
enum GameScreen : int {
    SPLASH_SCREEN = 0,
    BLANK_SCREEN = 1,
    MAIN_GAME = 2,
    HIGH_SCORE_SCREEN = 3,
    HIGH_SCORE_ENTRY_SCREEN = 4,
};

class pImageOverlay;
class pTexture;
class pHorizontalMarquee;

// The game application: owns the board, the preferences, the fades, the high score table and
// the screens' assets, and decides which screen runs. Created on first use, never destroyed.
class pPlinx {
public:
    pPuzzle puzzle;
    bool initialised;
    int viewWidth;
    int viewHeight;
    bool paused;
    // Seconds of all update steps since init; drives the pulsing of menus and the table.
    float totalTime;
    float frameTime;
    pPreferencesManager prefs;
    pTransitionManager transitionManager;
    GameScreen currentScreen;
    short menuBlipSound;
    int fxVolume;
    pImageOverlay* splashOverlay;
    pImageOverlay* logoOverlay;
    pImageOverlay* backgroundOverlay;
    // The title menu and the high score menu (vertical menus) come here.
    unsigned int frameMark;
    unsigned int blankScreenMark;
    // Milliseconds the start-up screen stands.
    float blankScreenDuration;
    pTexture* blockTexture;
    pHighScoreList highScoreList;
    pHighScoreNameEntry nameEntry;
    pHorizontalMarquee* helpMarquee;
    unsigned int marqueeMark;

    static pPlinx* instance();

    pPlinx(const pPlinx&) = delete;
    pPlinx& operator=(const pPlinx&) = delete;

    // One update step and one frame. For now a frame is the full-screen toggle and a cleared
    // screen; start-up and the screens come with the screens.
    void update();
    void draw();
    // Writes the preferences; run at process exit.
    void release();

    // Covers the view with black at opacity `alpha` (the fade's veil, Game/pTransitionManager).
    void drawDarkenScreen(float alpha);

private:
    pPlinx();
    static pPlinx* instance_;
};
