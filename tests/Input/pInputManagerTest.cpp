#include "Input/pActionKeyHandler.h"
#include "tests/Input/InputFixture.h"

// Taken during start-up, before the handler's own file may have run its initialisers.
static pActionKeyHandler* const handlerAtStartUp = pActionKeyHandler::instance();

// Who reads the input while one listener holds the lock: the holder the plain state only, the
// others nothing; let go, the held input is cleared until pressed again.
TEST_F(InputTest, OnlyTheLockHolderIsServedAndUnlockClearsHeldInput) {
    unsigned int first = input->getMutex();
    EXPECT_EQ(input->getMutex(), first + 1);
    hold(PKEY_DOWN);
    sendMouse(PEVENT_MOUSE_DOWN, 0, 0, PMOUSE_BUTTON_PRIMARY);
    sendMouse(PEVENT_MOUSE_MOVED, 40, 30);
    sendMouse(PEVENT_MOUSE_WHEEL_MOVED, 0, 0, 0, 3);
    ASSERT_TRUE(input->lock(3));
    EXPECT_FALSE(input->lock(4));
    auto reads = [&](unsigned int who) {
        return std::to_string(keyboard->keyDown(PKEY_DOWN, who)) +
               std::to_string(keyboard->keyPressed(PKEY_DOWN, who)) +
               std::to_string(keyboard->getKeyIterator(who).hasMoreDownEvents()) +
               std::to_string(mouse->buttonDown(PBUTTON_LEFT, who)) +
               std::to_string(mouse->buttonPressed(PBUTTON_LEFT, who)) + " " +
               std::to_string(mouse->getX(who)) + "," + std::to_string(mouse->getY(who)) + "," +
               std::to_string(mouse->getDeltaX(who)) + "," +
               std::to_string(mouse->getDeltaWheel(who));
    };
    EXPECT_EQ(reads(0) + "|" + reads(4) + "|" + reads(3),
              "00000 0,0,0,0|00000 0,0,0,0|10110 40,30,0,3");
    EXPECT_FALSE(input->unlock(4));
    EXPECT_TRUE(input->unlock(3));
    frame();
    EXPECT_EQ(reads(0), "00000 40,30,0,0");
    letGo(PKEY_DOWN);
    frame();
    hold(PKEY_DOWN);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_DOWN, 0));
    // Lock 0 is everybody's; unlocking it still clears.
    EXPECT_TRUE(input->lock(0) && input->validMutex(9) && input->unlock(0));
    EXPECT_FALSE(keyboard->keyDown(PKEY_DOWN, 0));
}

static int handledByNext(void*, pEvent*, void*) {
    return PEVENT_HANDLED;
}

TEST_F(InputTest, MouseButtonsPositionDeltasAndWheel) {
    sendMouse(PEVENT_MOUSE_MOVED, 120, 90); // the first frame measures from the cleared position
    std::string seen =
        std::to_string(mouse->getDeltaX(0)) + "," + std::to_string(mouse->getDeltaY(0));
    frame();
    sendMouse(PEVENT_MOUSE_DRAGGED, -5, 100);
    seen += " " + std::to_string(mouse->getX(0)) + "," + std::to_string(mouse->getY(0)) + "," +
            std::to_string(mouse->getDeltaX(0)) + "," + std::to_string(mouse->getDeltaY(0));
    EXPECT_EQ(seen, "120,90 -5,100,-125,10");
    // The secondary and tertiary buttons are the right one; the handler passes the event on and
    // answers with the rest of the chain.
    EXPECT_EQ(sendMouse(PEVENT_MOUSE_DOWN, 0, 0, PMOUSE_BUTTON_SECONDARY), PEVENT_NOT_HANDLED);
    sendMouse(PEVENT_MOUSE_DOWN, 0, 0, PMOUSE_BUTTON_TERTIARY);
    EXPECT_TRUE(mouse->buttonPressed(PBUTTON_RIGHT, 0) && mouse->buttonUp(PBUTTON_LEFT, 0));
    frame();
    EXPECT_FALSE(mouse->buttonPressed(PBUTTON_RIGHT, 0));
    sendMouse(PEVENT_MOUSE_UP, 0, 0, PMOUSE_BUTTON_SECONDARY);
    EXPECT_TRUE(mouse->buttonUnpressed(PBUTTON_RIGHT, 0) && mouse->buttonWasDown(PBUTTON_RIGHT, 0));
    sendMouse(PEVENT_MOUSE_WHEEL_MOVED, 0, 0, 0, 2);
    sendMouse(PEVENT_MOUSE_WHEEL_MOVED, 0, 0, 0, -7);
    EXPECT_EQ(mouse->getDeltaWheel(0), -7);
    frame();
    EXPECT_EQ(mouse->getDeltaWheel(0), 0);
    pEventHandlerCall next{handledByNext, nullptr, nullptr};
    EXPECT_EQ(sendMouse(PEVENT_MOUSE_DOWN, 0, 0, PMOUSE_BUTTON_PRIMARY, 0, &next), PEVENT_HANDLED);
    EXPECT_TRUE(mouse->buttonDown(PBUTTON_LEFT, 0));
}

TEST_F(InputTest, ActionsFollowTheirBoundKeysAndKeyEventsIterate) {
    ASSERT_EQ(handlerAtStartUp, pActionKeyHandler::instance());
    pActionKeyHandler* actions = handlerAtStartUp;
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
    clock.advance(251); // one repeat, for whichever action asks first
    EXPECT_TRUE(actions->keyPressed("ACTION_FIRE") && !actions->keyPressed("ACTION_ROTCW"));
    letGo(PKEY_X);
    EXPECT_TRUE(actions->keyUnpressed("ACTION_ROTCW") && actions->keyUp("ACTION_ROTCW"));
    hold(PKEY_A); // a name never bound answers for the A key
    EXPECT_TRUE(actions->keyDown("ACTION_MISSPELT") && actions->keyWasUp("ACTION_MISSPELT"));
    actions->actionKeys.erase("ACTION_MISSPELT");

    // The events of this frame: all, the downs or the ups; past the end a harmless up event.
    pKeyIterator it = keyboard->getKeyIterator(0);
    std::string seen = std::to_string(it.getNextUp().code);
    seen += std::to_string(it.hasMoreUpEvents());
    seen += std::to_string(it.hasMoreDownEvents());
    seen += std::to_string(it.getNextDown().code);
    seen += std::to_string(it.hasMoreEvents());
    seen += std::to_string(it.getNextDown().down);
    it.reset();
    seen += std::to_string(it.getNext().code);
    EXPECT_EQ(seen, "7010007");
    std::list<pKeyEvent> none;
    pKeyIterator empty(none);
    EXPECT_FALSE(empty.hasMoreEvents() || empty.hasMoreDownEvents() || empty.hasMoreUpEvents());
}
