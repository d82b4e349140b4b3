#include "Game/pPlinx.h"
#include "Input/pInputManager.h"
#include "Platform/pDisplay.h"
#include "Platform/pEventLoop.h"
#include "Platform/pGamepad.h"
#include "Shell/pCommandLine.h"
#include "Shell/pFrameCallbacks.h"
#include "Shell/pGame.h"
#include "Shell/pGlobalGLContext.h"
#include "Shell/pInputRecorder.h"
#include "Shell/pOSXGame.h"
#include "Shell/pStartupMarks.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
    startupMark("main");
    pCommandLine options(argc, argv);
    if (options.finished)
        return options.exitStatus;
    if (!displayNamed()) {
        std::fprintf(stderr,
                     "plinx: no display to open: neither DISPLAY nor WAYLAND_DISPLAY is set\n");
        return 1;
    }
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    // Under a limit on file sizes a save that would pass it fails and says so; by default the
    // signal would end the game, losing the score.
    std::signal(SIGXFSZ, SIG_IGN);
    std::atexit(release);
    // PLINX_RECORD=path records this session's input for replaying (tools/autoplay.cpp).
    pInputRecorder::startFromEnvironment();
    if (pInputRecorder::active())
        setEventTap([](const pEvent& event) { pInputRecorder::active()->event(event); });
    pInputManager::instance()->init();
    pGame* game = pGame::instance();
    game->setDrawFunc(draw);
    game->setUpdateFunc(update);
    game->setReshapeFunc(reshape);
    game->setFocusLostFunc(focusLost);
    pGamepad::instance()->setKeyQuery(padKey);
    if (!pGlobalGLContext::instance()->createdSuccessfully()) {
        std::printf("error creating global gl context\n");
        std::printf("OpenGL could not be started: %s\n",
                    pGlobalGLContext::instance()->failureReason().c_str());
        return 1;
    }
    startupMark("shared context made");
    std::printf("made global gl context ok\n");
    chooseDisplaySettings();
    startupMark("window open");
    // The command line speaks for this run only; otherwise the game starts as it was left.
    bool fullscreen =
        options.screenChosen ? options.fullscreen : pPlinx::instance()->fullScreenSaved();
    if (fullscreen)
        game->createFullscreenGLContext(0);
    game->makeContextCurrent();
    game->run();
    return 0;
}
