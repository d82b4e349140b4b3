// The frame driver's own logic (display modes, start-up lines), the GL helpers, and the input
// recording that replays whole games.
#include "Image/pTexture.h"
#include "Shell/pCommandLine.h"
#include "Shell/pInputRecorder.h"
#include "Shell/pInputReplay.h"
#include "Shell/pOSXGame.h"
#include "tests/support/Fakes.h"
#include "tests/support/Files.h"
#include "tests/support/GLTestContext.h"

#include <sstream>

namespace {

pDisplayMode mode(int width, int height, int bpp, int refreshRate = 0) {
    pDisplayMode m;
    m.width = width, m.height = height, m.bpp = bpp, m.refreshRate = refreshRate;
    return m;
}
// The kept modes as "name #index @rate;".
std::string filtered(std::vector<pDisplayMode> all) {
    std::vector<pDisplayMode> out;
    pOSXGame().filterDisplayModes(all, out);
    std::string text;
    for (const pDisplayMode& m : out)
        text +=
            m.name + " #" + std::to_string(m.index) + " @" + std::to_string(m.refreshRate) + ";";
    return text;
}

TEST(pOSXGame, ModesKeepTheFirstDeepOneOfEachSizeLargestFirst) {
    EXPECT_EQ(filtered({mode(640, 480, 8), mode(640, 480, 32, 60), mode(640, 480, 32, 75),
                        mode(1024, 768, 32), mode(800, 600, 16)}),
              "1024 x 768 #3 @0;640 x 480 #1 @60;");
    // Shallow modes only where nothing deeper is offered; nothing below 640 x 480 ever.
    EXPECT_EQ(
        filtered({mode(640, 480, 16), mode(320, 200, 32), mode(800, 600, 16), mode(1024, 768, 8)}),
        "800 x 600 #2 @0;640 x 480 #0 @0;");
    EXPECT_EQ(filtered({mode(639, 480, 32), mode(640, 479, 32)}) + filtered({}), "");
    EXPECT_EQ(filtered({mode(1024, 640, 32), mode(800, 600, 32), mode(1280, 1024, 32),
                        mode(1024, 768, 32), mode(640, 480, 24)}),
              "1280 x 1024 #2 @0;1024 x 768 #3 @0;1024 x 640 #0 @0;800 x 600 #1 @0;");
}

// The last of --fullscreen and --windowed counts; help ends the reading, a mistake ends it
// with status 2. What each prints is the binary test's.
TEST(pCommandLine, TheLastModeCountsAndHelpOrAMistakeFinishes) {
    std::string seen;
    for (const char* line :
         {"", "--fullscreen", "--fullscreen --windowed", "--windowed --fullscreen",
          "--help --bogus", "--fullscreen=yes", "--fullscreen scores.txt"}) {
        std::istringstream in("plinx " + std::string(line));
        std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
        std::vector<char*> args;
        for (std::string& word : words)
            args.push_back(word.data());
        FILE* sink = std::tmpfile();
        pCommandLine options(int(args.size()), args.data(), sink, sink);
        std::fclose(sink);
        seen += std::to_string(options.fullscreen) + std::to_string(options.finished) +
                std::to_string(options.exitStatus) + " ";
    }
    EXPECT_EQ(seen, "000 100 000 100 010 012 112 ");
}

TEST(pInputRecorder, WhatIsRecordedReadsBackFrameByFrameWithTheEventsBetween) {
    TempFolder folder;
    ASSERT_TRUE(pInputRecorder::start(folder.file("game.txt"), 42, 5000000));
    pInputRecorder* recorder = pInputRecorder::active();
    EXPECT_EQ(pTimer::instance()->currentTime(), 5000.0) << "the frame clock is the game's";
    for (int64_t micros : {5016667, 5033334})
        recorder->frame(micros);
    recorder->event({PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_DOWN, 36, 0, 0, 0, 0, 0});
    recorder->event({PEVENT_CLASS_MOUSE, PEVENT_MOUSE_DOWN, 0, 0, 1, 10, 10, 0});
    recorder->frame(5050001);
    EXPECT_EQ(pTimer::instance()->currentTime(), 5050.001);
    // A slow frame, then two in the same microsecond.
    for (int64_t micros : {5090000, 5106667, 5106667})
        recorder->frame(micros);
    recorder->note("end score 1");
    pTimer::setTimeSource(nullptr);

    pInputReplay replay;
    std::string error;
    ASSERT_TRUE(replay.load(folder.file("game.txt"), error)) << error;
    EXPECT_TRUE(replay.seed == 42 && replay.startMicros == 5000000 && replay.table.size() == 10);
    std::string frames;
    for (const auto& frame : replay.frames) {
        frames += std::to_string(frame.micros);
        for (const pEvent& event : frame.events)
            frames += " key " + std::to_string(event.kind) + "/" + std::to_string(event.keyCode);
        frames += ";";
    }
    // Key events only, and the end the recording expects.
    EXPECT_EQ(frames + replay.expectedEnd,
              "5016667;5033334;5050001 key 1/36;5090000;5106667;5106667;end score 1");
    // Names the table's file cannot hold as they are survive the trip through scores.txt.
    replay.table[0] = {7, "}"};
    replay.table[1] = {6, ""};
    ASSERT_TRUE(replay.writeTable(folder.file("scores.txt")));
    std::string text = readFileBytes(folder.file("scores.txt"));
    EXPECT_EQ(text.find("\n}\n", 0), text.find("\n}\n{")) << text;
    pInputReplay bad;
    writeFileBytes(folder.file("bad.txt"), "plinx input 1\n\nf 16667 x\n"); // a blank line is fine
    EXPECT_FALSE(bad.load(folder.file("bad.txt"), error));
    EXPECT_NE(error.find("bad.txt:3"), error.npos) << error;
    writeFileBytes(folder.file("other.txt"), "some other file\n");
    EXPECT_FALSE(bad.load(folder.file("missing.txt"), error) ||
                 bad.load(folder.file("other.txt"), error));
}

class pOGLUtilTest : public GLTestContext {
protected:
    void ready() override {
        pOGLUtil::initGL();
        pOGLUtil::setOrthographicProjection(kWidth, kHeight);
    }
    static bool reddish(Rgba p) { return p[0] > 200 && p[1] < 60; }
    static bool greenish(Rgba p) { return p[1] > 200 && p[0] < 60; }
};

const GLTestContext::Rgba kRed = {255, 0, 0, 255}, kBlack = {0, 0, 0, 255};

} // namespace

