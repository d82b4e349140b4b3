#include "Game/pPlinx.h"

#include "Image/pBMPLoader.h"
#include "Image/pImage.h"
#include "Image/pTGALoader.h"
#include "Image/pTextureLoader.h"
#include "Input/pActionKeyHandler.h"
#include "Input/pKeyboardHandler.h"
#include "Input/pMouseHandler.h"
#include "Platform/pResourceFolder.h"
#include "Shell/pGame.h"
#include "Shell/pOGLUtil.h"
#include "Sound/slSound.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"
#include "Utils/pTimer.h"
#include "Widgets/pHorizontalMarquee.h"
#include "Widgets/pImageOverlay.h"

#include <GL/gl.h>

#include <algorithm>
#include <malloc.h>
#include <cstdio>
#include <ctime>

namespace {
const double MAX_STEP_SECONDS = 0.25;
} // namespace

pPlinx* pPlinx::instance_ = nullptr;

pPlinx* pPlinx::instance() {
    if (!instance_)
        instance_ = new pPlinx();
    return instance_;
}

// The board comes first, then the preferences (which read prefs.txt), the fades, the menus and
// the high score table (which reads scores.txt), in declaration order.
pPlinx::pPlinx()
    : initialised(false), viewWidth(0), viewHeight(0), paused(false), totalTime(0), frameTime(0),
      currentScreen(BLANK_SCREEN), menuBlipSound(-1), fxVolume(0), splashOverlay(nullptr),
      logoOverlay(nullptr), backgroundOverlay(nullptr), frameMark(0), blankScreenMark(0),
      blankScreenDuration(1200), blockTexture(nullptr), helpMarquee(nullptr), marqueeMark(0),
      randomSeed(static_cast<unsigned>(std::time(nullptr))), scoreEntered(false) {
    pTimer::instance();
}

std::string pPlinx::assetPath(const std::string& name) {
    std::string path = getResourcePath(name);
    if (path == "ERROR!") {
        // The first line is the whole message, which scripts may match; the advice follows.
        std::printf("Error, cannot load %s.\nIt belongs in %s/ (or %s/); going on without it.\n",
                    name.c_str(), resourceFolder().c_str(), userDataFolder().c_str());
        std::fflush(stdout);
    }
    return path;
}

void pPlinx::reportUnreadable(const std::string& name, const std::string& path) {
    if (path == "ERROR!")
        return; // already reported as missing
    std::printf("Error, cannot load %s.\n%s is not a file the game can read; going on without "
                "it.\n",
                name.c_str(), path.c_str());
    std::fflush(stdout);
}

// The overlay keeps its texture to itself, so the picture is read once more to know whether
// the player should hear about it; the shipped pictures are small.
static bool pictureReadable(const std::string& path) {
    pImage picture;
    if (path.find(".bmp") != std::string::npos || path.find(".BMP") != std::string::npos)
        return pBMPLoader::instance()->load(path, &picture);
    return pTGALoader::instance()->load(path, &picture);
}

pImageOverlay* pPlinx::loadOverlay(const std::string& name) {
    std::string path = assetPath(name);
    if (path != "ERROR!" && !pictureReadable(path))
        reportUnreadable(name, path);
    return new pImageOverlay(path);
}

