// The whole application as the player meets it, screen by screen.
#include "tests/support/GameOnFakeDriver.h"

#include <tuple>

namespace {

using PlinxFlow = GameOnFakeDriver;

TEST_F(PlinxFlow, StartsWithSixLoadingFramesThenTheTitleFadesInAfter1200ms) {
    std::string loading;
    for (const char* message :
         {"Awakening Beasts", "Getting Fired Up", "Bustin' Grooves", "Rocking Out",
          "Eating Cheese Toast", "Scrambling Eggs", "Illuminating"})
        loading += message + std::string("... @320.0,304.0 h18.0 C\n");
    EXPECT_EQ(startUp, loading);
    // Each loading frame is presented at once, nothing is an error, and the volume is the
    // player's from prefs.txt.
    EXPECT_TRUE(startUpSwaps == 6 && startUpVolume == 77) << startUpSwaps << " " << startUpVolume;
    EXPECT_EQ(startUpSaid.find("Error"), std::string::npos) << startUpSaid;

    frames(1200);
    EXPECT_FALSE(game->transitionManager.active) << "not before 1200 ms have passed";
    EXPECT_EQ(shows(), "Illuminating... @320.0,304.0 h18.0 C\n");
    ASSERT_TRUE(game->transitionManager.active);
    frames(240);
    EXPECT_EQ(game->currentScreen, BLANK_SCREEN) << "switches at the black middle";
    frames(32);
    EXPECT_EQ(game->currentScreen, SPLASH_SCREEN);
    frames(300);
    EXPECT_FALSE(game->transitionManager.active);
    // The menu at text size 30 from baseline 224, the highlighted entry larger; the help texts
    // enter the band from its right end, along the bottom.
    std::string title = shows();
    const size_t help = title.find("Use the");
    EXPECT_EQ(title.substr(0, help), "Start Game @320.0,224.0 h36.0 C\n"
                                     "High Scores @320.0,276.5 h31.5 C\n"
                                     "Options @320.0,329.0 h31.5 C\n"
                                     "Quit Game @320.0,381.5 h31.5 C\n");
    EXPECT_EQ(title.substr(help, 56), "Use the left, right and down keys to move your blocks. @");
    EXPECT_EQ(title.substr(title.size() - 15), ",448.0 h24.0 L\n");
    std::string messages;
    for (const auto& [message, marks] : game->helpMarquee->messages)
        messages += message + "|";
    EXPECT_EQ(messages,
              "Use the left, right and down keys to move your blocks.|Use the Z and X keys to "
              "rotate.|Press Escape to Pause.|Press F11 to toggle full screen.|Make 2x2 "
              "Blocks of the same color. When the sweeper passes, they will be cleared.|"
              "Enjoy!|");
}

TEST_F(PlinxFlow, TheMenuBlipsAtTheEffectsVolumeAndLeadsToTheTableAndBack) {
    reachTitle();
    hold(PKEY_DOWN);
    frame();
    EXPECT_EQ(slCountSounds(game->menuBlipSound) * 1000 +
                  slGetChannelVolume(slFindSound(game->menuBlipSound)),
              1077);
    letGo(PKEY_DOWN);
    tap({PKEY_RETURN});
    frames(600);
    ASSERT_FALSE(game->puzzle.playing);
    // The table (no other screen draws it): ten rows 35 apart from baseline 85, names from the
    // left, scores to the right; in a larger view the rows grow with its height.
    for (auto [width, height] : {std::pair{1280, 960}, {640, 480}}) {
        driver.windowWidth = width, driver.windowHeight = height;
        const float scale = height / 480.0f;
        char line[96];
        std::snprintf(line, sizeof line, "High Scores @%d.0,48.0 h36.0 C\n", width / 2);
        std::string expected = line;
        for (int row = 0; row < 10; row++) {
            const float y = scale * (85 + 35 * row), h = scale * 20;
            std::snprintf(line, sizeof line, "No One%d @64.0,%.1f h%.1f L\n%d @%d.0,%.1f h%.1f R\n",
                          row, y, h, 100 - 5 * row, width - 64, y, h);
            expected += line;
        }
        std::snprintf(line, sizeof line, "Continue @%d.0,%d.0 h25.2 C\n", width / 2, height - 32);
        EXPECT_EQ(shows(), expected + line);
    }
    tap({PKEY_RETURN});
    frames(600);
    EXPECT_EQ(game->currentScreen, SPLASH_SCREEN);
}

TEST_F(PlinxFlow, StartGameStartsTheBoardOnPaletteZeroAndShowsScoreLevelAndPause) {
    reachTitle();
    loseFocus();
    EXPECT_FALSE(game->paused) << "nothing to pause on the title";
    std::copy(levelList + 12, levelList + 16, colorList); // as the last game left them
    hold(PKEY_RETURN);
    frame();
    // The board starts while the title still shows, on palette 0 at once.
    EXPECT_TRUE(game->puzzle.playing && std::equal(colorList, colorList + 4, levelList));
    letGo(PKEY_RETURN);
    loseFocus(); // while the fade into the game still shows the title
    frames(600);
    EXPECT_TRUE(game->paused) << "the game arrives paused";
    tap({PKEY_ESCAPE});
    // Only the game draws these.
    const std::string readOuts = "Score : 0 @32.0,32.0 h32.0 L\nLevel : 1 @608.0,32.0 h32.0 R\n";
    EXPECT_EQ(shows(), readOuts);
    game->puzzle.score = 9;
    EXPECT_EQ(shows(), "Score : 9 @32.0,32.0 h32.0 L\nLevel : 2 @608.0,32.0 h32.0 R\n");
    game->puzzle.score = 0;
    frame();
    // Escape, or the focus lost, pauses; while paused the board stands still under the notice,
    // and only Escape resumes.
    for (bool escape : {true, false}) {
        escape ? tap({PKEY_ESCAPE}) : loseFocus();
        ASSERT_TRUE(game->paused);
        int row = game->puzzle.pieceY;
        frames(2000);
        EXPECT_EQ(game->puzzle.pieceY, row);
        EXPECT_EQ(shows(), readOuts + "Paused @320.0,240.0 h32.0 C\n");
        loseFocus();
        const bool stillPaused = game->paused;
        tap({PKEY_ESCAPE});
        EXPECT_TRUE(stillPaused && !game->paused);
        frames(1000);
        EXPECT_NE(game->puzzle.pieceY, row);
    }
    // A stalled process resumes with a quarter-second step at most.
    for (double ms : {16.0, 10000.0, 250.0, 400.0, 33.0}) {
        const float before = game->totalTime;
        frame(ms);
        EXPECT_NEAR(game->totalTime - before, std::min(ms, 250.0) / 1000, 1e-4) << ms;
    }
}

TEST_F(PlinxFlow, KeysMoveAndRotateThePieceAsTheyRepeat) {
    startGame();
    pPuzzle& board = game->puzzle;
    board.fallDelay = 1e9f; // the piece stays above the well
    std::vector<int> colours = {1, 2, 2, 2};
    std::copy(colours.begin(), colours.end(), board.piece);
    // Both arrows in one step: left is tried first and the move delay refuses the right.
    hold(PKEY_LEFT);
    hold(PKEY_RIGHT);
    frame();
    std::string columns = std::to_string(board.pieceX);
    letGo(PKEY_RIGHT);
    // Held, Left repeats after 250 ms and then as often as the move delay lets it.
    frames(200);
    columns += std::to_string(board.pieceX);
    frames(400);
    EXPECT_EQ(columns + std::to_string(board.pieceX), "660");
    letGo(PKEY_LEFT);
    // A held X turns once; Down drops the piece fast in the step after its press only.
    hold(PKEY_X);
    hold(PKEY_DOWN);
    for (double ms : {16.0, 200.0}) { // the first frame, and after: turned once, on the top row
        frames(ms);
        EXPECT_EQ(piece(), (std::vector<int>{2, 2, 1, 2})) << ms;
        EXPECT_EQ(board.pieceY, 1) << ms;
    }
    letGo(PKEY_X);
    letGo(PKEY_DOWN);
    tap({PKEY_Z});
    EXPECT_EQ(piece(), colours);
}

TEST_F(PlinxFlow, AHighScoreIsNamedOnceAndTheNameIsOfferedAgainNextTime) {
    playToGameOver(0);
    EXPECT_EQ(game->currentScreen, HIGH_SCORE_SCREEN) << "0 beats no row of the table";
    playToGameOver(1000);
    frames(300);
    tap({PKEY_Q, PKEY_Z});
    // The entry screen, with what was typed.
    EXPECT_EQ(shows(), "You Got A High Score! @320.0,48.0 h36.0 C\n"
                       "Press Return To Continue @320.0,448.0 h24.0 C\n"
                       "Enter Name: @320.0,208.0 h24.0 C\nqz @320.0,240.0 h24.0 C\n");
    // Return held for a second: this screen's key repeat presses it again and again.
    hold(PKEY_RETURN);
    frames(1000);
    letGo(PKEY_RETURN);
    frames(100);
    EXPECT_EQ(std::to_string(game->currentScreen) + game->highScoreList.getName(0) +
                  std::to_string(game->highScoreList.getScore(0)) +
                  std::to_string(game->highScoreList.getScore(1)),
              std::to_string(HIGH_SCORE_SCREEN) + "qz1000100");
    std::string saved = readFileBytes(userData.file("scores.txt"));
    EXPECT_TRUE(saved.find("qz") != std::string::npos && saved.find("qz") == saved.rfind("qz"));
    EXPECT_EQ(shows().find("could not"), std::string::npos);
    // The next high score offers the same name; Return while the screen still fades in takes
    // it, and the screen is left once that fade is over.
    playToGameOver(6000);
    ASSERT_EQ(game->currentScreen, HIGH_SCORE_ENTRY_SCREEN);
    ASSERT_TRUE(game->transitionManager.active);
    std::string entry = shows();
    EXPECT_EQ(entry.substr(entry.rfind("qz")), "qz @320.0,240.0 h24.0 C\n");
    {
        FileSizeLimit fullDisk(100); // this save fails
        tap({PKEY_RETURN});
    }
    EXPECT_EQ(game->highScoreList.getName(0) + std::to_string(game->highScoreList.getScore(0)),
              "qz6000");
    frames(800);
    // Each score went in once. Standard output is not where a player looks: the table (only
    // that screen draws its rows and "Continue") says it.
    EXPECT_EQ(game->highScoreList.getScore(2), 100);
    EXPECT_NE(shows().find("No One7 @64.0,400.0 h20.0 L\n65 @576.0,400.0 h20.0 R\n"
                           "Your score could not be saved. @320.0,419.0 h13.0 C\nContinue"),
              std::string::npos);
}

TEST_F(PlinxFlow, TheTitleImageShrinksToHalfAtTheBlackMiddleOfAFade) {
    reachTitle();
    // The lit columns of the title image's middle rows, drawn alone at that darkness.
    auto width = [this](void (pPlinx::*screen)(), float darkness, int row) {
        game->transitionManager.active = darkness > 0;
        game->transitionManager.darkness = darkness;
        game->totalTime = 0;
        glClear(GL_COLOR_BUFFER_BIT);
        pOGLUtil::setOrthographicProjection(kWidth, kHeight);
        (game->*screen)();
        game->transitionManager.active = false;
        int left = kWidth, right = -1;
        for (int x = 0; x < kWidth; x++)
            if (litPixels(x, row - 10, x + 1, row + 10, 40) > 0)
                left = std::min(left, x), right = x;
        return right - left + 1;
    };
    // The title screen's blurred image at 30 % of the height, the game screen's at a sixth.
    for (auto [screen, row, full] :
         {std::tuple{&pPlinx::drawSplashScreen, 144, 346}, {&pPlinx::drawMainGame, 80, 327}})
        for (float darkness : {0.0f, 0.5f, 1.0f})
            EXPECT_NEAR(width(screen, darkness, row), full * (1 - darkness / 2), darkness ? 8 : 4);
}

// Command+F and F11 switch once per press (a held key does not repeat it), with the lines the
// player's terminal shows; the title gets no update in the switching step, so a Return held
// with them does not start the game; F alone does nothing.
TEST_F(PlinxFlow, CommandFAndF11ToggleFullScreenOncePerPress) {
    reachTitle();
    testing::internal::CaptureStdout();
    tap({PKEY_F});
    for (PKEYCODE key : {PKEY_F, PKEY_F11}) {
        sendModifiers(key == PKEY_F ? PMODIFIER_COMMAND : 0);
        hold(key);
        hold(PKEY_RETURN);
        frames(1000);
        EXPECT_TRUE(!game->puzzle.playing && game->viewWidth == 1024);
        letGo(key);
        letGo(PKEY_RETURN);
        frame();
        tap({key});
        EXPECT_EQ(game->viewWidth, 640);
    }
    sendModifiers(0);
    EXPECT_EQ(driver.entered * 10 + driver.left, 22);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "key enter\nkey exit\nkey enter\nkey exit\n");
}

