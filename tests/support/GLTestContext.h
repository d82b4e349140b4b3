#pragma once

// A real OpenGL context for tests that draw: a hidden 640 x 480 SDL window with an OpenGL 2.1
// (compatibility) context and Mesa's software renderer, made once per process and kept, so that
// textures and fonts loaded by one test (or by the game's start-up) stay valid for the next.
// Each test starts current on it with a black frame and plain 2-D state. Without a DISPLAY the
// test is skipped; run under `xvfb-run -a`. Drawing goes to the back buffer and is read there.
#include "Shell/pOGLUtil.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

class GLTestContext : public ::testing::Test {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    using Rgba = std::array<unsigned char, 4>;

protected:
    // The fixture's own set-up, once the context is current.
    virtual void ready() {}
    void SetUp() override {
        makeCurrent();
        if (!IsSkipped() && !HasFatalFailure())
            ready();
    }
    void makeCurrent() {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            GTEST_SKIP() << "drawing tests need an X server (run under xvfb-run -a)";
        static SDL_Window* window = nullptr;
        static SDL_GLContext context = nullptr;
        if (!context) {
            setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
            // Held for the whole process: another test's quit cannot take the window away.
            ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
            SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
            window = SDL_CreateWindow("plinx test", 0, 0, kWidth, kHeight,
                                      SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
            ASSERT_NE(window, nullptr) << SDL_GetError();
            context = SDL_GL_CreateContext(window);
            ASSERT_NE(context, nullptr) << SDL_GetError();
        }
        ASSERT_EQ(SDL_GL_MakeCurrent(window, context), 0) << SDL_GetError();
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        pOGLUtil::setOrthographicProjection(kWidth, kHeight);
    }
    // Texturing and alpha blending, as the screens set them up before they draw.
    static void blended() {
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }

    // The whole back buffer, bottom row first (GL order), 4 bytes per pixel.
    static std::vector<unsigned char> readAll() {
        std::vector<unsigned char> data(size_t{kWidth} * kHeight * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, data.data());
        return data;
    }
    // The pixel x from the left and y from the top, as the 2-D projection counts them.
    static Rgba pixel(int x, int y) {
        Rgba value{};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, value.data());
        return value;
    }
    // The box (left, right, top, bottom) of the pixels whose red is at least half on, in the
    // columns from `from` to `to`: linear filtering puts a glyph's ink edge on that threshold.
    static std::string inkBox(int from = 0, int to = kWidth) {
        std::vector<unsigned char> data = readAll();
        int left = kWidth, right = -1, top = kHeight, bottom = -1;
        for (int y = 0; y < kHeight; y++)
            for (int x = from; x < to; x++)
                if (data[(size_t(kHeight - 1 - y) * kWidth + x) * 4] >= 128)
                    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
                    bottom = std::max(bottom, y);
        return std::to_string(left) + "," + std::to_string(right) + "," + std::to_string(top) +
               "," + std::to_string(bottom);
    }
    // Pixels of the rectangle (top-down coordinates, right and bottom excluded) whose red,
    // green or blue exceeds `above`; the whole frame by default.
    static int litPixels(int left = 0, int top = 0, int right = kWidth, int bottom = kHeight,
                         int above = 0) {
        std::vector<unsigned char> data = readAll();
        int lit = 0;
        for (int y = top; y < bottom; y++)
            for (int x = left; x < right; x++) {
                const unsigned char* p = &data[(size_t(kHeight - 1 - y) * kWidth + x) * 4];
                lit += p[0] > above || p[1] > above || p[2] > above;
            }
        return lit;
    }
};
