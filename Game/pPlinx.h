#pragma once

#include "File/pPreferencesManager.h"
#include "Game/pHighScoreList.h"
#include "Game/pHighScoreNameEntry.h"
#include "Game/pOptionsScreen.h"
#include "Game/pPuzzle.h"
#include "Game/pTransitionManager.h"
#include "Widgets/pCachedLayer.h"
#include "Widgets/pVerticalMenu.h"

#include <functional>
#include <string>

// Stored and passed as integers; a value outside the list runs and draws nothing.
enum GameScreen : int {
    SPLASH_SCREEN = 0,
    BLANK_SCREEN = 1,
    MAIN_GAME = 2,
    HIGH_SCORE_SCREEN = 3,
    HIGH_SCORE_ENTRY_SCREEN = 4,
    OPTIONS_SCREEN = 5,
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
    // The drawing size, read again at the start of every update step.
    int viewWidth;
    int viewHeight;
    bool paused;
    // Seconds of all update steps since init; drives the pulsing of menus and the table.
    float totalTime;
    // Seconds of the latest update step.
    float frameTime;
    pPreferencesManager prefs;
    pTransitionManager transitionManager;
    GameScreen currentScreen;
    short menuBlipSound;
    int fxVolume;
    pImageOverlay* splashOverlay;
    // Made by the first loading frame.
    pImageOverlay* logoOverlay;
    pImageOverlay* backgroundOverlay;
    pVerticalMenu mainMenu;
    pVerticalMenu highScoreMenu;
    unsigned int frameMark;
    unsigned int blankScreenMark;
    // Milliseconds the start-up screen stands.
    float blankScreenDuration;
    pTexture* blockTexture;
    pHighScoreList highScoreList;
    pHighScoreNameEntry nameEntry;
    pHorizontalMarquee* helpMarquee;
    unsigned int marqueeMark;
    // What init seeds the random numbers with: the time the game was made, unless a recording
    // or its replay set it before the first frame.
    unsigned int randomSeed;
    // The sound volume, full screen, block marks and keys, chosen from the title menu.
    pOptionsScreen optionsScreen;

    static pPlinx* instance();

    pPlinx(const pPlinx&) = delete;
    pPlinx& operator=(const pPlinx&) = delete;

    // Loads everything, drawing six loading frames on the way. Run by the first update.
    void init();
    // One update step; every frame has two (the frame driver's and the one inside draw).
    void update();
    // One frame: an update step, the background, the screen, the fade's veil.
    void draw();
    // Saves the preferences and stops the sound; runs at every normal exit.
    void release();
    // The player switched away: a running game pauses as Escape would pause it.
    void focusLost();
    // 0 while the picture moves (the title, the table, a running game, a fade); on a screen that
    // stands still (a paused game, the name entry, the start-up screen) a digest of all it shows,
    // never 0, so a frame that would draw the same picture again can be left out.
    unsigned long stillPicture() const;

    // The settings saved in prefs.txt: the volume, the block marks and the game keys. Bad
    // values are mended and named on standard output.
    void loadSettings();
    // Whether the player left the game in full screen; asked once, at start-up.
    bool fullScreenSaved();
    // Into full screen or out of it (F11, Command+F, the Options screen), and remembered.
    void toggleFullscreen();
    // The help texts name the keys bound now.
    void updateHelpTexts();
    // The key a gamepad's button plays here (pGamepad::setKeyQuery): in the game the bound key
    // of its action, on the Options screen B goes back, elsewhere A, B and Start are Return.
    int padKey(int gameKey);

    // Draws and presents one loading frame at once.
    void drawLoadingSplash(std::string message);
    void drawBlankScreen();
    void updateSplashScreen();
    void drawSplashScreen();
    void updateMainGame();
    void drawMainGame();
    void updateHighScoreScreen();
    void drawHighScoreScreen();
    void updateHighScoreEntryScreen();
    void drawHighScoreEntryScreen();

    // Covers the view with black at opacity `alpha` (the fade's veil, Game/pTransitionManager).
    void drawDarkenScreen(float alpha);

private:
    pPlinx();
    // The loading frame without presenting it.
    void drawLoadingFrame(const std::string& message);
    // The full path of a shipped file, or "ERROR!" after saying where it was looked for.
    std::string assetPath(const std::string& name);
    pImageOverlay* loadOverlay(const std::string& name);
    // Finds a file the game needs and hands its path to `load`; when the player's copy cannot be
    // loaded, says so and tries the shipped one. Each failure is reported; false when none loaded.
    bool loadAsset(const std::string& name,
                   const std::function<bool(const std::string& path)>& load);
    void reportUnreadable(const std::string& name, const std::string& path);
    // Ends the game here when it was asked to while loading.
    void leaveIfAsked();

    // The score of this game is in the table; set by the first Return on the entry screen and
    // cleared when the next game starts, so a held Return never enters it twice.
    bool scoreEntered;
    // The background as drawn at the view's size, copied into every frame after the first; on
    // the title screen outside fades, with the title image on it (the image stands still there,
    // only its drifting copies move).
    pCachedLayer backgroundLayer_;
    enum { LAYER_BACKGROUND, LAYER_WITH_TITLE };
    bool titleInLayer_ = false;
    // Where the title screen draws its title image, shrunk by `scale`.
    void titlePlace(float scale, float& x, float& y, float& w, float& h) const;
    static pPlinx* instance_;
};
