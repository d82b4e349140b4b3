// Marquees, the image overlay and the widget kit, with the shipped pictures and the Brisk font.
#include "Image/pTextureLoader.h"
#include "Input/pInputManager.h"
#include "Platform/pResourceFolder.h"
#include "Shell/pGame.h"
#include "Text/pTextManager.h"
#include "Widgets/pHorizontalMarquee.h"
#include "Widgets/pHorizontalSlider.h"
#include "Widgets/pImageButton.h"
#include "Widgets/pImageOverlay.h"
#include "Widgets/pVerticalButtonMenu.h"
#include "Widgets/pVerticalMarquee.h"
#include "tests/support/ByteFile.h"
#include "tests/support/Events.h"
#include "tests/support/FakeClock.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

#include <cmath>
#include <memory>

namespace {

class Widgets : public GLTestContext {
protected:
    FakeClock clock;
    TempFolder folder;
    pTextManager* text = pTextManager::instance();

    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        setResourceFolder(PLINX_SOURCE_DIR "/Resources");
        setUserDataFolder(PLINX_SOURCE_DIR "/tests/data/no-such-folder");
        pInputManager::instance()->init();
        ASSERT_TRUE(text->setCurrentFont("Brisk") ||
                    text->loadAndSetFont(PLINX_SOURCE_DIR "/Resources/Brisk.tga", "Brisk"));
        pGame::instance()->windowHeight = kHeight;
        blended();
    }
    void TearDown() override {
        pInputManager::instance()->init();
        setResourceFolder("");
        setUserDataFolder("");
    }
    // The title screen's help marquee at a 640 x 480 view: the band runs from 80 to 560, and a
    // message moves a pixel every 10 ms.
    static pHorizontalMarquee title(std::initializer_list<const char*> messages) {
        pHorizontalMarquee marquee(320, 448, 640 * 0.375f, 24.0f, -0.1f, "Brisk");
        marquee.setContinuousPlay(true);
        marquee.setLoop(true);
        marquee.setMessageGap(150);
        for (const char* message : messages)
            marquee.addMessage(message);
        marquee.makeReady();
        return marquee;
    }
    float width(const std::string& message) { return text->getStringWidth(message, 24.0f); }
    // The messages on screen as "index@position;".
    template <typename Marquee> static std::string showing(const Marquee& marquee) {
        std::string all;
        for (const auto& [index, position] : marquee.active)
            all += std::to_string(index) + "@" + std::to_string(std::lround(position)) + ";";
        return all;
    }
    // Steps the marquee and records the index of every message that enters.
    static std::vector<unsigned int> run(pHorizontalMarquee& marquee, int steps, double dt) {
        std::vector<unsigned int> starts = {marquee.active.back().first};
        for (int i = 0; i < steps && !marquee.finished; i++) {
            marquee.update(dt);
            if (!marquee.active.empty() && marquee.active.back().second == marquee.right)
                starts.push_back(marquee.active.back().first);
        }
        return starts;
    }
    // The pointer at (x, y) for one update step of `widget`, its button down or not, and the
    // frame's end.
    template <typename Widget> void pointAt(Widget& widget, int x, int y, bool pressed) {
        sendMouse(PEVENT_MOUSE_MOVED, x, y);
        sendMouse(pressed ? PEVENT_MOUSE_DOWN : PEVENT_MOUSE_UP, 0, 0, PMOUSE_BUTTON_PRIMARY);
        widget.listenForEventsAndUpdate();
        pInputManager::instance()->update();
    }
    template <typename Widget> void tap(Widget& widget, PKEYCODE key) {
        hold(key);
        widget.listenForEventsAndUpdate();
        pInputManager::instance()->update();
        letGo(key);
        pInputManager::instance()->update();
    }
    // An uncompressed 32-bit TGA, rows bottom first; each pixel given as 0xRRGGBBAA.
    std::string picture(int width, int height, const std::vector<unsigned int>& rgba) {
        ByteFile file;
        file.u8(0).u8(0).u8(2).fill(9, 0).u16(width).u16(height).u8(32).u8(8);
        for (unsigned int p : rgba)
            file.u8(p >> 8).u8(p >> 16).u8(p >> 24).u8(p & 255);
        return file.writeTo(folder.file("picture" + std::to_string(++pictures) + ".tga"));
    }
    int pictures = 0;
    void begin(GLenum source, GLenum destination) {
        glClear(GL_COLOR_BUFFER_BIT);
        glBlendFunc(source, destination);
    }
};

} // namespace