void pPlinx::init() {
    currentScreen = BLANK_SCREEN;
    std::srand(randomSeed);
    pKeyboardHandler::instance()->enableRepeat(250.0, 20.0);

    mainMenu.addChoice("Start Game");
    mainMenu.addChoice("High Scores");
    mainMenu.addChoice("Quit Game");
    highScoreMenu.addChoice("Continue");

    fxVolume = stringToInt(prefs.getPref("fxVolume"));

    std::string fontPath = assetPath("Brisk.tga");
    if (!pTextManager::instance()->loadAndSetFont(fontPath, "Brisk"))
        reportUnreadable("Brisk.tga", fontPath);

    drawLoadingSplash("Awakening Beasts");
    drawLoadingSplash("Getting Fired Up");

    slInit(4);
    if (slLoadSoundFromBundle("", "menublip.mp3", &menuBlipSound) != 0) {
        std::string path = getResourcePath("menublip.mp3");
        if (path == "ERROR!")
            assetPath("menublip.mp3");
        else
            reportUnreadable("menublip.mp3", path);
        menuBlipSound = -1;
    }

    drawLoadingSplash("Bustin' Grooves");
    drawLoadingSplash("Rocking Out");

    splashOverlay = loadOverlay("splash.tga");
    backgroundOverlay = loadOverlay("bg.tga");
    std::string blockPath = assetPath("block.tga");
    blockTexture = pTextureLoader::instance()->loadTexture(blockPath, false, false);
    if (!blockTexture)
        reportUnreadable("block.tga", blockPath);

    drawLoadingSplash("Eating Cheese Toast");
    drawLoadingSplash("Scrambling Eggs");

    pTimer* timer = pTimer::instance();
    frameMark = timer->setMark();
    totalTime = 0;
    blankScreenDuration = 1200;
    currentScreen = BLANK_SCREEN;
    blankScreenMark = timer->setMark();

    pActionKeyHandler* actions = pActionKeyHandler::instance();
    actions->setActionKey("ACTION_MOVELEFT", PKEY_LEFT);
    actions->setActionKey("ACTION_MOVERIGHT", PKEY_RIGHT);
    actions->setActionKey("ACTION_MOVEDOWN", PKEY_DOWN);
    actions->setActionKey("ACTION_ROTCW", PKEY_X);
    actions->setActionKey("ACTION_ROTCCW", PKEY_Z);

    helpMarquee = new pHorizontalMarquee(static_cast<float>(viewWidth / 2),
                                         static_cast<float>(viewHeight - 32), viewWidth * 0.375f,
                                         24.0f, -0.1f, "Brisk");
    helpMarquee->setRandomPlay(false);
    helpMarquee->setContinuousPlay(true);
    helpMarquee->setLoop(true);
    helpMarquee->setMessageGap(150);
    helpMarquee->addMessage("Use the left, right and down keys to move your blocks.");
    helpMarquee->addMessage("Use the Z and X keys to rotate.");
    helpMarquee->addMessage("Press Escape to Pause.");
    helpMarquee->addMessage("Press F11 to toggle full screen.");
    helpMarquee->addMessage(
        "Make 2x2 Blocks of the same color. When the sweeper passes, they will be cleared.");
    helpMarquee->addMessage("Enjoy!");
    helpMarquee->makeReady();

    marqueeMark = timer->setMark();
#ifdef __GLIBC__
    // Decoding the pictures and compiling their drawing left freed memory behind; giving its
    // pages back keeps the game as small as it was before it kept a copy of the background.
    malloc_trim(0);
#endif
}

void pPlinx::update() {
    if (!initialised) {
        init();
        initialised = true;
    }
    pGame* game = pGame::instance();
    viewWidth = game->getViewWidth();
    viewHeight = game->getViewHeight();

    pTimer* timer = pTimer::instance();
    // A process held up (stopped, swapped out, a debugger) picks up where it stood: one step
    // never covers more than a quarter second, so a stall never drops pieces all at once.
    frameTime =
        static_cast<float>(std::min(timer->timeSinceMark(frameMark) / 1000.0, MAX_STEP_SECONDS));
    timer->resetMark(frameMark);
    totalTime += frameTime;

    transitionManager.update();

    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    keyboard->disableRepeat();

    bool commandF = keyboard->keyPressed(PKEY_F, 0) && keyboard->keyDown(PKEY_COMMAND, 0);
    if (commandF || keyboard->keyPressed(PKEY_F11, 0)) {
        if (!game->isFullscreen()) {
            std::printf("key enter\n");
            game->createFullscreenGLContext(0);
        } else {
            std::printf("key exit\n");
            pMouseHandler::instance()->showCursor(0);
            game->exitFullscreen();
        }
        std::fflush(stdout);
        return;
    }

    switch (currentScreen) {
    case SPLASH_SCREEN:
        updateSplashScreen();
        break;
    case BLANK_SCREEN:
        if (timer->timeSinceMark(blankScreenMark) > blankScreenDuration)
            transitionManager.beginTransition(SPLASH_SCREEN);
        break;
    case MAIN_GAME:
        updateMainGame();
        break;
    case HIGH_SCORE_SCREEN:
        updateHighScoreScreen();
        break;
    case HIGH_SCORE_ENTRY_SCREEN:
        updateHighScoreEntryScreen();
        break;
    }
}

