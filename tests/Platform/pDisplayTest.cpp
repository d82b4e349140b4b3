#include "Input/pMouseHandler.h"
#include "Platform/pDisplay.h"
#include "Platform/pEventLoop.h"
#include "Shell/pGlobalGLContext.h"
#include "Shell/pOSXGame.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

namespace {

// A frame driver of the test's own on the real display, closed again at the end.
class DisplayTest : public ::testing::Test {
protected:
    pOSXGame game;

    void SetUp() override { ASSERT_TRUE(pGlobalGLContext::instance()->createdSuccessfully()); }
    void TearDown() override {
        game.exitFullscreen();
        game.killWindow();
        removeEventHandler(game.reshapeHandlerRef);
        removeEventHandler(game.closeHandlerRef);
    }

    // Hands the window system's events to the handlers until `done` holds (or a second passed).
    template <typename Done> bool pumpUntil(Done done) {
        for (int i = 0; i < 100 && !done(); i++) {
            SDL_Event event;
            while (SDL_PollEvent(&event)) {
                std::vector<pEvent> events;
                translateEvent(event, events);
                for (pEvent& e : events)
                    if (e.kind != PEVENT_WINDOW_CLOSE)
                        deliverEvent(e);
            }
            SDL_Delay(10);
        }
        return done();
    }

    unsigned int uploadTexture() {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        unsigned char pixel[4] = {255, 0, 0, 255};
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        return texture;
    }
};

} // namespace

TEST_F(DisplayTest, TexturesOutliveFullScreenSwitches) {
    ASSERT_TRUE(game.createWindowGLContext(0, 0, 640, 480, "Plinx"));
    EXPECT_FALSE(game.isFullscreen());
    EXPECT_EQ(game.getViewWidth(), 640);
    EXPECT_EQ(game.getViewHeight(), 480);
    unsigned int texture = uploadTexture();
    pGLContext windowContext = game.context;

    ASSERT_TRUE(game.createFullscreenGLContext(0));
    EXPECT_TRUE(game.isFullscreen());
    EXPECT_NE(game.context, windowContext);
    EXPECT_EQ(game.windowContext, windowContext);
    EXPECT_EQ(game.getViewWidth(), game.getScreenWidth());
    EXPECT_EQ(game.getViewHeight(), game.getScreenHeight());
    game.makeContextCurrent();
    EXPECT_TRUE(glIsTexture(texture));
    game.swapBuffer();

    game.exitFullscreen();
    EXPECT_FALSE(game.isFullscreen());
    EXPECT_EQ(game.context, windowContext);
    EXPECT_EQ(game.getViewWidth(), 640);
    game.makeContextCurrent();
    EXPECT_TRUE(glIsTexture(texture));
}

TEST_F(DisplayTest, FailedFullScreenEntryKeepsTheWindowGoing) {
    ASSERT_TRUE(game.createWindowGLContext(0, 0, 640, 480, "Plinx"));
    pGLContext windowContext = game.context;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(game.createFullscreenGLContext(1000));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error getting display device handle\n");
    EXPECT_FALSE(game.isFullscreen());
    EXPECT_EQ(game.context, windowContext);
    EXPECT_EQ(game.windowContext, nullptr);
    EXPECT_EQ(game.fullscreenWindow, nullptr);
    EXPECT_TRUE(SDL_GetWindowFlags(game.window) & SDL_WINDOW_SHOWN);
    game.makeContextCurrent();
    game.swapBuffer();
    // And a later attempt still works.
    EXPECT_TRUE(game.createFullscreenGLContext(0));
}

TEST_F(DisplayTest, LeavingFullScreenWithoutAWindowOpensOne) {
    ASSERT_TRUE(game.createFullscreenGLContext(0));
    game.exitFullscreen();
    ASSERT_NE(game.window, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(game.window), "Plinx");
    int left = -1, top = -1;
    SDL_GetWindowPosition(game.window, &left, &top);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(game.getViewWidth(), 640);
    EXPECT_EQ(game.getViewHeight(), 480);
}

TEST_F(DisplayTest, ViewportFollowsTheResizedWindow) {
    ASSERT_TRUE(game.createWindowGLContext(0, 0, 640, 480, "Plinx"));
    SDL_SetWindowSize(game.window, 800, 600);
    EXPECT_TRUE(pumpUntil([&] { return game.getViewWidth() == 800; }));
    EXPECT_EQ(game.getViewHeight(), 600);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
}

TEST_F(DisplayTest, PointerReadsFromTheWindowsCorner) {
    ASSERT_TRUE(game.createWindowGLContext(100, 50, 640, 480, "Plinx"));
    pMouseHandler* mouse = pMouseHandler::instance();
    mouse->init();
    int ref = installEventHandler(PEVENT_CLASS_MOUSE, {PEVENT_MOUSE_MOVED}, mouseEvent, mouse);
    SDL_WarpMouseInWindow(game.window, 30, 20);
    EXPECT_TRUE(pumpUntil([&] { return mouse->x == 30; }));
    EXPECT_EQ(mouse->y, 20);
    removeEventHandler(ref);
}
