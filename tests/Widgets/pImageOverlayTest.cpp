#include "Widgets/pImageOverlay.h"

#include "Image/pTexture.h"
#include "Image/pTextureLoader.h"
#include "Shell/pOGLUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// An uncompressed 32-bit TGA, rows bottom first; each pixel given as 0xRRGGBBAA.
std::string tga(int width, int height, const std::vector<unsigned int>& rgba) {
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(width);
    bytes[14] = static_cast<char>(height);
    bytes[16] = 32;
    bytes[17] = 8;
    for (unsigned int p : rgba) {
        bytes += static_cast<char>(p >> 8);
        bytes += static_cast<char>(p >> 16);
        bytes += static_cast<char>(p >> 24);
        bytes += static_cast<char>(p);
    }
    return bytes;
}

class ImageOverlayTest : public GLTestContext {
protected:
    TempFolder folder;

    std::string picture(int width, int height, const std::vector<unsigned int>& rgba) {
        std::string path = folder.file("picture.tga");
        writeFileBytes(path, tga(width, height, rgba));
        return path;
    }
    std::string white() { return picture(2, 2, std::vector<unsigned int>(4, 0xffffffff)); }

    // Screen coordinates, origin top left, as the game draws.
    void begin(GLenum source, GLenum destination) {
        pOGLUtil::setOrthographicProjection(kWidth, kHeight);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(source, destination);
    }
    int red(int x, int y) { return pixel(x, y)[0]; }
    int green(int x, int y) { return pixel(x, y)[1]; }
    // The rectangle from corner (x0, y0) to (x1, y1) is lit and the pixels beyond it are not.
    void expectFilled(int x0, int y0, int x1, int y1) {
        EXPECT_EQ(red(x0, y0), 255);
        EXPECT_EQ(red(x1 - 1, y1 - 1), 255);
        EXPECT_EQ(red(x0 - 1, y0), 0);
        EXPECT_EQ(red(x0, y0 - 1), 0);
        EXPECT_EQ(red(x1, y1 - 1), 0);
        EXPECT_EQ(red(x1 - 1, y1), 0);
    }
};

TEST_F(ImageOverlayTest, CornersAreTruncatedToWholePixels) {
    pImageOverlay overlay(white());
    begin(GL_ONE, GL_ZERO);
    overlay.draw(100, 50, 10, 5, 1, 1, 1, 1);
    expectFilled(90, 45, 110, 55);
    // 10.2 and 11.2 truncate to 10 and 11: one pixel.
    overlay.draw(10.7f, 10.7f, 0.5f, 0.5f, 1, 1, 1, 1);
    expectFilled(10, 10, 11, 11);
}

TEST_F(ImageOverlayTest, TopOfThePictureIsDrawnAtTheTopAndTintedByTheColour) {
    // Rows bottom first: two green, then two red on top.
    const unsigned int G = 0x00ff00ff, R = 0xff0000ff;
    pImageOverlay overlay(picture(1, 4, {G, G, R, R}));
    begin(GL_ONE, GL_ZERO);
    overlay.draw(100, 100, 20, 40, 1, 1, 1, 1);
    EXPECT_EQ(red(100, 80), 255);
    EXPECT_EQ(green(100, 80), 0);
    EXPECT_EQ(green(100, 120), 255);
    EXPECT_EQ(red(100, 120), 0);

    overlay.draw(300, 100, 20, 40, 0.5f, 1, 1, 1);
    EXPECT_NEAR(red(300, 80), 128, 1);
}

TEST_F(ImageOverlayTest, RadialBlurAddsSevenFaintGrowingCopies) {
    pImageOverlay overlay(white());
    // Additive: each rectangle over a pixel adds 8 to it.
    begin(GL_ONE, GL_ONE);
    const float step = 8 / 255.0f;
    overlay.drawWithRadialBlur(320, 240, 100, 100, step, step, step, 1, 0);
    EXPECT_EQ(red(320, 240), 8 * 8);
    // At phase 0 the copies drift straight right; the largest (1.45 times, 18 px over)
    // reaches alone to x 482.
    EXPECT_EQ(red(482, 240), 8);
    EXPECT_EQ(red(483, 240), 0);
    // The first copy lies exactly over the picture: both end before x 420, the others not.
    EXPECT_EQ(red(419, 240), 8 * 8);
    EXPECT_EQ(red(420, 240), 8 * 6);

    // The caller's alpha is the sharp picture's only; the copies fade by their own.
    begin(GL_SRC_ALPHA, GL_ONE);
    overlay.drawWithRadialBlur(320, 240, 100, 100, 1, 1, 1, 0, 0);
    const double flicker = std::cos(364544.0) * 0.03 + 0.1;
    const double sum = flicker * (1 + 0.85 + 0.7 + 0.55 + 0.4 + 0.25 + 0.1);
    EXPECT_NEAR(red(320, 240), sum * 255, 4);
}

