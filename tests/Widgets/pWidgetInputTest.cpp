#include "Widgets/pHorizontalSlider.h"
#include "Widgets/pImageButton.h"
#include "Widgets/pVerticalButtonMenu.h"

#include "Platform/pResourceFolder.h"
#include "tests/Input/InputFixture.h"
#include "tests/support/TempFolder.h"

#include <cmath>

// Input rules only: the resource folder is empty, so no widget picture (and no GL) is involved.
class WidgetInputTest : public InputTest {
protected:
    TempFolder empty;

    void SetUp() override {
        InputTest::SetUp();
        setResourceFolder(empty.path());
        setUserDataFolder(empty.path());
    }
    void TearDown() override {
        setResourceFolder("");
        setUserDataFolder("");
    }
    void moveTo(int x, int y) { sendMouse(PEVENT_MOUSE_MOVED, 0, int16_t(x), int16_t(y), 0); }
    void buttonDown() { sendMouse(PEVENT_MOUSE_DOWN, PMOUSE_BUTTON_PRIMARY, 0, 0, 0); }
    void buttonUp() { sendMouse(PEVENT_MOUSE_UP, PMOUSE_BUTTON_PRIMARY, 0, 0, 0); }
};

TEST_F(WidgetInputTest, SliderFollowsTheDraggedPointerWithinItsRange) {
    pHorizontalSlider slider;
    slider.setRect(100, 200, 50, 10);
    EXPECT_EQ(slider.capSize, 20.0f);
    slider.maxValue = 100;

    // Outside the grab area (42..157 by 190..210 once truncated, edges excluded) a press does
    // nothing.
    for (auto [x, y] : {std::pair{42, 200}, {157, 200}, {100, 190}, {100, 210}}) {
        moveTo(x, y);
        buttonDown();
        slider.listenForEventsAndUpdate();
        frame();
        buttonUp();
        frame();
        EXPECT_EQ(slider.dragging, 0) << x << "," << y;
    }
    EXPECT_EQ(slider.value, 0);

    moveTo(75, 200);
    buttonDown();
    slider.listenForEventsAndUpdate();
    frame();
    EXPECT_EQ(slider.dragging, 1);
    EXPECT_EQ(slider.value, 25);
    EXPECT_EQ(slider.currValXCoord(), 75.0f);
    // Held, the knob follows the pointer off the track, clamped to the range.
    moveTo(400, 900);
    slider.listenForEventsAndUpdate();
    frame();
    EXPECT_EQ(slider.value, 100);
    moveTo(-3000, 0);
    slider.listenForEventsAndUpdate();
    frame();
    EXPECT_EQ(slider.value, 0);
    moveTo(149, 0);
    buttonUp();
    slider.listenForEventsAndUpdate();
    frame();
    EXPECT_EQ(slider.dragging, 0);
    EXPECT_EQ(slider.value, 99);
    moveTo(60, 200);
    slider.listenForEventsAndUpdate();
    EXPECT_EQ(slider.value, 99);

    // Values below zero round like the others: 10% along -50..50 is -40.
    slider.minValue = -50;
    slider.maxValue = 50;
    buttonDown();
    slider.listenForEventsAndUpdate();
    EXPECT_EQ(slider.value, -40);
}

TEST_F(WidgetInputTest, SliderWithoutRangeOrWidthStaysPut) {
    pHorizontalSlider slider;
    struct Case {
        float halfWidth;
        int min, max;
    };
    for (Case c : {Case{50, 5, 5}, Case{0, 0, 100}, Case{50, 10, 0}, Case{-20, 0, 100}}) {
        slider.setRect(100, 200, c.halfWidth, 10);
        slider.minValue = c.min;
        slider.maxValue = c.max;
        slider.value = 5;
        moveTo(100, 200);
        buttonDown();
        slider.listenForEventsAndUpdate();
        frame();
        buttonUp();
        frame();
        EXPECT_EQ(slider.value, 5);
        EXPECT_EQ(slider.dragging, 0);
        EXPECT_TRUE(std::isfinite(slider.currValXCoord()));
    }
}

TEST_F(WidgetInputTest, ImageButtonLightsOnlyAfterDiagonalMovementThenClicks) {
    pImageButton button("missing.tga");
    button.x = 100;
    button.y = 100;
    button.halfWidth = 40;
    button.halfHeight = 20;
    float left, right, bottom, top;
    button.getBoxRect(left, right, bottom, top);
    EXPECT_EQ(left, 60.0f);
    EXPECT_EQ(top, 120.0f);

    moveTo(100, 100);
    frame();
    moveTo(110, 100); // straight across: not yet
    button.listenForEventsAndUpdate();
    frame();
    EXPECT_EQ(button.highlighted, 0);
    buttonDown();
    button.listenForEventsAndUpdate();
    EXPECT_EQ(button.clicked, 0);
    frame();
    buttonUp();
    moveTo(105, 105);
    button.listenForEventsAndUpdate();
    frame();
    EXPECT_EQ(button.highlighted, 1);
    EXPECT_EQ(button.hovered, 1);
    buttonDown();
    button.listenForEventsAndUpdate();
    EXPECT_EQ(button.clicked, 1);
    frame();
    button.listenForEventsAndUpdate();
    EXPECT_EQ(button.clicked, 0);
    button.draw(0); // no picture: draws nothing, breaks nothing
}

TEST_F(WidgetInputTest, ButtonMenuSkipsInactiveButtonsAndConfirmsOnce) {
    pVerticalButtonMenu menu;
    EXPECT_EQ(menu.getCurrChoice(), "");
    press(PKEY_DOWN);
    press(PKEY_RETURN);
    menu.listenForEventsAndUpdate(); // no buttons: nothing to move to or confirm
    EXPECT_EQ(menu.getConfirmedChoice(), "nothing_confirmed");
    frame();
    release(PKEY_DOWN);
    release(PKEY_RETURN);
    frame();

    menu.addChoice("One");
    menu.addChoice("Two");
    menu.addChoice("Three");
    menu.setInactive("Three");
    auto tap = [&](PKEYCODE key) {
        press(key);
        menu.listenForEventsAndUpdate();
        frame();
        release(key);
        frame();
    };
    tap(PKEY_UP);
    EXPECT_EQ(menu.getCurrChoice(), "Two");
    EXPECT_EQ(menu.buttons[1].highlighted, 1);
    EXPECT_EQ(menu.buttons[0].highlighted, 0);
    tap(PKEY_DOWN);
    EXPECT_EQ(menu.current, 0);
    tap(PKEY_DOWN);
    tap(PKEY_UP);
    EXPECT_EQ(menu.current, 0);

    tap(PKEY_RETURN);
    EXPECT_EQ(menu.getConfirmedChoice(), "One");
    EXPECT_EQ(menu.getConfirmedChoice(), "nothing_confirmed");
    tap(PKEY_SPACE);
    EXPECT_EQ(menu.getConfirmedChoice(), "One");

    // A button switched off under the cursor cannot be confirmed.
    menu.setInactive("One");
    tap(PKEY_RETURN);
    EXPECT_EQ(menu.getConfirmedChoice(), "nothing_confirmed");
    menu.setActive("Three");
    tap(PKEY_UP);
    EXPECT_EQ(menu.getCurrChoice(), "Three");
}
