#include "Input/pActionKeyHandler.h"
#include "tests/Input/InputFixture.h"

// Taken during start-up, before the handler's own file may have run its initialisers.
static pActionKeyHandler* const handlerAtStartUp = pActionKeyHandler::instance();

using LockTest = InputTest;

TEST_F(LockTest, OnlyTheHolderIsServedAndUnlockClearsHeldInput) {
    EXPECT_TRUE(input->validMutex(0) && input->validMutex(12345));
    unsigned int first = input->getMutex();
    EXPECT_EQ(input->getMutex(), first + 1);

    hold(PKEY_DOWN);
    sendMouse(PEVENT_MOUSE_DOWN, 0, 0, PMOUSE_BUTTON_PRIMARY);
    sendMouse(PEVENT_MOUSE_MOVED, 40, 30);
    sendMouse(PEVENT_MOUSE_WHEEL_MOVED, 0, 0, 0, 3);
    ASSERT_TRUE(input->lock(3));
    EXPECT_FALSE(input->lock(4));
    EXPECT_FALSE(input->validMutex(0));
    // Locked out: an idle keyboard and mouse.
    for (unsigned int other : {0u, 4u}) {
        EXPECT_FALSE(keyboard->keyDown(PKEY_DOWN, other) || keyboard->keyPressed(PKEY_DOWN, other));
        EXPECT_TRUE(keyboard->keyUp(PKEY_DOWN, other));
        EXPECT_FALSE(keyboard->getKeyIterator(other).hasMoreEvents());
        EXPECT_FALSE(mouse->buttonDown(PBUTTON_LEFT, other));
        EXPECT_EQ(mouse->getX(other) + mouse->getY(other) + mouse->getDeltaWheel(other), 0);
    }
    // The holder reads the plain state, but the composite queries stay quiet for it too.
    EXPECT_TRUE(keyboard->keyDown(PKEY_DOWN, 3));
    EXPECT_TRUE(keyboard->getKeyIterator(3).hasMoreDownEvents());
    EXPECT_FALSE(keyboard->keyPressed(PKEY_DOWN, 3));
    EXPECT_TRUE(mouse->buttonDown(PBUTTON_LEFT, 3));
    EXPECT_FALSE(mouse->buttonPressed(PBUTTON_LEFT, 3));
    EXPECT_EQ(mouse->getX(3), 40);
    EXPECT_EQ(mouse->getY(3), 30);
    EXPECT_EQ(mouse->getDeltaX(3), 0);
    EXPECT_EQ(mouse->getDeltaWheel(3), 3);

    EXPECT_FALSE(input->unlock(4));
    EXPECT_TRUE(input->unlock(3));
    frame();
    // Held through the lock: neither down nor pressed until pressed again.
    EXPECT_FALSE(keyboard->keyDown(PKEY_DOWN, 0) || keyboard->keyPressed(PKEY_DOWN, 0));
    EXPECT_FALSE(mouse->buttonDown(PBUTTON_LEFT, 0));
    letGo(PKEY_DOWN);
    frame();
    hold(PKEY_DOWN);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_DOWN, 0));
    // Lock 0 is everybody's; unlocking it still clears.
    EXPECT_TRUE(input->lock(0));
    EXPECT_TRUE(input->validMutex(9));
    EXPECT_TRUE(input->unlock(0));
    EXPECT_FALSE(keyboard->keyDown(PKEY_DOWN, 0));
}

using MouseTest = InputTest;

static int handledByNext(void*, pEvent*, void*) {
    return PEVENT_HANDLED;
}