// The same picture as one plain textured rectangle, corners truncated, for comparison.
void drawWholeRectangle(pTexture* texture, float x, float y, float w, float h) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture->getTexID()));
    glColor4f(1, 1, 1, 1);
    const int x0 = static_cast<int>(x - w), x1 = static_cast<int>(x + w);
    const int y0 = static_cast<int>(y - h), y1 = static_cast<int>(y + h);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0, 1);
    glVertex2i(x0, y0);
    glTexCoord2f(1, 1);
    glVertex2i(x1, y0);
    glTexCoord2f(0, 0);
    glVertex2i(x0, y1);
    glTexCoord2f(1, 0);
    glVertex2i(x1, y1);
    glEnd();
}

// A picture with a wide clear margin around its ink draws as if its whole rectangle were filled.
TEST_F(ImageOverlayTest, LeavingOutTheClearMarginChangesNoPixel) {
    const int width = 32, height = 16;
    std::vector<unsigned int> rgba(width * height, 0x00000000);
    for (int row = 5; row < 11; row++)
        for (int column = 9; column < 21; column++)
            rgba[row * width + column] = 0x20a0f0ffu - static_cast<unsigned>(column * 0x40) +
                                         static_cast<unsigned>(row % 2 ? 0 : 0x80);
    std::string path = picture(width, height, rgba);
    pImageOverlay overlay(path);
    std::unique_ptr<pTexture> whole(pTextureLoader::instance()->loadTexture(path, false, false));
    ASSERT_TRUE(whole);

    // Shrunk, enlarged off the pixel grid, and very large.
    const float places[][4] = {
        {40, 30, 8, 4}, {200.6f, 150.3f, 150.2f, 90.7f}, {320, 240, 400, 90}};
    for (const auto& p : places) {
        glClearColor(0.25f, 0.5f, 0.75f, 1);
        begin(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        drawWholeRectangle(whole.get(), p[0], p[1], p[2], p[3]);
        std::vector<unsigned char> expected = readAll();
        begin(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        overlay.draw(p[0], p[1], p[2], p[3], 1, 1, 1, 1);
        std::vector<unsigned char> actual = readAll();
        int differing = 0, worst = 0;
        for (size_t i = 0; i < actual.size(); i++) {
            int difference = std::abs(actual[i] - expected[i]);
            differing += difference > 0;
            worst = std::max(worst, difference);
        }
        // Texture coordinates interpolated from other corners may round a level differently.
        EXPECT_LE(worst, 1) << "at " << p[0] << ", " << p[1];
        EXPECT_LT(differing, 100) << "at " << p[0] << ", " << p[1];
    }
    glClearColor(0, 0, 0, 1);

    // Nothing inked: nothing drawn.
    pImageOverlay clear(picture(4, 4, std::vector<unsigned int>(16, 0xffffff00u)));
    begin(GL_ONE, GL_ONE);
    clear.drawWithRadialBlur(320, 240, 100, 100, 1, 1, 1, 1, 0);
    EXPECT_EQ(litPixels(), 0);
}

TEST_F(ImageOverlayTest, MissingPictureDrawsNothing) {
    pImageOverlay overlay(folder.file("missing.tga"));
    begin(GL_ONE, GL_ZERO);
    overlay.draw(100, 50, 10, 5, 1, 1, 1, 1);
    overlay.drawWithRadialBlur(320, 240, 100, 100, 1, 1, 1, 1, 3);
    EXPECT_EQ(red(100, 50), 0);
    EXPECT_EQ(red(320, 240), 0);
}

} // namespace
