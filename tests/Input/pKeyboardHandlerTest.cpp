#include "Input/pActionKeyHandler.h"
#include "tests/support/Fakes.h"

#include <tuple>

using KeyboardTest = InputTest;

// Without repeat a held key is pressed once and released once; with it, it is pressed again
// after the delay, then at the rate.
TEST_F(KeyboardTest, AHeldKeyIsPressedOnceOrRepeatsAfterTheDelayThenAtTheRate) {
    hold(PKEY_Z);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_Z, 0) && keyboard->keyWasUp(PKEY_Z, 0));
    frame();
    // The second update step of the same frame sees no fresh press.
    EXPECT_FALSE(keyboard->keyPressed(PKEY_Z, 0));
    clock.advance(500);
    EXPECT_FALSE(keyboard->keyPressed(PKEY_Z, 0));
    EXPECT_TRUE(keyboard->keyDown(PKEY_Z, 0) && keyboard->keyWasDown(PKEY_Z, 0));
    letGo(PKEY_Z);
    EXPECT_TRUE(keyboard->keyUnpressed(PKEY_Z, 0) && keyboard->keyUp(PKEY_Z, 0));
    frame();
    EXPECT_FALSE(keyboard->keyUnpressed(PKEY_Z, 0));

    keyboard->enableRepeat(250.0, 20.0);
    hold(PKEY_LEFT);
    std::string pressedAt;
    for (int t = 0; t <= 1000; t += 16) {
        if (keyboard->keyPressed(PKEY_LEFT, 0))
            pressedAt += std::to_string(t) + " ";
        frame();
        clock.advance(16);
    }
    // The first poll past 250 ms, then every poll more than 20 ms after the previous press.
    EXPECT_EQ(pressedAt, "0 256 288 320 352 384 416 448 480 512 544 576 608 640 672 704 736 768 "
                         "800 832 864 896 928 960 992 ");
    // The waits are strict; a reset (1) makes the held key wait the whole delay again, but only
    // while repeating (2: reset with repeat off, then on again).
    letGo(PKEY_LEFT);
    frame();
    hold(PKEY_LEFT);
    EXPECT_TRUE(keyboard->keyPressed(PKEY_LEFT, 0));
    frame();
    const std::tuple<int, int, bool> steps[] = {{0, 250, false}, {0, 1, true},    {0, 20, false},
                                                {0, 1, true},    {1, 200, false}, {0, 51, true},
                                                {2, 30, true}};
    for (auto [reset, wait, pressed] : steps) {
        if (reset == 2)
            keyboard->disableRepeat();
        if (reset > 0)
            keyboard->resetRepeat(PKEY_LEFT);
        keyboard->enableRepeat();
        clock.advance(wait);
        EXPECT_EQ(keyboard->keyPressed(PKEY_LEFT, 0), pressed) << reset << " " << wait;
    }
}

// A key that goes down and up again between two frames (quick fingers, scripted input) is
// pressed for every reader of that frame and for no later one: with repeat off or on, and when
// let go and pressed again. Its events are read in that frame.
TEST_F(KeyboardTest, ATapBetweenTwoFramesIsPressedForThatFrameOnly) {
    for (auto [repeat, heldBefore, expected] : {std::tuple{false, false, "011 du 000"},
                                                {true, false, "011 du 000"},
                                                {false, true, "0011 udu 000"}}) {
        input->init();
        std::string seen;
        auto pressed = [&] { return std::to_string(keyboard->keyPressed(PKEY_RETURN, 0)); };
        if (repeat)
            keyboard->enableRepeat(250.0, 20.0);
        if (heldBefore) {
            hold(PKEY_RETURN);
            frame();
            clock.advance(33);
            seen += pressed(); // held: no press
            letGo(PKEY_RETURN);
        }
        hold(PKEY_RETURN);
        letGo(PKEY_RETURN);
        seen += std::to_string(keyboard->keyDown(PKEY_RETURN, 0)) + pressed() + pressed() + " ";
        for (pKeyIterator it = keyboard->getKeyIterator(0); it.hasMoreEvents();)
            seen += it.getNext().down ? "d" : "u";
        // The second update step of the frame, and the frames after, see nothing.
        frame();
        seen += " " + pressed();
        clock.advance(300);
        frame();
        seen += pressed() + std::to_string(keyboard->getKeyIterator(0).hasMoreEvents());
        EXPECT_EQ(seen, expected);
    }
    // Only a key going down is a press: not a held modifier reported again with another one,
    // nor a tap that a lock hid.
    sendModifiers(PMODIFIER_COMMAND);
    frame();
    sendModifiers(PMODIFIER_COMMAND | PMODIFIER_SHIFT);
    sendModifiers(PMODIFIER_COMMAND);
    EXPECT_TRUE(!keyboard->keyPressed(PKEY_COMMAND, 0) && keyboard->keyPressed(PKEY_SHIFT, 0));
    frame();
    ASSERT_TRUE(input->lock(5));
    hold(PKEY_Z);
    letGo(PKEY_Z);
    EXPECT_FALSE(keyboard->keyPressed(PKEY_Z, 5));
    ASSERT_TRUE(input->unlock(5));
    EXPECT_FALSE(keyboard->keyPressed(PKEY_Z, 0));
}

