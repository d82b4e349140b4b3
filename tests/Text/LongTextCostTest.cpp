// A text far longer than the window, as a doctored scores.txt can hold: drawing it costs what
// its visible part costs, and the screen shows the same as for that part alone.
#include "Shell/pOGLUtil.h"
#include "Text/pTextManager.h"
#include "tests/support/FreshFont.h"
#include "tests/support/GLTestContext.h"

#include <chrono>
#include <functional>

using LongTextCost = GLTestContext;

TEST_F(LongTextCost, OnlyTheVisiblePartIsDrawn) {
    pTextManager* text = pTextManager::instance();
    ASSERT_FALSE(loadFreshBrisk().empty());
    pOGLUtil::setOrthographicProjection(kWidth, kHeight);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // What one call leaves on the screen; the seconds it took.
    auto shown = [&](const std::function<void()>& draw, double& seconds) {
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        auto start = std::chrono::steady_clock::now();
        draw();
        glFinish();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return readAll();
    };
    std::string visible;
    for (int i = 0; i < 200; i++)
        visible += char('A' + i % 26);
    const std::string red = pTextManager::getColorChangeStringub(255, 0, 0, 255);
    // Four megabytes on one line, a colour change at its end, and a second line after it.
    const std::string tail(4 << 20, 'W');
    const std::function<void(const std::string&)> draws[] = {
        [&](const std::string& s) { text->drawString(s, 64, 100, 20); },
        [&](const std::string& s) { text->drawString(s, 64, 100, 20, 0, 300, 0, 480); },
        [&](const std::string& s) { text->drawString(s, 64, 900, 20); }, // below the window
    };
    for (const auto& draw : draws) {
        double shortTime = 0, longTime = 0;
        const std::string shortText = visible + red + "\nSecond";
        const std::string longText = visible + tail + red + "\nSecond";
        auto expected = shown([&] { draw(shortText); }, shortTime);
        auto got = shown([&] { draw(longText); }, longTime);
        EXPECT_TRUE(got == expected) << "the screen differs from the visible part alone";
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[1], 0.0f) << "the colour change at the end was lost";
        // Drawn glyph by glyph the tail took seconds.
        EXPECT_LT(longTime, 0.1) << "the visible part alone: " << shortTime << " s";
    }
    text->currentFont = nullptr;
    text->fonts.clear();
}
