#include "Widgets/pImageOverlay.h"

#include "Shell/pOGLUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
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

TEST_F(ImageOverlayTest, MissingPictureDrawsNothing) {
    pImageOverlay overlay(folder.file("missing.tga"));
    begin(GL_ONE, GL_ZERO);
    overlay.draw(100, 50, 10, 5, 1, 1, 1, 1);
    overlay.drawWithRadialBlur(320, 240, 100, 100, 1, 1, 1, 1, 3);
    EXPECT_EQ(red(100, 50), 0);
    EXPECT_EQ(red(320, 240), 0);
}

} // namespace