TEST_F(KeyboardTest, UnknownKindsAndOutOfRangeCodesAreLeftAlone) {
    EXPECT_EQ(sendKey(PEVENT_RAW_KEY_REPEAT, PKEY_X), PEVENT_NOT_HANDLED);
    EXPECT_EQ(sendKey(PEVENT_RAW_KEY_DOWN, 128), PEVENT_NOT_HANDLED);
    EXPECT_EQ(sendKey(PEVENT_RAW_KEY_UP, 0xFFFFFFFFu), PEVENT_NOT_HANDLED);
    EXPECT_EQ(sendKey(PEVENT_RAW_KEY_DOWN, PKEY_X, PEVENT_CLASS_MOUSE), PEVENT_NOT_HANDLED);
    EXPECT_TRUE(!keyboard->keyDown(PKEY_X, 0) && !keyboard->getKeyIterator(0).hasMoreEvents());
    // Codes without a name are keys like any other.
    EXPECT_EQ(sendKey(PEVENT_RAW_KEY_DOWN, 127), PEVENT_HANDLED);
    EXPECT_TRUE(keyboard->keyPressed(PKEYCODE(127), 0));
    EXPECT_FALSE(keyboard->keyDown(PKEYCODE(128), 0) || keyboard->keyDown(PKEYCODE(-1), 0));
}

// Every named key: its name, and the character it types (0 for none).
TEST_F(KeyboardTest, KeyNamesAndCharacters) {
    std::string names, typed;
    for (int k = 0; k < 128; k++) {
        std::string name = keyboard->keycodeToIdentifier(PKEYCODE(k));
        if (name == "???")
            continue;
        names += name + " ";
        char c = keyboard->keycodeToPrintable(PKEYCODE(k));
        typed += c ? c : '_';
    }
    EXPECT_EQ(names,
              "a s d f h g z x c v b q w e r y t 1 2 3 4 6 5 = 9 7 - 8 0 ] o u [ i p Return l "
              "j ' k ; \\ , / n m . Tab Space ` Backspace Esc Command Shift Caps Lock Option "
              "Control Num . Num * Num + Num / Num - Num = Num 0 Num 1 Num 2 Num 3 Num 4 Num "
              "5 Num 6 Num 7 Num 8 Num 9 F5 F6 F7 F3 F8 F9 F11 F13 F10 F12 Help Home Page Up "
              "Delete F4 End F2 Page Down F1 Left Right Down Up ");
    EXPECT_EQ(typed, "asdfhgzxcvbqweryt123465=97-80]ou[ip_lj'k;\\,/nm._ `_______.*+/-=0123456789"
                     "_______________________");
    EXPECT_EQ(keyboard->keycodeToIdentifier(PKEYCODE(4000)), "???");
    EXPECT_EQ(keyboard->keycodeToPrintable(PKEYCODE(-3)), 0);
}

// Who reads the input while one listener holds the lock: the holder the plain state only, the
// others nothing; let go, the held input is cleared until pressed again.
TEST_F(InputTest, OnlyTheLockHolderIsServedAndUnlockClearsHeldInput) {
    unsigned int first = input->getMutex();
    EXPECT_EQ(input->getMutex(), first + 1);
    hold(PKEY_DOWN);
    sendMouse(PEVENT_MOUSE_DOWN, 0, 0, PMOUSE_BUTTON_PRIMARY);
    sendMouse(PEVENT_MOUSE_MOVED, 40, 30);
    sendMouse(PEVENT_MOUSE_WHEEL_MOVED, 0, 0, 0, 3);
    ASSERT_TRUE(input->lock(1));
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
    EXPECT_EQ(reads(0) + "|" + reads(4) + "|" + reads(1),
              "00000 0,0,0,0|00000 0,0,0,0|10110 40,30,0,3");
    // Named actions read as everybody, so not while somebody holds the lock.
    pActionKeyHandler::instance()->setActionKey("test drop", PKEY_DOWN);
    EXPECT_FALSE(pActionKeyHandler::instance()->keyDown("test drop"));
    EXPECT_TRUE(!input->unlock(4) && input->unlock(1));
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