void pPlinx::draw() {
    update();
    if (!pGame::instance()->frameWanted(stillPicture()))
        return;
    bool background =
        currentScreen != BLANK_SCREEN && backgroundOverlay && backgroundOverlay->hasPicture();
    pOGLUtil::setOrthographicProjection(viewWidth, viewHeight);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    const bool titleStands = currentScreen == SPLASH_SCREEN && !transitionManager.active &&
                             splashOverlay && splashOverlay->hasPicture();
    const int contents = titleStands ? LAYER_WITH_TITLE : LAYER_BACKGROUND;
    titleInLayer_ = background && titleStands;
    if (background && backgroundLayer_.holds(viewWidth, viewHeight, contents)) {
        // The copy covers the whole view: nothing of the frame before shows through.
        backgroundLayer_.draw();
    } else {
        const float centreX = static_cast<float>(viewWidth / 2);
        const float centreY = static_cast<float>(viewHeight / 2);
        const float halfWidth = viewWidth * 0.8f;
        const float halfHeight = viewHeight * 0.53333336f;
        // Drawn unblended, the background replaces every pixel it covers, clear ones included;
        // when it covers the whole view, clearing first would only cost a full-screen fill.
        bool covered = background && static_cast<int>(centreX - halfWidth) <= 0 &&
                       static_cast<int>(centreY - halfHeight) <= 0 &&
                       static_cast<int>(centreX + halfWidth) >= viewWidth &&
                       static_cast<int>(centreY + halfHeight) >= viewHeight;
        if (!covered)
            glClear(GL_COLOR_BUFFER_BIT);
        if (background) {
            backgroundOverlay->draw(centreX, centreY, halfWidth, halfHeight, 1, 1, 1, 1);
            if (titleStands) {
                // Blended as the title screen draws it (Game/pPlinxScreens.cpp).
                glEnable(GL_BLEND);
                glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
                float x, y, w, h;
                titlePlace(1.0f, x, y, w, h);
                splashOverlay->draw(x, y, w, h, 1, 1, 1, 1);
                glDisable(GL_BLEND);
            }
            backgroundLayer_.capture(viewWidth, viewHeight, contents);
        }
    }

    switch (currentScreen) {
    case SPLASH_SCREEN:
        drawSplashScreen();
        break;
    case BLANK_SCREEN:
        drawBlankScreen();
        break;
    case MAIN_GAME:
        drawMainGame();
        break;
    case HIGH_SCORE_SCREEN:
        drawHighScoreScreen();
        break;
    case HIGH_SCORE_ENTRY_SCREEN:
        drawHighScoreEntryScreen();
        break;
    }

    transitionManager.draw();
}

namespace {
// FNV-1a, over the bytes of whatever the still picture shows.
class Digest {
public:
    template <typename T> void add(const T& value) {
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&value);
        for (size_t i = 0; i < sizeof value; i++)
            value_ = (value_ ^ bytes[i]) * 1099511628211ull;
    }
    void add(const std::string& text) {
        add(text.size());
        for (char c : text)
            add(c);
    }
    unsigned long value() const { return value_ ? value_ : 1; }

private:
    unsigned long value_ = 14695981039346656037ull;
};
} // namespace

unsigned long pPlinx::stillPicture() const {
    bool still = currentScreen == BLANK_SCREEN || currentScreen == HIGH_SCORE_ENTRY_SCREEN ||
                 (currentScreen == MAIN_GAME && paused);
    if (!still || transitionManager.active)
        return 0;
    Digest digest;
    digest.add(currentScreen);
    digest.add(viewWidth);
    digest.add(viewHeight);
    digest.add(paused);
    digest.add(puzzle.score);
    digest.add(puzzle.level);
    digest.add(puzzle.playing);
    digest.add(puzzle.gameOverTime);
    digest.add(puzzle.cells);
    digest.add(puzzle.sweepTime);
    digest.add(puzzle.sweepPeriod);
    digest.add(puzzle.pieceX);
    digest.add(puzzle.pieceY);
    digest.add(puzzle.piece);
    digest.add(puzzle.queue);
    for (const pVector& colour : colorList) {
        digest.add(colour.x);
        digest.add(colour.y);
        digest.add(colour.z);
    }
    digest.add(nameEntry.name);
    return digest.value();
}

void pPlinx::focusLost() {
    // Also while the fade into a new game still shows the title: the board is already running.
    bool intoGame = currentScreen == MAIN_GAME ||
                    (transitionManager.active && transitionManager.toScreen == MAIN_GAME);
    if (intoGame && puzzle.playing)
        paused = true;
}

void pPlinx::release() {
    prefs.writeFile();
    // The mixer thread would otherwise go on reading the sound device's tables while the exit
    // tears them down.
    slExit();
}