TEST_F(Widgets, MarqueeMessagesEnterAtTheRightKeepTheirGapAndRetireAtTheLeft) {
    pHorizontalMarquee marquee = title({"Use the arrows.", "Press Escape to pause."});
    EXPECT_EQ(showing(marquee), "0@560;");
    // The second follows once the first's right end is more than 150 px left of 560; the first
    // leaves once its right end has passed 80.
    const float first = width("Use the arrows.");
    marquee.update(10 * (first + 149));
    EXPECT_EQ(marquee.active.size(), 1u);
    marquee.update(20);
    EXPECT_EQ(showing(marquee).substr(showing(marquee).find(';')), ";1@560;");
    marquee.update(10 * (marquee.active[0].second + first - 81));
    EXPECT_EQ(marquee.active.front().first, 0u);
    marquee.update(20);
    EXPECT_EQ(marquee.active.front().first, 1u);
    // Moving the band moves where messages enter and leave, not the messages.
    const double before = marquee.active.front().second;
    marquee.setRect(400, 300, 100);
    EXPECT_EQ(marquee.active.front().second, before);
    EXPECT_EQ((std::array<float, 3>{marquee.left, marquee.right, marquee.y}),
              (std::array<float, 3>{300, 500, 300}));
    // A long step starts at most one message: the first is long gone, the second at the end.
    pHorizontalMarquee three = title({"One.", "Two.", "Three."});
    three.update(60000);
    three.update(0);
    EXPECT_EQ(showing(three), "1@560;");
    // Drawn, it shows only within its band.
    pHorizontalMarquee help = title({"Use the left, right and down keys to move your blocks."});
    help.update(10 * (480 + width("Use the left, right and down keys") / 2));
    help.draw();
    EXPECT_GT(litPixels(80, 0, 560, kHeight), 100);
    EXPECT_EQ(litPixels(), litPixels(80, 0, 560, kHeight));
}

TEST_F(Widgets, MarqueePlayModes) {
    // In turn without looping, each message once, then finished until made ready again.
    for (bool continuous : {true, false}) {
        pHorizontalMarquee marquee = title({"One.", "Two.", "Three."});
        marquee.setLoop(false);
        marquee.setContinuousPlay(continuous);
        EXPECT_EQ(run(marquee, 2000, 16), (std::vector<unsigned int>{0, 1, 2})) << continuous;
        marquee.update(16);
        EXPECT_TRUE(marquee.finished && marquee.active.empty());
        marquee.makeReady();
        EXPECT_TRUE(!marquee.finished && marquee.active.size() == 1);
    }
    pHorizontalMarquee empty = title({});
    empty.update(16);
    EXPECT_TRUE(empty.finished) << "with no messages the first step finishes it";
    // One at a time: held at the right end until the delay has passed.
    pHorizontalMarquee waits = title({"One.", "Two."});
    waits.setContinuousPlay(false);
    waits.messageDelay = 500;
    waits.update(10 * (480 + width("One.") + 1));
    EXPECT_EQ(showing(waits), "1@560;");
    clock.advance(499);
    waits.update(100);
    EXPECT_EQ(showing(waits), "1@560;");
    clock.advance(1);
    waits.update(100);
    EXPECT_EQ(showing(waits), "1@550;");
    // At random, looping: every message once in each batch, the batches in different orders.
    srand(7);
    pHorizontalMarquee random = title({});
    random.setRandomPlay(true);
    for (const char* message : {"A.", "Bb.", "Ccc.", "Dddd."})
        random.addMessage(message);
    random.makeReady();
    std::vector<unsigned int> starts = run(random, 20000, 16);
    ASSERT_GE(starts.size(), 12u);
    bool someBatchDiffers = false;
    for (size_t batch = 0; batch + 4 <= starts.size(); batch += 4) {
        EXPECT_TRUE(std::is_permutation(starts.begin() + batch, starts.begin() + batch + 4,
                                        std::vector<unsigned int>{0, 1, 2, 3}.begin()));
        someBatchDiffers = someBatchDiffers ||
                           !std::equal(starts.begin(), starts.begin() + 4, starts.begin() + batch);
    }
    EXPECT_TRUE(someBatchDiffers && !random.finished);
}

