#include "Platform/pCursor.h"
#include "Shell/pGlobalGLContext.h"
#include "Shell/pOSXGame.h"
#include "tests/support/Fakes.h"

#include <GL/gl.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <array>

namespace {

// A frame driver of the test's own on the real display, closed again at the end.
class DisplayTest : public ::testing::Test {
protected:
    pOSXGame game;

    void SetUp() override {
        ASSERT_TRUE(pGlobalGLContext::instance()->createdSuccessfully());
        ASSERT_TRUE(displayInit()) << "asked again once the display is open";
        ASSERT_TRUE(game.createWindowGLContext(100, 50, 640, 480, "Plinx"));
        gamma = displayGetGamma(game.window, before);
    }
    void TearDown() override {
        displayFullscreenSwitch = displaySetFullscreen;
        game.exitFullscreen();
        game.killWindow();
        removeEventHandler(game.reshapeHandlerRef);
        removeEventHandler(game.closeHandlerRef);
    }
    std::pair<int, int> view() { return {game.getViewWidth(), game.getViewHeight()}; }
    // The display's gamma ramps are as they were before the test (where it can read them).
    bool gammaAsBefore() {
        uint16_t now[768];
        return !gamma ||
               (displayGetGamma(game.window, now) && std::equal(before, before + 768, now));
    }
    uint16_t before[768];
    bool gamma = false;
};

// Full screen takes the whole screen in a context of its own that shares the window's textures;
// the display fades to black for the switch and comes back as it was; leaving gives the window
// its context and size back, or opens one where there was none.
TEST_F(DisplayTest, FullScreenComesAndGoesKeepingTexturesTheGammaAndTheWindow) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture); // made by its first binding
    pGLContext windowContext = game.context;
    const Uint64 start = SDL_GetTicks64();
    ASSERT_TRUE(game.createFullscreenGLContext(0));
    // Where the display has a gamma ramp, the fade to black on the way takes half a second.
    EXPECT_TRUE(!gamma || SDL_GetTicks64() - start >= 500) << SDL_GetTicks64() - start;
    EXPECT_TRUE(game.isFullscreen());
    EXPECT_NE(game.context, windowContext);
    EXPECT_EQ(game.windowContext, windowContext);
    EXPECT_EQ(view(), std::pair(game.getScreenWidth(), game.getScreenHeight()));
    game.makeContextCurrent();
    game.swapBuffer();
    EXPECT_TRUE(glIsTexture(texture) && gammaAsBefore());
    game.exitFullscreen();
    EXPECT_EQ(std::tuple(game.isFullscreen(), game.context, view(), glIsTexture(texture)),
              std::tuple(false, windowContext, std::pair(640, 480), GLboolean(GL_TRUE)));
    // The fade scales every ramp entry by what is left of it: half at half time, none after.
    uint16_t ramps[768], scaled[768];
    for (int i = 0; i < 768; i++)
        ramps[i] = static_cast<uint16_t>(i * 85);
    std::string seen;
    for (double factor : {0.5, 1.5, -1.0}) {
        scaleGamma(ramps, factor, scaled);
        seen += std::to_string(scaled[1]) + "," + std::to_string(scaled[767]) + " ";
    }
    EXPECT_EQ(seen, "42,32597 85,65195 0,0 ");
    // Leaving full screen without a window opens one at the top left corner; the view follows
    // the window's size.
    game.killWindow();
    ASSERT_TRUE(game.createFullscreenGLContext(0));
    EXPECT_TRUE(SDL_GetWindowFlags(game.fullscreenWindow) & SDL_WINDOW_BORDERLESS);
    game.exitFullscreen();
    ASSERT_NE(game.window, nullptr);
    EXPECT_FALSE(SDL_GetWindowFlags(game.window) & SDL_WINDOW_BORDERLESS) << "a framed window";
    int left = -1, top = -1;
    SDL_GetWindowPosition(game.window, &left, &top);
    EXPECT_EQ(std::tuple(std::string(SDL_GetWindowTitle(game.window)), left + top, view()),
              std::tuple("Plinx", 0, std::pair(640, 480)));
    SDL_SetWindowSize(game.window, 800, 600);
    EXPECT_TRUE(pumpUntil([&] { return game.getViewWidth() == 800; }));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((std::array<int, 3>{game.getViewHeight(), viewport[2], viewport[3]}),
              (std::array<int, 3>{600, 800, 600}));
}

