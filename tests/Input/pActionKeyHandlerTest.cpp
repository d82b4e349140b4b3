#include "Input/pActionKeyHandler.h"

#include "tests/Input/InputFixture.h"

// Taken during start-up, before the handler's own file may have run its initialisers.
static pActionKeyHandler* const handlerAtStartUp = pActionKeyHandler::instance();

using ActionKeyTest = InputTest;

TEST_F(ActionKeyTest, ExistsFromStartUpOverTheOneKeyboard) {
    ASSERT_NE(handlerAtStartUp, nullptr);
    EXPECT_EQ(pActionKeyHandler::instance(), handlerAtStartUp);
    EXPECT_EQ(handlerAtStartUp->keyboard, keyboard);
}

TEST_F(ActionKeyTest, ActionsFollowTheirBoundKeys) {
    pActionKeyHandler* actions = pActionKeyHandler::instance();
    keyboard->enableRepeat(250.0, 20.0);
    actions->setActionKey("ACTION_ROTCW", PKEY_C);
    actions->setActionKey("ACTION_ROTCW", PKEY_X);
    actions->setActionKey("ACTION_FIRE", PKEY_X);
    EXPECT_EQ(actions->actionKeys.at("ACTION_ROTCW"), PKEY_X);

    press(PKEY_C);
    EXPECT_FALSE(actions->keyDown("ACTION_ROTCW"));
    press(PKEY_X);
    EXPECT_TRUE(actions->keyPressed("ACTION_ROTCW"));
    EXPECT_TRUE(actions->keyPressed("ACTION_FIRE"));
    frame();
    EXPECT_TRUE(actions->keyWasDown("ACTION_ROTCW"));
    clock.advance(251);
    // One repeat, for whichever action asks first.
    EXPECT_TRUE(actions->keyPressed("ACTION_FIRE"));
    EXPECT_FALSE(actions->keyPressed("ACTION_ROTCW"));
    release(PKEY_X);
    EXPECT_TRUE(actions->keyUnpressed("ACTION_ROTCW"));
    EXPECT_TRUE(actions->keyUp("ACTION_ROTCW"));

    // A name never bound answers for the A key and stays bound to it.
    press(PKEY_A);
    EXPECT_TRUE(actions->keyDown("ACTION_MISSPELT"));
    EXPECT_EQ(actions->actionKeys.at("ACTION_MISSPELT"), PKEY_A);
    EXPECT_TRUE(actions->keyWasUp("ACTION_MISSPELT"));
}
