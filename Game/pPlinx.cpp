#include "Game/pPlinx.h"

#include "Game/pGameKeys.h"
#include "Image/pTextureLoader.h"
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
#include <cstdlib>
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
        std::string userFolder = userDataFolder();
        std::string orThere = userFolder.empty() ? "" : " (or " + userFolder + "/)";
        std::printf("Error, cannot load %s.\nIt belongs in %s/%s; going on without it.\n",
                    name.c_str(), resourceFolder().c_str(), orThere.c_str());
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

bool pPlinx::loadAsset(const std::string& name,
                       const std::function<bool(const std::string& path)>& load) {
    std::string path = assetPath(name);
    if (path == "ERROR!")
        return false;
    bool loaded = load(path);
    // A bad copy in the player's folder stands in front of the good one the game came with.
    std::string shipped = findShippedResource(name);
    if (!loaded && !shipped.empty() && shipped != path) {
        std::printf("Error, cannot load %s.\n%s is not a file the game can read; using the copy "
                    "the game came with, %s.\n",
                    name.c_str(), path.c_str(), shipped.c_str());
        std::fflush(stdout);
        path = shipped;
        loaded = load(path);
    }
    if (!loaded)
        reportUnreadable(name, path);
    leaveIfAsked();
    return loaded;
}

void pPlinx::leaveIfAsked() {
    // Loading runs between frames, where the event loop cannot see a request to end the game.
    if (pGame::instance()->quitRequested())
        std::exit(0);
}

pImageOverlay* pPlinx::loadOverlay(const std::string& name) {
    pImageOverlay* overlay = nullptr;
    loadAsset(name, [&overlay](const std::string& path) {
        delete overlay;
        overlay = new pImageOverlay(path);
        return overlay->hasPicture();
    });
    // Without a picture the overlay draws nothing, which is what the screens want then.
    return overlay ? overlay : new pImageOverlay("");
}

void pPlinx::init() {
    currentScreen = BLANK_SCREEN;
    std::srand(randomSeed);
    pKeyboardHandler::instance()->enableRepeat(250.0, 20.0);

    mainMenu.addChoice("Start Game");
    mainMenu.addChoice("High Scores");
    mainMenu.addChoice("Options");
    mainMenu.addChoice("Quit Game");
    highScoreMenu.addChoice("Continue");

    loadSettings();

    loadAsset("Brisk.tga", [](const std::string& path) {
        return pTextManager::instance()->loadAndSetFont(path, "Brisk");
    });

    drawLoadingSplash("Awakening Beasts");
    drawLoadingSplash("Getting Fired Up");

    slInit(4);
    loadAsset("menublip.mp3", [this](const std::string& path) {
        // The sub-folder "." is the resource folder itself: the shipped copy.
        const char* folder = path == findShippedResource("menublip.mp3") ? "." : "";
        // A file without any sound in it loads as a sound that never plays: as bad as any.
        bool loaded = slLoadSoundFromBundle(folder, "menublip.mp3", &menuBlipSound) == 0 &&
                      slGetSoundDuration(menuBlipSound) > 0;
        if (!loaded)
            menuBlipSound = -1;
        return loaded;
    });

    drawLoadingSplash("Bustin' Grooves");
    drawLoadingSplash("Rocking Out");

    splashOverlay = loadOverlay("splash.tga");
    backgroundOverlay = loadOverlay("bg.tga");
    loadAsset("block.tga", [this](const std::string& path) {
        blockTexture = pTextureLoader::instance()->loadTexture(path, false, false);
        return blockTexture != nullptr;
    });

    drawLoadingSplash("Eating Cheese Toast");
    drawLoadingSplash("Scrambling Eggs");

    pTimer* timer = pTimer::instance();
    frameMark = timer->setMark();
    totalTime = 0;
    blankScreenDuration = 1200;
    currentScreen = BLANK_SCREEN;
    blankScreenMark = timer->setMark();

    helpMarquee = new pHorizontalMarquee(static_cast<float>(viewWidth / 2),
                                         static_cast<float>(viewHeight - 32), viewWidth * 0.375f,
                                         24.0f, -0.1f, "Brisk");
    helpMarquee->setRandomPlay(false);
    helpMarquee->setContinuousPlay(true);
    helpMarquee->setLoop(true);
    helpMarquee->setMessageGap(150);
    helpMarquee->addMessage(pGameKeys::moveHelp());
    helpMarquee->addMessage(pGameKeys::rotateHelp());
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
        toggleFullscreen();
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
    case OPTIONS_SCREEN:
        optionsScreen.update();
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
    case OPTIONS_SCREEN:
        optionsScreen.draw(totalTime);
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

static std::string zeroOrOne(int value) {
    return value == 0 || value == 1 ? "" : "is not 0 or 1";
}

void pPlinx::loadSettings() {
    // A volume of the sound library: 0 is silent, 256 full.
    fxVolume = prefs.getIntPref("fxVolume", 0, 256, 256);
    puzzle.blockMarks = prefs.getCheckedIntPref("blockMarks", 0, zeroOrOne) == 1;
    pGameKeys::load(prefs);
    updateHelpTexts();
}

bool pPlinx::fullScreenSaved() {
    return prefs.getCheckedIntPref("fullScreen", 0, zeroOrOne) == 1;
}

void pPlinx::toggleFullscreen() {
    pGame* game = pGame::instance();
    if (!game->isFullscreen()) {
        std::printf("key enter\n");
        game->createFullscreenGLContext(0);
    } else {
        std::printf("key exit\n");
        pMouseHandler::instance()->showCursor(0);
        game->exitFullscreen();
    }
    std::fflush(stdout);
    // What the screen became: a full screen that could not be made is not remembered.
    prefs.storePref("fullScreen", game->isFullscreen() ? "1" : "0");
    prefs.writeFile();
}

void pPlinx::updateHelpTexts() {
    // The first two messages name the keys; they change in place, wherever they are scrolling.
    if (!helpMarquee || helpMarquee->messages.size() < 2)
        return;
    helpMarquee->messages[0].first = pGameKeys::moveHelp();
    helpMarquee->messages[1].first = pGameKeys::rotateHelp();
}

int pPlinx::padKey(int gameKey) {
    const bool sideKey = gameKey == PKEY_X || gameKey == PKEY_Z || gameKey == PKEY_ESCAPE;
    switch (currentScreen) {
    case MAIN_GAME:
        for (int i = 0; i < pGameKeys::COUNT; i++)
            if (pGameKeys::ACTIONS[i].defaultKey == gameKey)
                return pGameKeys::boundKey(i);
        return gameKey;
    case OPTIONS_SCREEN:
        if (gameKey == PKEY_Z)
            return PKEY_ESCAPE;
        return sideKey ? PKEY_RETURN : gameKey;
    default:
        return sideKey ? PKEY_RETURN : gameKey;
    }
}
