#include "Input/pInputManager.h"
#include "Input/pKeyConfigInterface.h"
#include "Input/pMouseHandler.h"
#include "Widgets/pHorizontalSlider.h"
#include "Widgets/pOptionallyActiveButton.h"
#include "Widgets/pVerticalButtonMenu.h"
#include "Widgets/pVerticalMarquee.h"

#include "Image/pTextureManager.h"
#include "Platform/pResourceFolder.h"
#include "Shell/pOGLUtil.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

// The widgets with the shipped pictures and the Brisk font, drawn into a real context.
class WidgetDrawingTest : public GLTestContext {
protected:
    TempFolder user;
    pMouseHandler* mouse = pMouseHandler::instance();

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(user.path());
        pInputManager::instance()->init();
        ASSERT_TRUE(
            pTextManager::instance()->loadAndSetFont(getResourcePath("Brisk.tga"), "Brisk"));
        pOGLUtil::setOrthographicProjection(kWidth, kHeight);
        // What the screens set up before they draw text.
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    void TearDown() override {
        // Textures and fonts belong to this test's context.
        pTextureManager::instance()->clearTextures();
        pTextManager::instance()->currentFont = nullptr;
        pTextManager::instance()->fonts.clear();
        setResourceFolder("");
        setUserDataFolder("");
        GLTestContext::TearDown();
    }
    void pointAt(int x, int y, bool pressed) {
        mouse->update();
        mouse->x = x;
        mouse->y = y;
        mouse->buttons[PBUTTON_LEFT] = pressed;
    }
    // Lit pixels in a rectangle, top-down coordinates.
    int inkIn(int left, int top, int right, int bottom) {
        std::vector<unsigned char> rgba = readAll();
        int count = 0;
        for (int y = top; y < bottom; y++)
            for (int x = left; x < right; x++)
                if (rgba[(size_t(kHeight - 1 - y) * kWidth + x) * 4] > 60)
                    count++;
        return count;
    }
};

TEST_F(WidgetDrawingTest, SliderDrawsTrackAndKnobWhereTheValueIs) {
    pHorizontalSlider slider;
    ASSERT_NE(slider.knob, nullptr);
    ASSERT_NE(slider.centre, nullptr);
    slider.setRect(320, 240, 100, 16);
    slider.maxValue = 10;
    slider.value = 10;
    slider.draw();
    // The knob is orange at the right end; the groove in the middle is dark but not empty.
    Rgba knob = pixel(420, 240);
    EXPECT_GT(knob[0], 150);
    EXPECT_GT(knob[0], knob[2] + 80);
    Rgba groove = pixel(320, 240);
    EXPECT_GT(groove[2], 0);
    EXPECT_LT(groove[0], 80);
    EXPECT_EQ(pixel(220, 240)[0] > 150, false);
    EXPECT_EQ(pixel(320, 220), (Rgba{0, 0, 0, 255})); // above the groove

    // While dragged the knob follows the pointer, kept on the track.
    glClear(GL_COLOR_BUFFER_BIT);
    slider.dragging = 1;
    pointAt(-500, 240, true);
    slider.draw();
    EXPECT_GT(pixel(220, 240)[0], 150);
    EXPECT_LT(pixel(420, 240)[0], 80);
}

TEST_F(WidgetDrawingTest, InactiveButtonIsFadedAndNeverClicks) {
    pOptionallyActiveButton on, off;
    on.active = 1;
    for (pOptionallyActiveButton* b : {&on, &off}) {
        b->label = "Options";
        b->size = 30;
        b->x = 320;
    }
    on.y = 100;
    off.y = 300;
    float left, right, bottom, top;
    on.getBoxRect(left, right, bottom, top);
    ASSERT_GT(right - left, 60.0f);
    EXPECT_EQ(bottom, 100 - 30 - 4.0f);
    EXPECT_EQ(top, 104.0f);
    on.draw(0);
    off.draw(0);
    // A point on the plate's face, left of the label: the inactive one is half as bright.
    const int faceX = static_cast<int>(left) + 20;
    Rgba bright = pixel(faceX, 85), faded = pixel(faceX, 285);
    ASSERT_GT(bright[2], 40);
    EXPECT_NEAR(faded[2], bright[2] / 2.0, 3);
    EXPECT_GT(inkIn(300, 70, 340, 100), inkIn(300, 270, 340, 300));

    for (pOptionallyActiveButton* b : {&on, &off}) {
        pointAt(320, static_cast<int>(b->y) - 15, false);
        b->listenForEventsAndUpdate();
        pointAt(320, static_cast<int>(b->y) - 15, true);
        b->listenForEventsAndUpdate();
    }
    EXPECT_EQ(on.clicked, 1);
    EXPECT_EQ(on.highlighted, 1);
    EXPECT_EQ(off.clicked, 0);
    EXPECT_EQ(off.highlighted, 0);
}

