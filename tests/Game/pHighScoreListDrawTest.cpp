#include "Game/pHighScoreList.h"

#include "Platform/pResourceFolder.h"
#include "Shell/pGame.h"
#include "Shell/pOGLUtil.h"
#include "tests/support/FreshFont.h"
#include "tests/support/GLTestContext.h"

#include <algorithm>
#include <cmath>

namespace {

class HighScoreDrawTest : public GLTestContext {
protected:
    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(PLINX_SOURCE_DIR "/tests/data/no-such-folder");
        ASSERT_NE(loadFreshBrisk(), "");
    }
    void TearDown() override {
        GLTestContext::TearDown();
        setResourceFolder("");
        setUserDataFolder("");
    }

    struct Extent {
        int top = -1, bottom = -1;
        unsigned char brightest[3] = {0, 0, 0};
    };
    // Draws the table as the high score screen does at a view of that height.
    Extent drawTable(int viewHeight) {
        glClear(GL_COLOR_BUFFER_BIT);
        pOGLUtil::setOrthographicProjection(kWidth, kHeight);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        pGame::instance()->windowHeight = viewHeight;
        pHighScoreList list;
        list.draw(kWidth, viewHeight, 20, viewHeight / 480.0f * 85, 0);
        std::vector<unsigned char> all = readAll();
        Extent extent;
        for (int y = 0; y < kHeight; y++) {
            for (int x = 0; x < kWidth; x++) {
                const unsigned char* p = &all[((kHeight - 1 - y) * kWidth + x) * 4];
                if (!p[0] && !p[1] && !p[2])
                    continue;
                if (extent.top < 0)
                    extent.top = y;
                extent.bottom = y;
                if (y < 90 && p[0] + p[1] + p[2] >
                                  extent.brightest[0] + extent.brightest[1] + extent.brightest[2])
                    std::copy(p, p + 3, extent.brightest);
            }
        }
        return extent;
    }
};

TEST_F(HighScoreDrawTest, RowsScaleWithTheViewAndTakeTheirTint) {
    // At 480 the rows are 20 high, 35 apart, the first on baseline 85 and the tenth on 400.
    Extent full = drawTable(480);
    EXPECT_GE(full.top, 65);
    EXPECT_LT(full.top, 80);
    EXPECT_NEAR(full.bottom, 400, 6);
    // Row 0's pastel tint at time 0.
    const double tint[3] = {0.8 + 0.2 * std::cos(734.0f), 0.8 + 0.2 * std::cos(234243.0f),
                            0.8 + 0.2 * std::cos(354534.0f)};
    for (int c = 0; c < 3; c++)
        EXPECT_NEAR(full.brightest[c], tint[c] * 255, 4) << c;

    // At half the height everything halves: rows 10 high, 17.5 apart, the first ending at 42.5.
    Extent half = drawTable(240);
    EXPECT_NEAR(half.top, full.top / 2.0, 2);
    EXPECT_NEAR(half.bottom, full.bottom / 2.0, 2);
}

} // namespace
