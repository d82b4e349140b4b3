// Marquees, the image overlay and the widget kit, with the shipped pictures and the Brisk font.
#include "Image/pTextureLoader.h"
#include "Text/pTextManager.h"
#include "Widgets/pCachedLayer.h"
#include "Widgets/pHorizontalMarquee.h"
#include "Widgets/pHorizontalSlider.h"
#include "Widgets/pImageButton.h"
#include "Widgets/pImageOverlay.h"
#include "Widgets/pVerticalButtonMenu.h"
#include "tests/support/Files.h"
#include "tests/support/Fakes.h"
#include "tests/support/GLTestContext.h"
#include "Widgets/pVerticalMenu.h"
#include "Game/pPlinx.h"
#include "Platform/pAudioDevice.h"
#include "Sound/slSound.h"

#include <cmath>
#include <memory>

namespace {

class Widgets : public GLTestContext {
protected:
    FakeClock clock;
    TempFolder folder;
    pTextManager* text = pTextManager::instance();

    void ready() override {
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
    // message moves a pixel every 10 ms. Given a delay, it plays one message at a time.
    static pHorizontalMarquee title(std::initializer_list<const char*> messages,
                                    double delay = -1) {
        pHorizontalMarquee marquee(320, 448, 640 * 0.375f, 24.0f, -0.1f, "Brisk");
        marquee.setContinuousPlay(delay < 0);
        marquee.messageDelay = std::max(delay, 0.0);
        marquee.setLoop(true);
        marquee.setMessageGap(150);
        for (const char* message : messages)
            marquee.addMessage(message);
        marquee.makeReady();
        return marquee;
    }
    float width(const std::string& message) { return text->getStringWidth(message, 24.0f); }
    // Numbers and flags side by side, "1" "0" "2" as "102".
    template <typename... T> static std::string digits(T... v) { return (std::to_string(v) + ...); }
    // The messages on screen as "index@position;".
    template <typename Marquee> static std::string showing(const Marquee& marquee) {
        std::string all;
        for (const auto& [index, position] : marquee.active)
            all += std::to_string(index) + "@" + std::to_string(std::lround(position)) + ";";
        return all;
    }
    // The pointer at (x, y) for one update step of `widget`, its button down or not, and the
    // frame's end.
    template <typename Widget> void pointAt(Widget& widget, int x, int y, bool pressed) {
        sendMouse(PEVENT_MOUSE_MOVED, x, y);
        sendMouse(pressed ? PEVENT_MOUSE_DOWN : PEVENT_MOUSE_UP, 0, 0, PMOUSE_BUTTON_PRIMARY);
        widget.listenForEventsAndUpdate();
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

TEST_F(Widgets, MarqueeMessagesEnterAtTheRightKeepTheirGapAndRetireAtTheLeft) {
    pHorizontalMarquee marquee = title({"Use the arrows.", "Press Escape to pause."});
    EXPECT_EQ(showing(marquee), "0@560;");
    // The second follows once the first's right end is more than 150 px left of 560; the first
    // leaves once its right end has passed 80.
    const float first = width("Use the arrows.");
    marquee.update(10 * (first + 149));
    std::string seen = std::to_string(marquee.active.size());
    marquee.update(20);
    seen += showing(marquee).substr(showing(marquee).find(';'));
    marquee.update(10 * (marquee.active[0].second + first - 81));
    seen += std::to_string(marquee.active.front().first);
    marquee.update(20);
    EXPECT_EQ(seen + std::to_string(marquee.active.front().first), "1;1@560;01");
    // A long step starts at most one message: the first is long gone, the second at the end.
    pHorizontalMarquee three = title({"One.", "Two.", "Three."});
    three.update(60000);
    three.update(0);
    EXPECT_EQ(showing(three), "1@560;");
    // One at a time, the next message waits at the right end for the message delay.
    pHorizontalMarquee single = title({"One.", "Two."}, 500);
    single.update(10 * (480 + width("One.") + 1));
    std::string held = showing(single);
    clock.advance(499);
    single.update(100);
    held += showing(single);
    clock.advance(1);
    single.update(100);
    EXPECT_EQ(held + showing(single), "1@560;1@560;1@550;");
    // Drawn, it shows only within its band.
    pHorizontalMarquee help = title({"Use the left, right and down keys to move your blocks."});
    help.update(10 * (480 + width("Use the left, right and down keys") / 2));
    help.draw();
    EXPECT_GT(litPixels(80, 0, 560, kHeight), 100);
    EXPECT_EQ(litPixels(), litPixels(80, 0, 560, kHeight));
}

// Pictures kept or drawn again: a copy kept from one frame gives later frames exactly the pixels
// drawn then, the right way up, whatever the current colour; a picture with a wide clear margin
// around its ink draws as if its whole rectangle were filled; unblended, the margin is drawn too.
TEST_F(Widgets, CachedLayersAndOverlaysDrawTheirWholeRectangle) {
    glClearColor(0.2f, 0.6f, 0.4f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.9f, 0.1f, 0.3f); // a mark in the top left corner tells up from down
    glRecti(0, 0, 40, 10);
    glEnable(GL_TEXTURE_2D);
    std::vector<unsigned char> drawn = readAll();

    pCachedLayer layer;
    layer.capture(kWidth, kHeight);
    // Other contents, or another size, are drawn afresh.
    EXPECT_TRUE(layer.holds(kWidth, kHeight) && !layer.holds(kWidth, kHeight, 1) &&
                !layer.holds(kWidth + 1, kHeight));
    layer.capture(kWidth, 0); // a window folded to nothing keeps the picture it had
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    layer.draw();
    EXPECT_EQ(readAll(), drawn);
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
            // The whole picture stretched over the rectangle with its corners truncated.
            const int x0 = int(x - w), x1 = int(x + w), y0 = int(y - h), y1 = int(y + h);
            pOGLUtil::drawBoxTextured((x0 + x1) / 2.0f, (y0 + y1) / 2.0f, (x1 - x0) / 2.0f,
                                      (y1 - y0) / 2.0f, 1, 1, 1, 1, plain->getTexID());
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
    // The background is drawn unblended over the whole view, and frames with it skip the clear:
    // every texel replaces the frame before, clear ones too (many 32-bit pictures have no alpha).
    for (unsigned int middleAlpha : {255u, 0u}) {
        std::vector<unsigned int> texels(64, 0x60606000u); // grey round a white middle
        for (int i : {18, 19, 20, 21, 26, 27, 28, 29, 34, 35, 36, 37, 42, 43, 44, 45})
            texels[i] = 0xffffff00u | middleAlpha;
        pImageOverlay background(picture(8, 8, texels));
        glDisable(GL_BLEND);
        std::vector<unsigned char> frames[2];
        for (int i = 0; i < 2; i++) {
            glClearColor(float(i), 0, float(1 - i), 1);
            glClear(GL_COLOR_BUFFER_BIT);
            background.draw(320, 240, 640 * 0.8f, 480 * 0.53333336f, 1, 1, 1, 1);
            frames[i] = readAll();
        }
        EXPECT_TRUE(frames[0] == frames[1]) << middleAlpha;
        EXPECT_EQ(pixel(0, 0)[1] * 1000 + pixel(320, 240)[1], 96255) << middleAlpha;
    }
}

// An image button lights only after the pointer moves diagonally over it, then clicks inside;
// a button that is switched off never lights or clicks, and its box's edges are outside it. A
// slider's knob follows the dragged pointer and is drawn there.
TEST_F(Widgets, ButtonsLightUnderThePointerAndSlidersFollowIt) {
    pImageButton image("missing.tga");
    image.x = image.y = 100;
    image.halfWidth = 40, image.halfHeight = 20;
    sendMouse(PEVENT_MOUSE_MOVED, 100, 100);
    pInputManager::instance()->update();
    std::string seen;
    const std::tuple<int, int, bool> moves[] = {{110, 100, 0}, {110, 100, 1}, {105, 105, 0},
                                                {105, 105, 1}, {105, 105, 1}, {141, 105, 1}};
    for (auto [x, y, pressed] : moves) {
        pointAt(image, x, y, pressed);
        seen += digits(image.highlighted, image.hovered, image.clicked) + " ";
    }
    // Then a labelled button switched on, and one switched off: clicked and lit, or neither.
    pOptionallyActiveButton on, off;
    on.active = 1;
    for (pOptionallyActiveButton* b : {&on, &off}) {
        b->label = "Options", b->size = 30, b->x = 320, b->y = 100;
        pointAt(*b, 320, 85, false);
        pointAt(*b, 320, 85, true);
        seen += digits(b->clicked, b->highlighted);
    }
    EXPECT_EQ(seen, "000 000 110 111 110 110 1100");
    float left, right, bottom, top;
    on.getBoxRect(left, right, bottom, top);
    EXPECT_TRUE(right - left > 60 && bottom == 66 && top == 104);
    on.x -= right - std::floor(right); // the right edge on a whole pixel
    on.getBoxRect(left, right, bottom, top);
    pointAt(on, static_cast<int>(right), 90, false);
    EXPECT_EQ(on.highlighted, 0);
    pHorizontalSlider slider;
    slider.setRect(100, 200, 50, 10);
    slider.maxValue = 100;
    // Outside the grab area (42..157 by 190..210 once truncated, edges excluded) a press does
    // nothing; held, the knob follows the pointer off the track, within the range.
    std::string values;
    const std::tuple<int, int, bool> drags[] = {
        {42, 200, 1},    {42, 200, 0},  {157, 200, 1}, {157, 200, 0}, {100, 190, 1},
        {100, 190, 0},   {100, 210, 1}, {100, 210, 0}, {75, 200, 1},  {400, 900, 1},
        {-3000, 900, 1}, {149, 900, 0}, {60, 200, 0}};
    for (auto [x, y, pressed] : drags) {
        pointAt(slider, x, y, pressed);
        values += std::to_string(slider.value) + (slider.dragging ? "d " : " ");
    }
    EXPECT_EQ(values, "0 0 0 0 0 0 0 0 25d 100d 0d 99 99 ");
    EXPECT_EQ(slider.currValXCoord(), 149.0f);
    // Values below zero round like the others: 10% along -50..50 is -40.
    slider.minValue = -50, slider.maxValue = 50;
    pointAt(slider, 60, 200, true);
    EXPECT_EQ(slider.value, -40);
    EXPECT_EQ(slider.currValXCoord(), 60.0f);
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
    EXPECT_NE(pixel(424, 240), (Rgba{0, 0, 0, 255})) << "the right cap, no longer under the knob";
}

// The title menu at a 640 x 480 view: entries centred on x 320, rows 42 px apart from y 300.
// Blips play on channels whose mix is never pulled, so each stays until counted.
class MenuTest : public Widgets {
protected:
    pMouseHandler* mouse = pMouseHandler::instance();
    pVerticalMenu menu, one, empty;
    pPlinx* app = pPlinx::instance();
    short gameBlip = app->menuBlipSound;
    int gameVolume = app->fxVolume, blipsCounted = 0;

    void ready() override {
        Widgets::ready();
        if (HasFatalFailure())
            return;
        mouse->x = mouse->y = 0; // off the menu, where no move is seen
        pKeyboardHandler::instance()->events.clear();
        pAudioDevice::setManualOutput(true, 44100);
        ASSERT_EQ(slInit(4), 0);
        ASSERT_EQ(slLoadSoundFromBundle("", "menublip.mp3", &app->menuBlipSound), 0);
        app->fxVolume = 200;
        for (pVerticalMenu* m : {&menu, &one, &empty})
            m->x = 320, m->y = 300, m->fontSize = 24;
        for (const char* entry : {"Start Game", "High Scores", "Quit Game"})
            menu.addChoice(entry);
        one.addChoice("Continue");
    }
    void TearDown() override {
        // The game's own sound, if it was started, plays on afterwards.
        slStopAllChannels();
        pAudioDevice::setManualOutput(false, 0);
        gameBlip >= 0 ? void(slInit(4)) : slExit();
        app->menuBlipSound = gameBlip;
        app->fxVolume = gameVolume;
        Widgets::TearDown();
    }
    // One update step followed by the end of the frame; what it confirmed, "-" for nothing.
    template <typename Menu> std::string step(Menu& m) {
        m.listenForEventsAndUpdate();
        std::string confirmed = m.getConfirmedChoice();
        pInputManager::instance()->update();
        return confirmed == "nothing_confirmed" ? "-" : confirmed;
    }
    template <typename Menu> std::string tap(Menu& m, PKEYCODE k) {
        hold(k);
        std::string confirmed = step(m);
        letGo(k);
        pInputManager::instance()->update();
        return confirmed;
    }
    // The pointer at (x, y) for the next step, moved there in this frame or resting, its button
    // pressed or not; then that step.
    template <typename Menu> std::string pointAt(Menu& m, int x, int y, bool moved, bool click) {
        mouse->x = x, mouse->y = y, mouse->lastX = moved ? x - 3 : x, mouse->lastY = y;
        mouse->buttons[PBUTTON_LEFT] = click;
        mouse->oldButtons[PBUTTON_LEFT] = false;
        return step(m);
    }
    // Blips played so far, centred at the game's effects volume; each is stopped once counted.
    int blips() {
        blipsCounted += slCountSounds(app->menuBlipSound);
        for (short c = 0; c < gNumChannels; c++)
            EXPECT_TRUE(gChanArray[c].soundID != app->menuBlipSound ||
                        gChanArray[c].volume * 1000 + gChanArray[c].stereoPosition == 200000);
        slStopAllChannels();
        return blipsCounted;
    }
};

} // namespace

TEST_F(MenuTest, KeysMoveWithABlipAndWrapAroundAndConfirmOnce) {
    // What each key confirms, the entry then, and the blips so far.
    std::string moves;
    for (PKEYCODE key :
         {PKEY_UP, PKEY_DOWN, PKEY_DOWN, PKEY_UP, PKEY_DOWN, PKEY_SPACE, PKEY_RETURN}) {
        moves += tap(menu, key);
        moves += " " + std::to_string(menu.currChoice) + " " + std::to_string(blips()) + ",";
    }
    EXPECT_EQ(moves + menu.getCurrChoice(),
              "- 2 1,- 0 2,- 1 3,- 0 4,- 1 5,High Scores 1 6,High Scores 1 7,High Scores");
    // Held Return confirms once, and a confirmation is collected once.
    hold(PKEY_RETURN);
    int confirmations = 0;
    for (int i = 0; i < 60; i++, clock.advance(16))
        confirmations += step(menu) != "-";
    EXPECT_EQ(digits(confirmations, blips()) + menu.getConfirmedChoice(), "18nothing_confirmed");
    letGo(PKEY_RETURN);
    // A one-entry menu does not blip on Up and Down; an empty one reads nothing.
    tap(one, PKEY_UP);
    tap(one, PKEY_DOWN);
    const std::string confirmed = tap(one, PKEY_RETURN);
    EXPECT_EQ(confirmed + digits(one.currChoice, blips()), "Continue09");
    for (PKEYCODE k : {PKEY_UP, PKEY_DOWN, PKEY_RETURN, PKEY_SPACE})
        EXPECT_EQ(tap(empty, k), "-");
    EXPECT_EQ(empty.getCurrChoice() + std::to_string(empty.currChoice), "0");
    empty.draw(1.0f);
    // The widget kit's column of buttons: Up and Down skip a switched-off button and wrap, only
    // the current one is lit, Return or Space confirm it once, and a click on a button confirms it.
    pVerticalButtonMenu column;
    column.x = 320, column.y = 100, column.size = 20;
    for (const char* label : {"One", "Two", "Three"})
        column.addChoice(label);
    column.setInactive("Three");
    std::string seen;
    for (PKEYCODE key : {PKEY_UP, PKEY_DOWN, PKEY_DOWN, PKEY_UP})
        seen += (tap(column, key), std::to_string(column.current));
    for (const pOptionallyActiveButton& button : column.buttons)
        seen += " " + std::to_string(button.highlighted);
    EXPECT_EQ(seen, "1010 1 0 0");
    // One after another: the operands of + have no order of their own.
    seen = tap(column, PKEY_RETURN);
    seen += column.getConfirmedChoice();
    seen += tap(column, PKEY_SPACE);
    column.setInactive("One");
    EXPECT_EQ(seen + tap(column, PKEY_RETURN), "Onenothing_confirmedOne-");
    // Row 1 spans y 115 to 135.
    EXPECT_EQ(pointAt(column, 320, 125, true, true), "Two");
}

TEST_F(MenuTest, ThePointerTakesTheHighlightOnlyWhenItMovesAndClicksOnlyOverAnEntry) {
    // Row 1 spans y 318 to 342 on screen, its edges outside; its text is centred on 320. A
    // resting pointer over entry 2 with entry 1 highlighted: a click confirms entry 1. Clicks
    // off the entries do nothing. Each step: what it confirms, the entry, over one, blips.
    const float halfWidth = text->getStringWidth("Start Game", 24) / 2;
    const int half = static_cast<int>(halfWidth);
    const std::tuple<int, int, bool, bool> steps[] = {
        {320, 330, 0, 0}, {320, 330, 1, 0},       {320, 318, 1, 0},        {320, 342, 1, 0},
        {320, 372, 0, 1}, {320, 200, 1, 1},       {321 + half, 290, 1, 1}, {319 - half, 290, 1, 1},
        {320, 310, 1, 1}, {319 + half, 290, 1, 1}};
    std::string seen;
    for (auto [x, y, moved, click] : steps) {
        seen += pointAt(menu, x, y, moved, click);
        seen += " " + digits(menu.currChoice, menu.mouseOver, blips()) + ",";
    }
    EXPECT_EQ(seen,
              "- 010,- 110,- 100,- 100,High Scores 111,- 101,- 101,- 101,- 101,Start Game 012,");
    // Its right edge on a whole pixel is outside it too.
    menu.x = 320 - (halfWidth - std::floor(halfWidth));
    EXPECT_EQ(pointAt(menu, 320 + half, 290, true, true), "-");
}
