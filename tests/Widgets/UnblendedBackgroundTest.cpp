// The background is drawn unblended over the whole view, and frames with it skip the clear: every
// pixel of it must replace the frame before, clear texels included.
#include "Widgets/pImageOverlay.h"

#include "Shell/pOGLUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An uncompressed 32-bit TGA of 8 x 8 pixels: grey round a 4 x 4 white middle, with the alphas
// given.
std::string picture(unsigned char middleAlpha, unsigned char borderAlpha) {
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = bytes[14] = 8;
    bytes[16] = 32;
    bytes[17] = 8;
    for (int row = 0; row < 8; row++) {
        for (int column = 0; column < 8; column++) {
            bool middle = row >= 2 && row < 6 && column >= 2 && column < 6;
            bytes += std::string(3, static_cast<char>(middle ? 255 : 96)); // B, G, R
            bytes += static_cast<char>(middle ? middleAlpha : borderAlpha);
        }
    }
    return bytes;
}

class UnblendedBackgroundTest : public GLTestContext {};

TEST_F(UnblendedBackgroundTest, ClearTexelsReplaceWhatWasDrawnBefore) {
    TempFolder folder;
    struct Case {
        const char* what;
        unsigned char middleAlpha, borderAlpha;
    };
    for (Case c : {Case{"clear border", 255, 0}, Case{"no alpha at all", 0, 0}}) {
        SCOPED_TRACE(c.what);
        std::string path = folder.file(std::string(c.what) + ".tga");
        writeFileBytes(path, picture(c.middleAlpha, c.borderAlpha));
        pImageOverlay background(path);
        auto frameOver = [&](float r, float g, float b) {
            glClearColor(r, g, b, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            pOGLUtil::setOrthographicProjection(kWidth, kHeight);
            glEnable(GL_TEXTURE_2D);
            glDisable(GL_BLEND);
            background.draw(kWidth / 2, kHeight / 2, kWidth * 0.8f, kHeight * 0.53333336f, 1, 1, 1,
                            1);
            return readAll();
        };
        std::vector<unsigned char> overRed = frameOver(1, 0, 0);
        EXPECT_TRUE(overRed == frameOver(0, 0, 1));
        EXPECT_EQ(pixel(0, 0)[1], 96) << "the corner shows the picture's border";
        EXPECT_EQ(pixel(kWidth / 2, kHeight / 2)[1], 255);
    }
    glClearColor(0, 0, 0, 1);
}

} // namespace