TEST_F(MouseTest, ButtonsPositionDeltasAndWheel) {
    // The first frame measures from the cleared position.
    sendMouse(PEVENT_MOUSE_MOVED, 120, 90);
    EXPECT_EQ(mouse->getDeltaX(0), 120);
    EXPECT_EQ(mouse->getDeltaY(0), 90);
    frame();
    EXPECT_EQ(mouse->getDeltaX(0), 0);
    sendMouse(PEVENT_MOUSE_DRAGGED, -5, 100);
    EXPECT_EQ(mouse->getX(0), -5);
    EXPECT_EQ(mouse->getY(0), 100);
    EXPECT_EQ(mouse->getDeltaX(0), -125);
    EXPECT_EQ(mouse->getDeltaY(0), 10);

    EXPECT_EQ(sendMouse(PEVENT_MOUSE_DOWN, 0, 0, PMOUSE_BUTTON_SECONDARY), PEVENT_NOT_HANDLED);
    sendMouse(PEVENT_MOUSE_DOWN, 0, 0, PMOUSE_BUTTON_TERTIARY);
    EXPECT_TRUE(mouse->buttonPressed(PBUTTON_RIGHT, 0));
    EXPECT_FALSE(mouse->buttonDown(PBUTTON_LEFT, 0));
    frame();
    EXPECT_FALSE(mouse->buttonPressed(PBUTTON_RIGHT, 0));
    sendMouse(PEVENT_MOUSE_UP, 0, 0, PMOUSE_BUTTON_SECONDARY);
    EXPECT_TRUE(mouse->buttonUnpressed(PBUTTON_RIGHT, 0) && mouse->buttonUp(PBUTTON_RIGHT, 0));
    EXPECT_TRUE(mouse->buttonWasDown(PBUTTON_RIGHT, 0));

    sendMouse(PEVENT_MOUSE_WHEEL_MOVED, 0, 0, 0, 2);
    sendMouse(PEVENT_MOUSE_WHEEL_MOVED, 0, 0, 0, -7);
    EXPECT_EQ(mouse->getDeltaWheel(0), -7);
    frame();
    EXPECT_EQ(mouse->getDeltaWheel(0), 0);

    // The event is passed on and the rest of the chain's result is the handler's.
    pEventHandlerCall next{handledByNext, nullptr, nullptr};
    EXPECT_EQ(sendMouse(PEVENT_MOUSE_DOWN, 0, 0, PMOUSE_BUTTON_PRIMARY, 0, &next), PEVENT_HANDLED);
    EXPECT_TRUE(mouse->buttonDown(PBUTTON_LEFT, 0));
}

TEST_F(InputTest, ActionsFollowTheirBoundKeysOverTheOneKeyboard) {
    ASSERT_NE(handlerAtStartUp, nullptr);
    pActionKeyHandler* actions = pActionKeyHandler::instance();
    EXPECT_EQ(actions, handlerAtStartUp);
    EXPECT_EQ(actions->keyboard, keyboard);
    keyboard->enableRepeat(250.0, 20.0);
    actions->setActionKey("ACTION_ROTCW", PKEY_C);
    actions->setActionKey("ACTION_ROTCW", PKEY_X);
    actions->setActionKey("ACTION_FIRE", PKEY_X);
    hold(PKEY_C);
    EXPECT_FALSE(actions->keyDown("ACTION_ROTCW"));
    hold(PKEY_X);
    EXPECT_TRUE(actions->keyPressed("ACTION_ROTCW") && actions->keyPressed("ACTION_FIRE"));
    frame();
    EXPECT_TRUE(actions->keyWasDown("ACTION_ROTCW"));
    clock.advance(251);
    // One repeat, for whichever action asks first.
    EXPECT_TRUE(actions->keyPressed("ACTION_FIRE"));
    EXPECT_FALSE(actions->keyPressed("ACTION_ROTCW"));
    letGo(PKEY_X);
    EXPECT_TRUE(actions->keyUnpressed("ACTION_ROTCW") && actions->keyUp("ACTION_ROTCW"));
    // A name never bound answers for the A key and stays bound to it.
    hold(PKEY_A);
    EXPECT_TRUE(actions->keyDown("ACTION_MISSPELT"));
    EXPECT_EQ(actions->actionKeys.at("ACTION_MISSPELT"), PKEY_A);
    EXPECT_TRUE(actions->keyWasUp("ACTION_MISSPELT"));
    actions->actionKeys.erase("ACTION_MISSPELT");
    actions->actionKeys.erase("ACTION_FIRE");
}

TEST(pKeyIterator, FiltersDownAndUpEvents) {
    std::list<pKeyEvent> none;
    pKeyIterator empty(none);
    EXPECT_FALSE(empty.hasMoreEvents() || empty.hasMoreDownEvents() || empty.hasMoreUpEvents());
    std::list<pKeyEvent> events = {pKeyEvent(true, PKEY_Z), pKeyEvent(false, PKEY_Z),
                                   pKeyEvent(true, PKEY_X)};
    pKeyIterator it(events);
    EXPECT_TRUE(it.hasMoreUpEvents());
    pKeyEvent up = it.getNextUp();
    EXPECT_TRUE(!up.down && up.code == PKEY_Z);
    EXPECT_FALSE(it.hasMoreUpEvents());
    EXPECT_TRUE(it.hasMoreDownEvents());
    EXPECT_EQ(it.getNextDown().code, PKEY_X);
    EXPECT_FALSE(it.hasMoreEvents());
    // Asking past the end hands back a harmless up event and stays at the end.
    EXPECT_FALSE(it.getNextDown().down || it.getNext().down || it.hasMoreEvents());
    it.reset();
    EXPECT_EQ(it.getNextDown().code, PKEY_Z);
    EXPECT_EQ(it.getNextDown().code, PKEY_X);
}
