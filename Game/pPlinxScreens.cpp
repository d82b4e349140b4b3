// The application's screens: loading frames, title, main game and the two high score screens.
#include "Game/pPlinx.h"

#include "Input/pActionKeyHandler.h"
#include "Input/pKeyboardHandler.h"
#include "Shell/pGame.h"
#include "Shell/pOGLUtil.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"
#include "Utils/pTimer.h"
#include "Widgets/pHorizontalMarquee.h"
#include "Widgets/pImageOverlay.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>

// Texturing and alpha blending, as every screen's text and pictures want them.
static void enableBlendedTextures() {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// The title image shrinks to half size at the black middle of a fade.
static float fadeScale(const pTransitionManager& fade) {
    return fade.active ? (1 - fade.darkness) * 0.5f + 0.5f : 1.0f;
}

void pPlinx::drawLoadingFrame(const std::string& message) {
    pGame* game = pGame::instance();
    viewWidth = game->getViewWidth();
    viewHeight = game->getViewHeight();
    glClear(GL_COLOR_BUFFER_BIT);
    pOGLUtil::setOrthographicProjection(viewWidth, viewHeight);
    if (!logoOverlay)
        logoOverlay = loadOverlay("tallowbrook.tga");
    enableBlendedTextures();
    glColor4f(1, 1, 1, 1);
    pTextManager::instance()->drawStringCentered(message + "...", static_cast<float>(viewWidth / 2),
                                                 static_cast<float>(viewHeight / 2 + 64), 18);
    logoOverlay->draw(static_cast<float>(viewWidth / 2), static_cast<float>(viewHeight / 2),
                      static_cast<float>(viewWidth / 6), static_cast<float>(viewWidth / 48), 1, 1,
                      1, 1);
}

void pPlinx::drawLoadingSplash(std::string message) {
    drawLoadingFrame(message);
    pGame::instance()->swapBuffer();
    leaveIfAsked();
}

// The frame driver presents this frame (with the fade's veil over it), so it is drawn without a
// swap of its own: two presentations per frame would show an undefined back buffer every other
// time.
void pPlinx::drawBlankScreen() {
    drawLoadingFrame("Illuminating");
}

void pPlinx::updateSplashScreen() {
    mainMenu.x = static_cast<float>(viewWidth / 2);
    mainMenu.y = static_cast<float>(viewHeight / 2 - 16);
    mainMenu.fontSize = std::min(viewWidth / 12.0f, viewHeight / 16.0f);
    mainMenu.listenForEventsAndUpdate();
    std::string choice = mainMenu.getConfirmedChoice();

    pTimer* timer = pTimer::instance();
    float dt = static_cast<float>(timer->timeSinceMark(marqueeMark));
    timer->resetMark(marqueeMark);
    helpMarquee->setRect(static_cast<float>(viewWidth / 2), static_cast<float>(viewHeight - 32),
                         viewWidth * 0.375f);
    helpMarquee->update(dt);

    if (choice == "Start Game") {
        puzzle.initGame();
        scoreEntered = false;
        transitionManager.beginTransition(MAIN_GAME);
    } else if (choice == "High Scores") {
        transitionManager.beginTransition(HIGH_SCORE_SCREEN);
    } else if (choice == "Options" && !transitionManager.active) {
        optionsScreen.enter();
        transitionManager.beginTransition(OPTIONS_SCREEN);
    } else if (choice == "Quit Game") {
        std::exit(0);
    }
}

void pPlinx::titlePlace(float s, float& x, float& y, float& w, float& h) const {
    x = static_cast<float>(viewWidth / 2);
    y = viewHeight * 0.3f;
    w = viewWidth * s / 3;
    h = viewWidth * s / 12;
}

void pPlinx::drawSplashScreen() {
    enableBlendedTextures();
    if (splashOverlay) {
        float x, y, w, h;
        titlePlace(fadeScale(transitionManager), x, y, w, h);
        // Outside fades the image itself is in the background's copy (pPlinx::draw).
        if (titleInLayer_)
            splashOverlay->drawDriftingCopies(x, y, w, h, 1, 1, 1, totalTime * 4);
        else
            splashOverlay->drawWithRadialBlur(x, y, w, h, 1, 1, 1, 1, totalTime * 4);
    }
    mainMenu.draw(totalTime);
    helpMarquee->draw();
}

void pPlinx::updateMainGame() {
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    if (keyboard->keyPressed(PKEY_ESCAPE, 0) && puzzle.playing)
        paused = !paused;
    if (paused)
        return;

    keyboard->enableRepeat(250.0, 20.0);
    puzzle.update(frameTime);
    if (!puzzle.playing)
        return;

    pActionKeyHandler* actions = pActionKeyHandler::instance();
    if (actions->keyPressed("ACTION_MOVELEFT"))
        puzzle.goLeft();
    if (actions->keyPressed("ACTION_MOVERIGHT"))
        puzzle.goRight();
    puzzle.disableDown();
    if (actions->keyPressed("ACTION_MOVEDOWN"))
        puzzle.enableDown();
    keyboard->disableRepeat();
    if (actions->keyPressed("ACTION_ROTCW"))
        puzzle.turnCW();
    if (actions->keyPressed("ACTION_ROTCCW"))
        puzzle.turnCCW();
}

void pPlinx::drawMainGame() {
    puzzle.render();
    enableBlendedTextures();
    pOGLUtil::setOrthographicProjection(viewWidth, viewHeight);
    pTextManager* text = pTextManager::instance();
    text->setCurrentFont("Brisk");
    glColor4f(1, 1, 1, 1);
    text->drawString("Score : " + intToString(puzzle.score), 32, 32, 32);
    text->drawStringFromRight("Level : " + intToString(puzzle.level + 1),
                              static_cast<float>(viewWidth - 32), 32, 32);
    if (paused) {
        text->drawStringCentered("Paused", static_cast<float>(viewWidth / 2),
                                 static_cast<float>(viewHeight / 2), 32);
    }
    float s = fadeScale(transitionManager);
    if (splashOverlay) {
        splashOverlay->draw(static_cast<float>(viewWidth / 2), viewHeight / 6.0f, viewWidth * s / 3,
                            viewWidth * s / 12, 1, 1, 1, 1);
    }
}

void pPlinx::updateHighScoreScreen() {
    highScoreMenu.x = static_cast<float>(viewWidth / 2);
    highScoreMenu.y = static_cast<float>(viewHeight - 32);
    highScoreMenu.fontSize = 24.0f;
    highScoreMenu.listenForEventsAndUpdate();
    if (highScoreMenu.getConfirmedChoice() == "Continue")
        transitionManager.beginTransition(SPLASH_SCREEN);
}

void pPlinx::drawHighScoreScreen() {
    enableBlendedTextures();
    glColor4f(1, 1, 1, 1);
    pTextManager::instance()->drawStringCentered("High Scores", static_cast<float>(viewWidth / 2),
                                                 48, 36);
    highScoreList.draw(viewWidth, viewHeight, 20, (viewHeight / 480.0f) * 85, totalTime);
    // Standard output is not where a player looks. Without the game's font nothing can say it.
    if (highScoreList.lastSaveFailed() && pTextManager::instance()->setCurrentFont("Brisk")) {
        const float scale = viewHeight / 480.0f;
        glColor4f(1, 0.55f, 0.5f, 1);
        pTextManager::instance()->drawStringCentered("Your score could not be saved.",
                                                     static_cast<float>(viewWidth / 2), scale * 419,
                                                     scale * 13);
    }
    highScoreMenu.draw(totalTime);
}

void pPlinx::updateHighScoreEntryScreen() {
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    keyboard->enableRepeat(250.0, 20.0);
    // Once the score is in, the name stays as saved and only the fade away is still asked for:
    // the request repeats until a fade still running from the way in has ended.
    if (!scoreEntered) {
        nameEntry.listenForEventsAndUpdate();
        if (!keyboard->keyPressed(PKEY_RETURN, 0))
            return;
        highScoreList.insertScore(nameEntry.getName(), puzzle.score);
        scoreEntered = true;
    }
    transitionManager.beginTransition(HIGH_SCORE_SCREEN);
}

void pPlinx::drawHighScoreEntryScreen() {
    enableBlendedTextures();
    glColor4f(1, 1, 1, 1);
    pTextManager* text = pTextManager::instance();
    text->drawStringCentered("You Got A High Score!", static_cast<float>(viewWidth / 2), 48, 36);
    text->drawStringCentered("Press Return To Continue", static_cast<float>(viewWidth / 2),
                             static_cast<float>(viewHeight - 32), 24);
    nameEntry.draw(viewWidth, viewHeight);
}