// A failed entry into full screen leaves the window going; an X error raised while errors are
// kept comes back as text instead of ending the game.
TEST_F(DisplayTest, AFailedFullScreenEntryLeavesTheWindowGoingAndXErrorsComeBackAsText) {
    pGLContext windowContext = game.context;
    // A mode the display does not have, and a display that refuses after the fade to black.
    displayFullscreenSwitch = [](SDL_Window*, const pPlatformMode&) { return false; };
    for (auto [mode, said] : {std::pair{1000, "error getting display device handle\n"},
                              {0, "error setting fullscreen drawable\n"}}) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(game.createFullscreenGLContext(mode));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), said);
        EXPECT_FALSE(game.isFullscreen());
        EXPECT_EQ(game.context, windowContext);
        EXPECT_EQ(game.windowContext, nullptr);
        EXPECT_EQ(game.fullscreenWindow, nullptr);
        EXPECT_TRUE(SDL_GetWindowFlags(game.window) & SDL_WINDOW_SHOWN);
        EXPECT_EQ(SDL_GL_GetCurrentContext(), windowContext);
        game.makeContextCurrent();
        game.swapBuffer();
        EXPECT_TRUE(gammaAsBefore()) << "the display lit again";
    }
    displayFullscreenSwitch = displaySetFullscreen;
    EXPECT_TRUE(game.createFullscreenGLContext(0)) << "a later attempt still works";
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(game.window, &info));
    displayKeepXErrors();
    XDestroyWindow(info.info.x11.display, 1); // no such window
    EXPECT_NE(displayStopKeepingXErrors(game.window).find("BadWindow"), std::string::npos);
    EXPECT_EQ(displayStopKeepingXErrors(game.window), "") << "nothing kept any more";
}

// A window the driver cannot give a context ends the game with the reason, not an assertion.
TEST(NoOpenGL, AWindowWithoutAContextEndsTheGameWithAMessage) {
    ASSERT_TRUE(pGlobalGLContext::instance()->createdSuccessfully());
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            dup2(2, 1); // the messages go to standard output; let the check see them
            SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 64); // a pixel format no driver offers
            pOSXGame game;
            chooseDisplaySettings(game);
            game.makeContextCurrent();
            std::abort();
        },
        ::testing::ExitedWithCode(1),
        "error creating pixel format\nerror switching\n"
        "OpenGL could not be started: the game window has no OpenGL context: .+\n");
}

// The pointer is read from the window's content corner, but for a full-screen view.
TEST_F(DisplayTest, PointerReadsFromTheWindowsCornerOrTheScreensInFullScreen) {
    pMouseHandler* mouse = pMouseHandler::instance();
    pInputManager::instance()->init();
    int ref = installEventHandler(PEVENT_CLASS_MOUSE, {PEVENT_MOUSE_MOVED}, mouseEvent, mouse);
    SDL_WarpMouseInWindow(game.window, 30, 20);
    EXPECT_TRUE(pumpUntil([&] { return mouse->x == 30; }));
    EXPECT_EQ(mouse->y, 20);
    removeEventHandler(ref);
    int left = -1, top = -1;
    ASSERT_TRUE(platformWindowContentOrigin(left, top));
    EXPECT_EQ(left * 1000 + top, 100050);

    FakeGame driver;
    pGame* platform = FakeGame::install(&driver);
    for (bool fullscreen : {false, true}) {
        driver.fullscreen = fullscreen;
        sendMouse(PEVENT_MOUSE_MOVED, 95, 58);
        EXPECT_EQ(std::pair(mouse->getX(0), mouse->getY(0)),
                  fullscreen ? std::pair(95, 58) : std::pair(-5, 8));
    }
    FakeGame::install(platform);

    // The pointer is hidden and shown only through the handler, by a listener it serves.
    std::string shown;
    for (int step = 0; step < 4; step++) {
        step == 1 ? mouse->hideCursor(0) : mouse->showCursor(0);
        shown += std::to_string(SDL_ShowCursor(SDL_QUERY));
        step == 1 ? void(pInputManager::instance()->lock(7))
                  : void(pInputManager::instance()->unlock(7));
    }
    EXPECT_EQ(shown, "1001");
}

} // namespace
