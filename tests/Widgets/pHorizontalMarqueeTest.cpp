#include "Widgets/pHorizontalMarquee.h"

#include "Shell/pGame.h"
#include "Shell/pOGLUtil.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FreshFont.h"
#include "tests/support/GLTestContext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

// The title screen's help marquee at a 640 x 480 view: the band runs from 80 to 560.
class MarqueeTest : public GLTestContext {
protected:
    FakeClock clock;
    pTextManager* text = pTextManager::instance();

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        text->loadFont(getResourcePath("Brisk.tga"), "Brisk");
        ASSERT_TRUE(text->setCurrentFont("Brisk"));
    }

    static pHorizontalMarquee titleMarquee() {
        pHorizontalMarquee marquee(320, 448, 640 * 0.375f, 24.0f, -0.1f, "Brisk");
        marquee.setContinuousPlay(true);
        marquee.setLoop(true);
        marquee.setMessageGap(150);
        return marquee;
    }
    float width(const std::string& message) { return text->getStringWidth(message, 24.0f); }
    // Milliseconds for the marquee to carry a message that many pixels.
    static double msFor(double pixels) { return pixels * 10.0; }

    // Steps the marquee and records the index of every message that enters.
    static std::vector<unsigned int> run(pHorizontalMarquee& marquee, int steps, double dt) {
        std::vector<unsigned int> starts = {marquee.active.back().first};
        for (int i = 0; i < steps && !marquee.finished; i++) {
            marquee.update(dt);
            if (!marquee.active.empty() && marquee.active.back().second == marquee.right)
                starts.push_back(marquee.active.back().first);
        }
        return starts;
    }
};

TEST_F(MarqueeTest, MessagesEnterAtTheRightEndKeepTheirGapAndRetireAtTheLeft) {
    pHorizontalMarquee marquee = titleMarquee();
    EXPECT_FLOAT_EQ(marquee.left, 80);
    EXPECT_FLOAT_EQ(marquee.right, 560);
    marquee.addMessage("Use the arrows.");
    marquee.addMessage("Press Escape to pause.");
    marquee.makeReady();
    ASSERT_EQ(marquee.active.size(), 1u);
    EXPECT_EQ(marquee.active[0].first, 0u);
    EXPECT_DOUBLE_EQ(marquee.active[0].second, 560);

    // The second follows once the first's right end is more than 150 px left of 560.
    const float first = width("Use the arrows.");
    marquee.update(msFor(first + 150 - 1));
    EXPECT_EQ(marquee.active.size(), 1u);
    marquee.update(msFor(2));
    ASSERT_EQ(marquee.active.size(), 2u);
    EXPECT_EQ(marquee.active[1].first, 1u);
    EXPECT_DOUBLE_EQ(marquee.active[1].second, 560);

    // The first leaves once its right end has passed 80.
    const double rightEnd = marquee.active[0].second + first;
    marquee.update(msFor(rightEnd - 80 - 1));
    EXPECT_EQ(marquee.active.front().first, 0u);
    marquee.update(msFor(2));
    EXPECT_EQ(marquee.active.front().first, 1u);

    // Moving the band moves where messages enter and leave, not the messages.
    const double before = marquee.active.front().second;
    marquee.setRect(400, 300, 100);
    EXPECT_EQ(marquee.active.front().second, before);
    EXPECT_FLOAT_EQ(marquee.left, 300);
    EXPECT_FLOAT_EQ(marquee.right, 500);
    EXPECT_FLOAT_EQ(marquee.y, 300);
}

TEST_F(MarqueeTest, ALongStepStartsAtMostOneMessage) {
    pHorizontalMarquee marquee = titleMarquee();
    for (const char* message : {"One.", "Two.", "Three."})
        marquee.addMessage(message);
    marquee.makeReady();
    marquee.update(60000);
    // The first is long gone; only the second has entered, at the right end.
    ASSERT_EQ(marquee.active.size(), 1u);
    EXPECT_EQ(marquee.active[0].first, 1u);
    EXPECT_DOUBLE_EQ(marquee.active[0].second, 560);
    marquee.update(0);
    EXPECT_EQ(marquee.active.size(), 1u);
}

