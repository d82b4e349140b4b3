// Keys that go down and up again between two frames, as quick fingers and scripted input do.
#include "tests/Input/InputFixture.h"

using QuickTapTest = InputTest;

TEST_F(QuickTapTest, ATapBetweenTwoFramesIsPressedForOneFrame) {
    struct Case {
        const char* what;
        bool repeat;
        bool heldBefore; // down across the frame before the tap
    };
    for (Case c : {Case{"tap", false, false}, Case{"tap with repeat on", true, false},
                   Case{"released and pressed again", false, true}}) {
        SCOPED_TRACE(c.what);
        input->init();
        if (c.repeat)
            keyboard->enableRepeat(250.0, 20.0);
        if (c.heldBefore) {
            hold(PKEY_RETURN);
            frame();
            clock.advance(33);
            EXPECT_FALSE(keyboard->keyPressed(PKEY_RETURN, 0)) << "held, no repeat: no press";
            letGo(PKEY_RETURN);
        }
        hold(PKEY_RETURN);
        letGo(PKEY_RETURN);
        EXPECT_FALSE(keyboard->keyDown(PKEY_RETURN, 0));
        EXPECT_TRUE(keyboard->keyPressed(PKEY_RETURN, 0));
        EXPECT_TRUE(keyboard->keyPressed(PKEY_RETURN, 0)) << "every reader of the frame sees it";
        frame();
        // The second update step of the frame, and the frames after, see nothing.
        EXPECT_FALSE(keyboard->keyPressed(PKEY_RETURN, 0));
        clock.advance(300);
        frame();
        EXPECT_FALSE(keyboard->keyPressed(PKEY_RETURN, 0));
    }
}

// Only a key going down is a press: not a held modifier reported again with another one, nor a
// tap that a lock hid.
TEST_F(QuickTapTest, OnlyAKeyGoingDownIsATap) {
    sendModifiers(PMODIFIER_COMMAND);
    frame();
    sendModifiers(PMODIFIER_COMMAND | PMODIFIER_SHIFT);
    sendModifiers(PMODIFIER_COMMAND);
    EXPECT_FALSE(keyboard->keyPressed(PKEY_COMMAND, 0));
    EXPECT_TRUE(keyboard->keyPressed(PKEY_SHIFT, 0));
    frame();

    unsigned int holder = input->getMutex();
    ASSERT_TRUE(input->lock(holder));
    hold(PKEY_Z);
    letGo(PKEY_Z);
    EXPECT_FALSE(keyboard->keyPressed(PKEY_Z, holder));
    ASSERT_TRUE(input->unlock(holder));
    EXPECT_FALSE(keyboard->keyPressed(PKEY_Z, 0));
}
