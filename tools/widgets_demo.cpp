// A window with the widget kit in it, to try them by hand: the key configuration panel, the
// slider, the button menu, an image button and a vertical marquee. Not part of the game.
//   ./plinx_widgets [seconds]   (runs until closed, Escape, or the given number of seconds)
#include "Input/pInputManager.h"
#include "Input/pKeyConfigInterface.h"
#include "Input/pKeyboardHandler.h"
#include "Shell/pGame.h"
#include "Shell/pGlobalGLContext.h"
#include "Shell/pOGLUtil.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"
#include "Utils/pTimer.h"
#include "Widgets/pHorizontalSlider.h"
#include "Widgets/pImageButton.h"
#include "Widgets/pVerticalButtonMenu.h"
#include "Widgets/pVerticalMarquee.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Demo {
    pKeyConfigInterface panel;
    pHorizontalSlider slider;
    pVerticalButtonMenu menu;
    pImageButton picture{"block.tga"};
    pVerticalMarquee credits{0, 0, 1, 1, 14, -0.03f, "Brisk"};
    std::string lastChoice = "none";
    int pictureClicks = 0;
    unsigned int clock = pTimer::instance()->setMark();
    unsigned int frame = pTimer::instance()->setMark();
    double runFor = 0;
};

Demo* demo = nullptr;

float seconds() {
    return static_cast<float>(pTimer::instance()->timeSinceMark(demo->clock) / 1000.0);
}

void layout() {
    const float w = static_cast<float>(pGame::instance()->getViewWidth());
    const float h = static_cast<float>(pGame::instance()->getViewHeight());
    demo->panel.x = w * 0.42f;
    demo->panel.y = 70;
    demo->panel.textHeight = 16;
    demo->slider.setRect(w * 0.42f, h - 90, w * 0.25f, 12);
    demo->menu.x = w * 0.82f;
    demo->menu.y = 110;
    demo->menu.size = 22;
    demo->picture.x = w * 0.82f;
    demo->picture.y = h - 62;
    demo->picture.halfWidth = 24;
    demo->picture.halfHeight = 24;
    demo->credits.setRect(w * 0.82f, 345, w * 0.16f, 25);
}

void update() {
    layout();
    demo->panel.listenForEventsAndUpdate();
    demo->slider.listenForEventsAndUpdate();
    demo->menu.listenForEventsAndUpdate();
    demo->picture.listenForEventsAndUpdate();
    demo->credits.update(pTimer::instance()->timeSinceMark(demo->frame));
    pTimer::instance()->resetMark(demo->frame);
    const std::string choice = demo->menu.getConfirmedChoice();
    if (choice == "Quit")
        std::exit(0);
    if (choice != "nothing_confirmed")
        demo->lastChoice = choice;
    if (demo->picture.clicked)
        demo->pictureClicks++;
    if (pKeyboardHandler::instance()->keyPressed(PKEY_ESCAPE, 0) ||
        (demo->runFor > 0 && seconds() > demo->runFor))
        std::exit(0);
    pInputManager::instance()->update();
}

void draw() {
    pGame* game = pGame::instance();
    const int w = game->getViewWidth(), h = game->getViewHeight();
    glViewport(0, 0, w, h);
    glClearColor(0.07f, 0.08f, 0.13f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    pOGLUtil::setOrthographicProjection(w, h);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    pTextManager* text = pTextManager::instance();
    const float time = seconds();

    glColor4f(1, 1, 1, 1);
    text->drawString("Keys (click a row, then press a key)", 16, 30, 16);
    demo->panel.draw(time);

    demo->slider.draw();
    glColor4f(1, 1, 1, 1);
    text->drawString("Volume " + intToString(demo->slider.value),
                     demo->slider.x - demo->slider.halfWidth, h - 110, 16);

    demo->menu.draw(time);
    glColor4f(1, 1, 1, 1);
    text->drawStringCentered("Chosen: " + demo->lastChoice, demo->menu.x, 300, 16);

    demo->credits.draw();
    demo->picture.draw(time);
    glColor4f(1, 1, 1, 1);
    text->drawStringCentered("Clicked " + intToString(demo->pictureClicks) + " times",
                             demo->picture.x, h - 22, 14);
}

void reshape(int, int, int, int) {}

} // namespace

int main(int argc, char** argv) {
    pInputManager::instance()->init();
    pGame* game = pGame::instance();
    game->setDrawFunc(draw);
    game->setUpdateFunc(update);
    game->setReshapeFunc(reshape);
    if (!pGlobalGLContext::instance()->createdSuccessfully()) {
        std::printf("error creating global gl context\n");
        return 1;
    }
    if (!game->createWindowGLContext(64, 64, 640, 480, "Plinx widgets")) {
        std::printf("cannot open the window\n");
        return 1;
    }
    game->makeContextCurrent();
    pOGLUtil::initGL();
    if (!pTextManager::instance()->loadAndSetFont(getResourcePath("Brisk.tga"), "Brisk"))
        std::printf("cannot load Brisk.tga\n");

    demo = new Demo();
    if (argc > 1)
        demo->runFor = std::atof(argv[1]);
    demo->panel.setDefaultActions();
    demo->slider.maxValue = 100;
    demo->slider.value = 60;
    demo->menu.addChoice("Start");
    demo->menu.addChoice("Options");
    demo->menu.addChoice("Locked");
    demo->menu.addChoice("Quit");
    demo->menu.setInactive("Locked");
    demo->credits.setContinuousPlay(true);
    demo->credits.setLoop(true);
    demo->credits.setMessageGap(8);
    demo->credits.addMessage("Slider", PMARQUEE_ALIGN_LEFT);
    demo->credits.addMessage("Buttons", PMARQUEE_ALIGN_CENTER);
    demo->credits.addMessage("Key panel", PMARQUEE_ALIGN_RIGHT);
    demo->credits.makeReady();
    game->run();
    return 0;
}