// A box from y 190 to 290: going up a message enters at the bottom and leaves once wholly
// above the top; going down (or standing still) it starts just above the box.
TEST_F(Widgets, VerticalMarqueeScrollsEitherWay) {
    std::string seen;
    for (float speed : {-0.125f, 0.125f, 0.0f}) {
        pVerticalMarquee marquee(320, 240, 100, 50, 20, speed, "Brisk");
        marquee.addMessage("first");
        marquee.addMessage("second\nline", PMARQUEE_ALIGN_RIGHT);
        marquee.makeReady();
        seen += showing(marquee);
        for (double dt : {960, 8, 1152, 8}) {
            marquee.update(dt);
            seen += showing(marquee) + "|";
        }
        seen += std::to_string(marquee.finished) + " ";
    }
    EXPECT_EQ(seen, "0@290;0@170;|1@290;|1@146;||0 0@170;0@290;|1@146;|1@290;||0 "
                    "0@170;0@170;|0@170;|0@170;|0@170;|0 ");
}

TEST_F(Widgets, OverlayCornersAreWholePixelsTheTopRowOnTopAndTheBlurFaint) {
    pImageOverlay white(picture(2, 2, std::vector<unsigned int>(4, 0xffffffff)));
    begin(GL_ONE, GL_ZERO);
    white.draw(100, 50, 10, 5, 1, 1, 1, 1);
    white.draw(10.7f, 10.7f, 0.5f, 0.5f, 1, 1, 1, 1); // 10.2 and 11.2: one pixel
    EXPECT_EQ(litPixels(89, 44, 111, 56) + litPixels(9, 9, 12, 12), 20 * 10 + 1);
    EXPECT_EQ(litPixels(90, 45, 110, 55) + litPixels(10, 10, 11, 11), litPixels());
    // Rows bottom first: two green, then two red on top; tinted by the colour.
    pImageOverlay rows(picture(1, 4, {0x00ff00ff, 0x00ff00ff, 0xff0000ff, 0xff0000ff}));
    rows.draw(200, 100, 20, 40, 1, 1, 1, 1);
    rows.draw(300, 100, 20, 40, 0.5f, 1, 1, 1);
    EXPECT_TRUE(pixel(200, 80) == (Rgba{255, 0, 0, 255}) &&
                pixel(200, 120) == (Rgba{0, 255, 0, 255}));
    EXPECT_NEAR(pixel(300, 80)[0], 128, 1);

    // Additive, each rectangle adds 8: the seven copies drift straight right at phase 0 and grow
    // to 1.45 times (18 px over); the first lies exactly over the picture.
    begin(GL_ONE, GL_ONE);
    const float step = 8 / 255.0f;
    white.drawWithRadialBlur(320, 240, 100, 100, step, step, step, 1, 0);
    std::string along;
    for (int x : {320, 419, 420, 482, 483})
        along += std::to_string(pixel(x, 240)[0]) + " ";
    EXPECT_EQ(along, "64 64 48 8 0 ");
    // The caller's alpha is the sharp picture's only; the copies fade by their own.
    begin(GL_SRC_ALPHA, GL_ONE);
    white.drawWithRadialBlur(320, 240, 100, 100, 1, 1, 1, 0, 0);
    const double flicker = std::cos(364544.0) * 0.03 + 0.1;
    EXPECT_NEAR(pixel(320, 240)[0], flicker * 3.85 * 255, 4);
}

