#include "Shell/pOSXGame.h"
#include "tests/support/FakeGame.h"

#include <gtest/gtest.h>

namespace {

pDisplayMode mode(int width, int height, int bpp, int refreshRate = 0) {
    pDisplayMode m;
    m.width = width;
    m.height = height;
    m.bpp = bpp;
    m.refreshRate = refreshRate;
    return m;
}

std::vector<pDisplayMode> filtered(std::vector<pDisplayMode> all) {
    std::vector<pDisplayMode> out;
    pOSXGame().filterDisplayModes(all, out);
    return out;
}

} // namespace

TEST(pOSXGame, FilterKeepsTheFirstDeepModeOfEachSizeLargestFirst) {
    auto out = filtered({mode(640, 480, 8), mode(640, 480, 32, 60), mode(640, 480, 32, 75),
                         mode(1024, 768, 32), mode(800, 600, 16)});
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].name, "1024 x 768");
    EXPECT_EQ(out[0].index, 3);
    EXPECT_EQ(out[1].name, "640 x 480");
    EXPECT_EQ(out[1].refreshRate, 60);
    EXPECT_EQ(out[1].index, 1);

    // Shallow modes only where nothing deeper is offered; nothing below 640×480 ever.
    auto shallow =
        filtered({mode(640, 480, 16), mode(320, 200, 32), mode(800, 600, 16), mode(1024, 768, 8)});
    ASSERT_EQ(shallow.size(), 2u);
    EXPECT_EQ(shallow[0].name, "800 x 600");
    EXPECT_EQ(shallow[0].index, 2);
    EXPECT_EQ(shallow[1].name, "640 x 480");
    EXPECT_TRUE(filtered({mode(639, 480, 32), mode(640, 479, 32)}).empty());
    EXPECT_TRUE(filtered({}).empty());
}

TEST(pOSXGame, SortIsByWidthThenHeight) {
    pOSXGame game;
    std::vector<pDisplayMode> list = {mode(1024, 640, 32), mode(800, 600, 32), mode(1280, 1024, 32),
                                      mode(1024, 768, 32)};
    game.sortModes(list);
    std::vector<std::pair<int, int>> sizes;
    for (auto& m : list)
        sizes.push_back({m.width, m.height});
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{
                         {1280, 1024}, {1024, 768}, {1024, 640}, {800, 600}}));
    EXPECT_TRUE(game.listAlreadyHasMode(list, mode(1024, 640, 16)));
    EXPECT_FALSE(game.listAlreadyHasMode(list, mode(640, 1024, 32)));
}

TEST(pOSXGame, StartUpListsTheModesAndPlacesTheWindow) {
    FakeGame game;
    game.modes = filtered({mode(1440, 900, 32, 60), mode(640, 480, 32)});
    testing::internal::CaptureStdout();
    chooseDisplaySettings(game);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "-1 windowed\n"
              "0 width = 1440 height = 900 bpp = 32 refreshRate = 60\n"
              "1 width = 640 height = 480 bpp = 32 refreshRate = 0\n"
              "crunch on mode -1, biotch\n");
    EXPECT_EQ(game.windowAsked, (std::vector<int>{320, 150, 640, 480}));
    EXPECT_EQ(game.title, "Plinx");

    game.windowOpens = false;
    game.modes.clear();
    testing::internal::CaptureStdout();
    chooseDisplaySettings(game);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "-1 windowed\ncrunch on mode -1, biotch\nerror switching\n");
}
