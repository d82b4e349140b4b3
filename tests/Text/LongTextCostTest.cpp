// A text far longer than the window, as a damaged or doctored scores.txt can hold: drawing it
// costs what its visible part costs, and the screen shows the same as for that part alone.
#include "Game/pPlinx.h"
#include "Shell/pOGLUtil.h"
#include "Text/pTextManager.h"
#include "tests/support/FreshFont.h"
#include "tests/support/GLTestContext.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

class LongTextCost : public GLTestContext {
protected:
    pTextManager* text = pTextManager::instance();

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_FALSE(loadFreshBrisk().empty());
        pOGLUtil::setOrthographicProjection(kWidth, kHeight);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    void TearDown() override {
        text->currentFont = nullptr;
        text->fonts.clear();
        GLTestContext::TearDown();
    }
    // What one call leaves on the screen, and the milliseconds it took.
    std::vector<unsigned char> shown(const std::function<void()>& draw, double& ms) {
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        auto start = std::chrono::steady_clock::now();
        draw();
        glFinish();
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                 .count();
        std::vector<unsigned char> pixels(size_t(kWidth) * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
};

} // namespace

TEST_F(LongTextCost, OnlyTheVisiblePartIsDrawn) {
    std::string visible;
    for (int i = 0; i < 200; i++)
        visible += char('A' + i % 26);
    const std::string red = pTextManager::getColorChangeStringub(255, 0, 0, 255);
    // Four megabytes on one line, a colour change at its end, and a second line after it.
    std::string tail(4 << 20, 'W');
    struct Case {
        const char* what;
        std::function<void(const std::string&)> draw;
    };
    const Case cases[] = {
        {"left", [&](const std::string& s) { text->drawString(s, 64, 100, 20); }},
        {"clipped",
         [&](const std::string& s) { text->drawString(s, 64, 100, 20, 0, 300, 0, 480); }},
        {"off the bottom", [&](const std::string& s) { text->drawString(s, 64, 900, 20); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double shortMs = 0, longMs = 0;
        auto expected = shown([&] { c.draw(visible + red + "\nSecond"); }, shortMs);
        auto got = shown([&] { c.draw(visible + tail + red + "\nSecond"); }, longMs);
        EXPECT_TRUE(got == expected) << "the screen differs from the visible part alone";
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[1], 0.0f) << "the colour change at the end was lost";
        // Drawn glyph by glyph the tail takes seconds; skipped, milliseconds.
        EXPECT_LT(longMs, 100.0) << "short text: " << shortMs << " ms";
    }
}