// A picture with a wide clear margin around its ink draws as if its whole rectangle were filled.
TEST_F(Widgets, OverlayLeavingOutTheClearMarginChangesNoPixel) {
    std::vector<unsigned int> middle(32 * 16, 0), edges(32 * 16, 0);
    for (int row = 5; row < 11; row++)
        for (int column = 9; column < 21; column++)
            middle[row * 32 + column] = 0x20a0f0ffu - column * 0x40u + (row % 2 ? 0 : 0x80u);
    edges[3 * 32 + 3] = edges[12 * 32 + 28] = 0xff8040ff; // ink three texels in from each edge
    for (const std::string& file : {picture(32, 16, middle), picture(32, 16, edges)}) {
        pImageOverlay overlay(file);
        std::unique_ptr<pTexture> plain(pTextureLoader::instance()->loadTexture(file, 0, 0));
        // Shrunk, enlarged off the pixel grid, and very large.
        for (auto [x, y, w, h] : {std::array{40.0f, 30.0f, 8.0f, 4.0f},
                                  {200.6f, 150.3f, 150.2f, 90.7f},
                                  {320.0f, 240.0f, 400.0f, 90.0f}}) {
            glClearColor(0.25f, 0.5f, 0.75f, 1);
            begin(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(plain->getTexID()));
            const int x0 = int(x - w), x1 = int(x + w), y0 = int(y - h), y1 = int(y + h);
            glBegin(GL_TRIANGLE_STRIP);
            for (auto [s, t, px, py] :
                 {std::array{0, 1, x0, y0}, {1, 1, x1, y0}, {0, 0, x0, y1}, {1, 0, x1, y1}}) {
                glTexCoord2i(s, t);
                glVertex2i(px, py);
            }
            glEnd();
            std::vector<unsigned char> expected = readAll();
            begin(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            overlay.draw(x, y, w, h, 1, 1, 1, 1);
            std::vector<unsigned char> actual = readAll();
            int differing = 0, worst = 0;
            for (size_t i = 0; i < actual.size(); i++) {
                differing += actual[i] != expected[i];
                worst = std::max(worst, std::abs(actual[i] - expected[i]));
            }
            // Texture coordinates interpolated from other corners may round a level differently.
            EXPECT_TRUE(worst <= 1 && differing < 100) << file << " at " << x << "," << y;
        }
    }
    glClearColor(0, 0, 0, 1);
    // Nothing inked, or no picture at all: nothing drawn.
    pImageOverlay clear(picture(4, 4, std::vector<unsigned int>(16, 0xffffff00u)));
    pImageOverlay missing(folder.file("missing.tga"));
    begin(GL_ONE, GL_ONE);
    clear.drawWithRadialBlur(320, 240, 100, 100, 1, 1, 1, 1, 0);
    missing.draw(100, 50, 10, 5, 1, 1, 1, 1);
    missing.drawWithRadialBlur(320, 240, 100, 100, 1, 1, 1, 1, 3);
    EXPECT_EQ(litPixels(), 0);
}

TEST_F(Widgets, SliderFollowsTheDraggedPointerAndDrawsItsKnobThere) {
    pHorizontalSlider slider;
    slider.setRect(100, 200, 50, 10);
    slider.maxValue = 100;
    // Outside the grab area (42..157 by 190..210 once truncated, edges excluded) a press does
    // nothing; held, the knob follows the pointer off the track, within the range.
    std::string seen;
    for (auto [x, y, pressed] : {std::tuple{42, 200, 1},
                                 {42, 200, 0},
                                 {157, 200, 1},
                                 {157, 200, 0},
                                 {100, 190, 1},
                                 {100, 190, 0},
                                 {100, 210, 1},
                                 {100, 210, 0},
                                 {75, 200, 1},
                                 {400, 900, 1},
                                 {-3000, 900, 1},
                                 {149, 900, 0},
                                 {60, 200, 0}}) {
        pointAt(slider, x, y, pressed);
        seen += std::to_string(slider.value) + (slider.dragging ? "d " : " ");
    }
    EXPECT_EQ(seen, "0 0 0 0 0 0 0 0 25d 100d 0d 99 99 ");
    EXPECT_EQ(slider.currValXCoord(), 149.0f);
    // Values below zero round like the others: 10% along -50..50 is -40.
    slider.minValue = -50, slider.maxValue = 50;
    pointAt(slider, 60, 200, true);
    EXPECT_EQ(slider.value, -40);
    EXPECT_EQ(slider.currValXCoord(), 60.0f);
    // Without a range or a width it stays put.
    for (auto [halfWidth, min, max] :
         {std::tuple{50.0f, 5, 5}, {0.0f, 0, 100}, {50.0f, 10, 0}, {-20.0f, 0, 100}}) {
        slider.setRect(100, 200, halfWidth, 10);
        slider.minValue = min, slider.maxValue = max, slider.value = 5;
        pointAt(slider, 100, 200, true);
        pointAt(slider, 100, 200, false);
        EXPECT_TRUE(slider.value == 5 && !slider.dragging && std::isfinite(slider.currValXCoord()));
    }

    // The knob, orange and as wide as the track is high, at the value's end; the groove dark.
    pHorizontalSlider drawn;
    ASSERT_TRUE(drawn.knob && drawn.centre && drawn.leftCap && drawn.rightCap);
    drawn.setRect(320, 240, 100, 16);
    drawn.maxValue = drawn.value = 10;
    drawn.draw();
    auto orange = [](Rgba p) { return p[0] > 150 && p[0] > p[2] + 80; };
    int knobRight = 0;
    for (int x = 320; x < 460; x++)
        knobRight = orange(pixel(x, 240)) ? x : knobRight;
    EXPECT_TRUE(orange(pixel(420, 240)) && knobRight > 430 && knobRight < 436);
    EXPECT_TRUE(pixel(320, 240)[2] > 0 && pixel(320, 240)[0] < 80 && !orange(pixel(220, 240)));
    EXPECT_EQ(pixel(320, 220), (Rgba{0, 0, 0, 255})); // above the groove
    // While dragged the knob follows the pointer, kept on the track.
    glClear(GL_COLOR_BUFFER_BIT);
    drawn.dragging = 1;
    pMouseHandler::instance()->x = -500;
    drawn.draw();
    EXPECT_TRUE(orange(pixel(220, 240)) && pixel(420, 240)[0] < 80);
}

TEST_F(Widgets, ButtonsLightUnderThePointerAndInactiveOnesAreFadedAndDeaf) {
    pImageButton image("missing.tga");
    image.x = image.y = 100;
    image.halfWidth = 40;
    image.halfHeight = 20;
    float left, right, bottom, top;
    image.getBoxRect(left, right, bottom, top);
    EXPECT_EQ((std::array<float, 4>{left, right, bottom, top}),
              (std::array<float, 4>{60, 140, 80, 120}));
    // It lights only after moving diagonally over it, then clicks inside.
    sendMouse(PEVENT_MOUSE_MOVED, 100, 100);
    pInputManager::instance()->update();
    std::string seen;
    for (auto [x, y, pressed] : {std::tuple{110, 100, 0},
                                 {110, 100, 1},
                                 {105, 105, 0},
                                 {105, 105, 1},
                                 {105, 105, 1},
                                 {141, 105, 1}}) {
        pointAt(image, x, y, pressed);
        seen += std::to_string(image.highlighted) + std::to_string(image.hovered) +
                std::to_string(image.clicked) + " ";
    }
    EXPECT_EQ(seen, "000 000 110 111 110 110 ");
    image.draw(0); // no picture: draws nothing, breaks nothing
    EXPECT_EQ(litPixels(), 0);

    pOptionallyActiveButton on, off;
    on.active = 1;
    for (pOptionallyActiveButton* b : {&on, &off})
        b->label = "Options", b->size = 30, b->x = 320;
    on.y = 100;
    off.y = 300;
    on.getBoxRect(left, right, bottom, top);
    EXPECT_TRUE(right - left > 60 && bottom == 66 && top == 104);
    on.draw(0);
    off.draw(0);
    // On the plate's face, left of the label, the inactive one is half as bright.
    const int faceX = static_cast<int>(left) + 20;
    ASSERT_GT(pixel(faceX, 85)[2], 40);
    EXPECT_NEAR(pixel(faceX, 285)[2], pixel(faceX, 85)[2] / 2.0, 3);
    EXPECT_GT(litPixels(300, 70, 340, 100, 60), litPixels(300, 270, 340, 300, 60));
    for (pOptionallyActiveButton* b : {&on, &off}) {
        pointAt(*b, 320, static_cast<int>(b->y) - 15, false);
        pointAt(*b, 320, static_cast<int>(b->y) - 15, true);
    }
    EXPECT_EQ(std::to_string(on.clicked) + std::to_string(on.highlighted) +
                  std::to_string(off.clicked) + std::to_string(off.highlighted),
              "1100");
    on.x -= right - std::floor(right); // the right edge on a whole pixel: outside
    on.getBoxRect(left, right, bottom, top);
    pointAt(on, static_cast<int>(right), 90, false);
    EXPECT_EQ(on.highlighted, 0);
}

TEST_F(Widgets, ButtonMenuSkipsInactiveButtonsAndFollowsThePointer) {
    pVerticalButtonMenu menu;
    menu.x = 320, menu.y = 100, menu.size = 20;
    for (const char* label : {"One", "Two", "Three"})
        menu.addChoice(label);
    menu.setInactive("Three");
    std::string seen;
    for (PKEYCODE key : {PKEY_UP, PKEY_DOWN, PKEY_DOWN, PKEY_UP, PKEY_RETURN, PKEY_SPACE}) {
        tap(menu, key);
        seen += menu.getCurrChoice() + std::to_string(menu.buttons[1].highlighted) + ":" +
                menu.getConfirmedChoice() + " ";
    }
    // Row 1 spans y 115..135; the gap and an inactive row take nothing; a click confirms.
    for (auto [x, y, pressed] : {std::tuple{320, 125, 0}, {320, 107, 0}, {320, 160, 1}})
        pointAt(menu, x, y, pressed);
    seen += menu.getCurrChoice() + ":" + menu.getConfirmedChoice() + " ";
    pointAt(menu, 320, 125, false);
    pointAt(menu, 320, 125, true);
    seen += menu.getConfirmedChoice();
    EXPECT_EQ(seen, "Two1:nothing_confirmed One0:nothing_confirmed Two1:nothing_confirmed "
                    "One0:nothing_confirmed One0:One One0:One Two:nothing_confirmed Two");
    menu.draw(0);
    EXPECT_TRUE(litPixels(280, 80, 360, 100, 60) > 0 && litPixels(280, 150, 360, 170, 60) > 0);
}