// For a test that starts the game in a process of its own.
struct PlinxAssets : GameOnFakeDriver {
    PlinxAssets() { startsTheGame = false; }
};

// An asset missing, unreadable, or a bad copy of it in the player's folder in front of the
// shipped one: each is named, the shipped copy loads where there is one, the game plays
// to its end without the rest, and Quit Game leaves with status 0, the preferences saved.
TEST_F(PlinxAssets, EachBadAssetIsNamedAndTheGamePlaysAndQuitsWithoutIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child runs this test again from the start; it saves where the parent looks.
    setenv("PLINX_ASSETS_TEST_FOLDER", userData.path().c_str(), 0);
    const std::string player = std::getenv("PLINX_ASSETS_TEST_FOLDER");
    TempFolder shipped;
    for (std::string name : {"prefs.txt", "Brisk.tga", "menublip.mp3", "bg.tga", "block.tga"})
        std::filesystem::copy_file(PLINX_SOURCE_DIR "/Resources/" + name, shipped.file(name));
    writeFileBytes(shipped.file("splash.tga"), "not a picture");
    for (std::string name : {"Brisk.tga", "menublip.mp3", "bg.tga", "block.tga"})
        writeFileBytes(player + "/" + name, name == "menublip.mp3" ? "" : "not a picture");
    EXPECT_EXIT(
        {
            dup2(2, 1); // the messages go to standard output; let the check see them
            setResourceFolder(shipped.path());
            setUserDataFolder(player);
            std::atexit(release);
            playToGameOver(0);
            if (!text->setCurrentFont("Brisk") || !slGetSoundDuration(game->menuBlipSound))
                std::abort();
            reachTitle();
            game->mainMenu.currChoice = 3;
            tap({PKEY_RETURN});
            std::abort();
        },
        ::testing::ExitedWithCode(0),
        "Error, cannot load Brisk.tga.\n[^\n]*Brisk.tga is not a file the game can read; using "
        "the copy the game came with, [^\n]*plinx-test[^\n]*Brisk.tga.\n"
        ".*Error, cannot load tallowbrook.tga.\nIt belongs in [^\n]*plinx-test[^\n]*\n"
        ".*Error, cannot load menublip.mp3.\n[^\n]*menublip.mp3 is not [^\n]*; using the copy "
        ".*Error, cannot load splash.tga.\n[^\n]*splash.tga is not [^\n]*; going on without it"
        ".*Error, cannot load bg.tga.\n[^\n]*bg.tga is not [^\n]*; using the copy "
        ".*Error, cannot load block.tga.\n[^\n]*block.tga is not [^\n]*; using the copy ");
    EXPECT_NE(readFileBytes(player + "/prefs.txt").find("{\nfxVolume\n256\n}"), std::string::npos);
    unsetenv("PLINX_ASSETS_TEST_FOLDER"); // a repeat gets a folder of its own
}

} // namespace