TEST_F(MarqueeTest, SequentialWithoutLoopPlaysEachMessageOnceThenFinishes) {
    for (bool continuous : {true, false}) {
        pHorizontalMarquee marquee = titleMarquee();
        marquee.setLoop(false);
        marquee.setContinuousPlay(continuous);
        for (const char* message : {"One.", "Two.", "Three."})
            marquee.addMessage(message);
        marquee.makeReady();
        EXPECT_EQ(run(marquee, 2000, 16), (std::vector<unsigned int>{0, 1, 2})) << continuous;
        EXPECT_TRUE(marquee.finished);
        EXPECT_TRUE(marquee.active.empty());
        // Finished for good, until made ready again.
        marquee.update(16);
        EXPECT_TRUE(marquee.finished);
        marquee.makeReady();
        EXPECT_FALSE(marquee.finished);
        EXPECT_EQ(marquee.active.size(), 1u);
    }

    // With no messages the first step finishes it.
    pHorizontalMarquee empty = titleMarquee();
    empty.makeReady();
    empty.update(16);
    EXPECT_TRUE(empty.finished);
}

TEST_F(MarqueeTest, OneAtATimeWaitsTheMessageDelay) {
    pHorizontalMarquee marquee = titleMarquee();
    marquee.setContinuousPlay(false);
    marquee.messageDelay = 500;
    marquee.addMessage("One.");
    marquee.addMessage("Two.");
    marquee.makeReady();
    marquee.update(msFor(480 + width("One.") + 1));
    ASSERT_EQ(marquee.active.size(), 1u);
    EXPECT_EQ(marquee.active[0].first, 1u);
    // Held at the right end until the delay has passed.
    clock.advance(499);
    marquee.update(100);
    EXPECT_DOUBLE_EQ(marquee.active[0].second, 560);
    clock.advance(1);
    marquee.update(100);
    EXPECT_LT(marquee.active[0].second, 560);
}

TEST_F(MarqueeTest, RandomLoopingShowsEveryMessageOncePerBatch) {
    srand(7);
    pHorizontalMarquee marquee = titleMarquee();
    marquee.setRandomPlay(true);
    const unsigned int n = 4;
    for (const char* message : {"A.", "Bb.", "Ccc.", "Dddd."})
        marquee.addMessage(message);
    marquee.makeReady();
    std::vector<unsigned int> starts = run(marquee, 20000, 16);
    ASSERT_GE(starts.size(), 3 * n);
    bool someBatchDiffers = false;
    for (unsigned int batch = 0; batch + n <= starts.size(); batch += n) {
        std::vector<bool> seen(n, false);
        for (unsigned int i = batch; i < batch + n; i++) {
            EXPECT_FALSE(seen[starts[i]]) << "message " << starts[i] << " twice in a batch";
            seen[starts[i]] = true;
        }
        if (batch > 0 && !std::equal(starts.begin(), starts.begin() + n, starts.begin() + batch))
            someBatchDiffers = true;
    }
    EXPECT_TRUE(someBatchDiffers);
    EXPECT_FALSE(marquee.finished);
}

} // namespace

namespace {

TEST_F(MarqueeTest, DrawsOnlyWithinTheBand) {
    pGame::instance()->windowHeight = kHeight;
    pOGLUtil::setOrthographicProjection(kWidth, kHeight);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    pHorizontalMarquee marquee = titleMarquee();
    marquee.font = loadFreshBrisk();
    ASSERT_NE(marquee.font, "");
    marquee.addMessage("Use the left, right and down keys to move your blocks.");
    marquee.makeReady();
    // Half way through the band's left end: the text runs across x 80.
    marquee.update(msFor(480 + width("Use the left, right and down keys") / 2));
    marquee.draw();
    std::vector<unsigned char> all = readAll();
    int inside = 0, outside = 0;
    for (int y = 0; y < kHeight; y++) {
        for (int x = 0; x < kWidth; x++) {
            if (all[(y * kWidth + x) * 4] == 0)
                continue;
            (x >= 80 && x < 560 ? inside : outside)++;
        }
    }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);
}

} // namespace
