#include "tests/Input/InputFixture.h"

using LockTest = InputTest;

TEST_F(LockTest, OnlyTheHolderIsServedAndUnlockClearsHeldInput) {
    EXPECT_TRUE(input->validMutex(0));
    EXPECT_TRUE(input->validMutex(12345));
    unsigned int first = input->getMutex();
    EXPECT_EQ(input->getMutex(), first + 1);

    press(PKEY_DOWN);
    sendMouse(PEVENT_MOUSE_DOWN, PMOUSE_BUTTON_PRIMARY, 0, 0, 0);
    sendMouse(PEVENT_MOUSE_MOVED, 0, 40, 30, 0);
    sendMouse(PEVENT_MOUSE_WHEEL_MOVED, 0, 0, 0, 3);
    ASSERT_TRUE(input->lock(3));
    EXPECT_FALSE(input->lock(4));
    EXPECT_EQ(input->currentMutex, 3u);

    // Locked out: an idle keyboard and mouse.
    for (unsigned int other : {0u, 4u}) {
        EXPECT_FALSE(keyboard->keyDown(PKEY_DOWN, other));
        EXPECT_TRUE(keyboard->keyUp(PKEY_DOWN, other));
        EXPECT_FALSE(keyboard->keyPressed(PKEY_DOWN, other));
        EXPECT_FALSE(keyboard->getKeyIterator(other).hasMoreEvents());
        EXPECT_FALSE(mouse->buttonDown(PBUTTON_LEFT, other));
        EXPECT_EQ(mouse->getX(other), 0);
        EXPECT_EQ(mouse->getDeltaWheel(other), 0);
    }
    // The holder reads the plain state, but the composite queries stay quiet for it too.
    EXPECT_TRUE(keyboard->keyDown(PKEY_DOWN, 3));
    EXPECT_TRUE(keyboard->getKeyIterator(3).hasMoreDownEvents());
    EXPECT_FALSE(keyboard->keyPressed(PKEY_DOWN, 3));
    EXPECT_TRUE(mouse->buttonDown(PBUTTON_LEFT, 3));
    EXPECT_FALSE(mouse->buttonPressed(PBUTTON_LEFT, 3));
    EXPECT_EQ(mouse->getX(3), 40);
    EXPECT_EQ(mouse->getDeltaX(3), 0);
    EXPECT_EQ(mouse->getDeltaWheel(3), 3);

    EXPECT_FALSE(input->unlock(4));
    EXPECT_TRUE(input->unlock(3));
    frame();
    // Held through the lock: neither down nor pressed until pressed again.
    EXPECT_FALSE(keyboard->keyDown(PKEY_DOWN, 0));
    EXPECT_FALSE(keyboard->keyPressed(PKEY_DOWN, 0));
    EXPECT_FALSE(mouse->buttonDown(PBUTTON_LEFT, 0));
    release(PKEY_DOWN);
    frame();
    press(PKEY_DOWN);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_DOWN, 0));
}

TEST_F(LockTest, LockZeroAndUnlockZero) {
    press(PKEY_UP);
    EXPECT_TRUE(input->lock(0));
    EXPECT_EQ(input->currentMutex, 0u);
    EXPECT_TRUE(input->validMutex(9));
    EXPECT_TRUE(input->unlock(0));
    EXPECT_FALSE(keyboard->keyDown(PKEY_UP, 0));
}

using MouseTest = InputTest;

static int handledByNext(void*, pEvent*, void*) {
    return PEVENT_HANDLED;
}

TEST_F(MouseTest, ButtonsPositionDeltasAndWheel) {
    // The first frame measures from the cleared position.
    sendMouse(PEVENT_MOUSE_MOVED, 0, 120, 90, 0);
    EXPECT_EQ(mouse->getDeltaX(0), 120);
    EXPECT_EQ(mouse->getDeltaY(0), 90);
    frame();
    EXPECT_EQ(mouse->getDeltaX(0), 0);
    sendMouse(PEVENT_MOUSE_DRAGGED, 0, -5, 100, 0);
    EXPECT_EQ(mouse->getX(0), -5);
    EXPECT_EQ(mouse->getY(0), 100);
    EXPECT_EQ(mouse->getDeltaX(0), -125);
    EXPECT_EQ(mouse->getDeltaY(0), 10);

    EXPECT_EQ(sendMouse(PEVENT_MOUSE_DOWN, PMOUSE_BUTTON_SECONDARY, 0, 0, 0), PEVENT_NOT_HANDLED);
    sendMouse(PEVENT_MOUSE_DOWN, PMOUSE_BUTTON_TERTIARY, 0, 0, 0);
    EXPECT_TRUE(mouse->buttonPressed(PBUTTON_RIGHT, 0));
    EXPECT_FALSE(mouse->buttonDown(PBUTTON_LEFT, 0));
    frame();
    EXPECT_FALSE(mouse->buttonPressed(PBUTTON_RIGHT, 0));
    sendMouse(PEVENT_MOUSE_UP, PMOUSE_BUTTON_SECONDARY, 0, 0, 0);
    EXPECT_TRUE(mouse->buttonUnpressed(PBUTTON_RIGHT, 0));
    EXPECT_TRUE(mouse->buttonWasDown(PBUTTON_RIGHT, 0));

    sendMouse(PEVENT_MOUSE_WHEEL_MOVED, 0, 0, 0, 2);
    sendMouse(PEVENT_MOUSE_WHEEL_MOVED, 0, 0, 0, -7);
    EXPECT_EQ(mouse->getDeltaWheel(0), -7);
    frame();
    EXPECT_EQ(mouse->getDeltaWheel(0), 0);

    // The event is passed on and the rest of the chain's result is the handler's.
    pEventHandlerCall next{handledByNext, nullptr, nullptr};
    EXPECT_EQ(sendMouse(PEVENT_MOUSE_DOWN, PMOUSE_BUTTON_PRIMARY, 0, 0, 0, &next), PEVENT_HANDLED);
    EXPECT_TRUE(mouse->buttonDown(PBUTTON_LEFT, 0));
}