TEST_F(pOGLUtilTest, OrthographicOriginIsTopLeftAndTexturedBoxesKeepTheirRows) {
    pOGLUtil::drawBoxFilled(2, 2, 2, 2, 1, 0, 0, 1);
    EXPECT_EQ(std::tuple(pixel(0, 0), pixel(3, 3), pixel(4, 4), litPixels()),
              std::tuple(kRed, kRed, kBlack, 16));
    pOGLUtil::drawBoxFilled(638, 478, 2, 2, 0, 0, 1, 1);
    EXPECT_EQ(pixel(kWidth - 1, kHeight - 1), (Rgba{0, 0, 255, 255}));

    // Box from y 100 to 200: row 0 shows at the bottom, row 1 at the top.
    glClear(GL_COLOR_BUFFER_BIT);
    pTexture texture; // one column: row 0 red, row 1 green
    pImage picture(1, 2);
    picture.setPixelub(0, 0, 255, 0, 0, 255);
    picture.setPixelub(1, 0, 0, 255, 0, 255);
    texture.bindWithImage(&picture, false, false);
    glEnable(GL_TEXTURE_2D);
    pOGLUtil::drawBoxTextured(100, 150, 50, 50, 1, 1, 1, 1, texture.getTexID());
    EXPECT_TRUE(reddish(pixel(100, 175)) && greenish(pixel(100, 125)));
    EXPECT_EQ(pixel(100, 205), kBlack);
    // Clipped to x 150..400 and y 0..160: 50 x 60 pixels remain; this form runs its texture
    // from the smaller y, so row 0 (red) is near the top of the box.
    glClear(GL_COLOR_BUFFER_BIT);
    pOGLUtil::drawBoxTextured(150, 150, 50, 50, 150, 400, 0, 160, 1, 1, 1, 1, texture.getTexID());
    EXPECT_EQ(std::pair(litPixels(), litPixels(150, 100, 200, 160)), std::pair(50 * 60, 50 * 60));
    EXPECT_TRUE(reddish(pixel(175, 125)));
    EXPECT_GT(pixel(175, 158)[1], pixel(175, 158)[0]) << "the clipped top reaches t = 0.6";
    glClear(GL_COLOR_BUFFER_BIT);
    pOGLUtil::drawBoxTextured(150, 150, 50, 50, 300, 400, 0, 480, 1, 1, 1, 1, texture.getTexID());
    pOGLUtil::drawBoxTextured(150, 150, 0, 50, 0, 400, 0, 480, 1, 1, 1, 1, texture.getTexID());
    EXPECT_EQ(litPixels(), 0);
    // An outline: all four sides, nothing inside.
    glDisable(GL_TEXTURE_2D);
    pOGLUtil::drawBoxOutline(320.5f, 240.5f, 100, 50, 1, 0, 0, 1);
    EXPECT_TRUE(reddish(pixel(220, 240)) && reddish(pixel(320, 190)) && reddish(pixel(420, 240)) &&
                reddish(pixel(320, 290)));
    EXPECT_EQ(pixel(320, 240), kBlack);
}

TEST_F(pOGLUtilTest, TextOnlyWhereThereIsADisplay) {
    // Without a display there is no text font to draw with, and nothing breaks; the check runs
    // in a fresh process, where no text was drawn yet.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            pOGLUtil::drawText(10, 20, "Plinx", 1, 1, 1, 1);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    pOGLUtil::drawText(10, 20, "Plinx", 1, 1, 1, 1);
    // Ink only near the raster position.
    EXPECT_GT(litPixels(), 20);
    EXPECT_EQ(litPixels(10, 8, 60, 23), litPixels());
}