TEST_F(WidgetDrawingTest, ButtonMenuFollowsAndConfirmsWithThePointer) {
    pVerticalButtonMenu menu;
    menu.x = 320;
    menu.y = 100;
    menu.size = 20;
    menu.addChoice("Easy");
    menu.addChoice("Hard");
    menu.addChoice("Locked");
    menu.setInactive("Locked");
    // Row 1 spans y 115..135; the gap and an inactive row take nothing.
    pointAt(320, 125, false);
    pointAt(321, 126, false);
    menu.listenForEventsAndUpdate();
    EXPECT_EQ(menu.current, 1);
    pointAt(320, 107, false);
    menu.listenForEventsAndUpdate();
    pointAt(320, 160, true);
    menu.listenForEventsAndUpdate();
    EXPECT_EQ(menu.current, 1);
    EXPECT_EQ(menu.getConfirmedChoice(), "nothing_confirmed");
    pointAt(320, 125, false);
    menu.listenForEventsAndUpdate();
    pointAt(320, 125, true);
    menu.listenForEventsAndUpdate();
    EXPECT_EQ(menu.getConfirmedChoice(), "Hard");

    menu.draw(0);
    EXPECT_GT(inkIn(280, 80, 360, 100), 0);
    EXPECT_GT(inkIn(280, 150, 360, 170), 0);
}

TEST_F(WidgetDrawingTest, PanelHidesTheKeyOfTheRowItListensFor) {
    pKeyConfigInterface panel;
    panel.x = 320;
    panel.y = 100;
    panel.textHeight = 20;
    panel.setDefaultActions();
    panel.draw(0);
    EXPECT_GT(inkIn(100, 80, 300, 100), 0); // "Player 1 Rotate CW:"
    EXPECT_GT(inkIn(340, 80, 600, 100), 0); // its key

    glClear(GL_COLOR_BUFFER_BIT);
    panel.listening = true;
    panel.draw(0);
    EXPECT_GT(inkIn(100, 80, 300, 100), 0);
    EXPECT_EQ(inkIn(340, 80, 600, 100), 0);
    EXPECT_GT(inkIn(340, 115, 600, 135), 0);
    panel.listening = false;
}

TEST_F(WidgetDrawingTest, VerticalMarqueeAlignsAndClipsToItsBox) {
    // A box from x 120 to 520, y 190 to 290.
    pVerticalMarquee marquee(320, 240, 200, 50, 20, -0.125f, "Brisk");
    marquee.setContinuousPlay(true);
    marquee.setMessageGap(0);
    marquee.addMessage("left", PMARQUEE_ALIGN_LEFT);
    marquee.addMessage("right", PMARQUEE_ALIGN_RIGHT);
    marquee.makeReady();
    marquee.update(400); // "left" from 240 to 260, "right" entered below it
    marquee.update(160); // "left" at 220, "right" at 270, cut by the bottom edge
    glColor4f(1, 1, 1, 1);
    marquee.draw();
    EXPECT_GT(inkIn(120, 220, 200, 240), 0);
    EXPECT_EQ(inkIn(200, 220, 520, 240), 0);
    EXPECT_GT(inkIn(440, 270, 520, 290), 0);
    EXPECT_EQ(inkIn(120, 270, 440, 290), 0);
    EXPECT_EQ(inkIn(0, 290, kWidth, kHeight), 0);
}
