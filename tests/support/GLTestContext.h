#pragma once

// A real OpenGL context for tests that draw: a hidden 640 x 480 SDL window with an OpenGL 2.1
// (compatibility) context, made current in SetUp and destroyed in TearDown. Run the tests under
// `xvfb-run -a`; Mesa's software renderer is requested so that results do not depend on a GPU.
//
//     class MyDrawingTest : public GLTestContext {};
//     TEST_F(MyDrawingTest, Something) {
//         pOGLUtil::setOrthographicProjection(kWidth, kHeight);
//         ... draw ...
//         EXPECT_EQ(pixel(0, 0), (Rgba{255, 0, 0, 255}));   // top-left pixel
//     }
//
// Without a DISPLAY the test is skipped with a message; with one, failing to make a context is a
// test failure. Drawing goes to the back buffer and is read from there; nothing is swapped.

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <ostream>
#include <vector>

class GLTestContext : public ::testing::Test {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    using Rgba = std::array<unsigned char, 4>;

protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) {
            GTEST_SKIP() << "DISPLAY is not set: drawing tests need an X server (run under "
                            "xvfb-run -a)";
        }
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        videoStarted_ = true;
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        window_ = SDL_CreateWindow("plinx test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                   kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        context_ = SDL_GL_CreateContext(window_);
        ASSERT_NE(context_, nullptr) << SDL_GetError();
        ASSERT_EQ(SDL_GL_MakeCurrent(window_, context_), 0) << SDL_GetError();
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    void TearDown() override {
        if (context_) {
            SDL_GL_DeleteContext(context_);
        }
        if (window_) {
            SDL_DestroyWindow(window_);
        }
        if (videoStarted_) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }

    // The whole back buffer, bottom row first (GL order), 4 bytes per pixel.
    std::vector<unsigned char> readAll() {
        glFinish();
        std::vector<unsigned char> data(size_t{kWidth} * kHeight * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, data.data());
        return data;
    }

    // The pixel x from the left and y from the top, as the 2-D projection counts them.
    Rgba pixel(int x, int y) {
        glFinish();
        Rgba value{};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, value.data());
        return value;
    }

    // How many pixels differ from the clear colour (black).
    int litPixels() {
        std::vector<unsigned char> data = readAll();
        int lit = 0;
        for (size_t i = 0; i < data.size(); i += 4) {
            if (data[i] || data[i + 1] || data[i + 2]) {
                ++lit;
            }
        }
        return lit;
    }

private:
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    bool videoStarted_ = false;
};
