#include "Shell/pOGLUtil.h"
#include "Image/pTexture.h"
#include "tests/support/GLTestContext.h"

#include <vector>

namespace {

class pOGLUtilTest : public GLTestContext {
protected:
    void SetUp() override {
        GLTestContext::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        pOGLUtil::initGL();
        pOGLUtil::setOrthographicProjection(kWidth, kHeight);
    }

    // A texture of one column: row 0 red, row 1 green.
    void makeTwoRowTexture(pTexture& texture) {
        pImage picture(1, 2);
        picture.setPixelub(0, 0, 255, 0, 0, 255);
        picture.setPixelub(1, 0, 0, 255, 0, 255);
        texture.bindWithImage(&picture, false, false);
        glEnable(GL_TEXTURE_2D);
    }
};

const GLTestContext::Rgba kRed = {255, 0, 0, 255};
const GLTestContext::Rgba kBlack = {0, 0, 0, 255};

} // namespace

TEST_F(pOGLUtilTest, OrthographicOriginIsTopLeft) {
    pOGLUtil::drawBoxFilled(2, 2, 2, 2, 1, 0, 0, 1);
    EXPECT_EQ(pixel(0, 0), kRed);
    EXPECT_EQ(pixel(3, 3), kRed);
    EXPECT_EQ(pixel(4, 4), kBlack);
    EXPECT_EQ(pixel(0, kHeight - 1), kBlack);
    EXPECT_EQ(litPixels(), 16);

    pOGLUtil::drawBoxFilled(638, 478, 2, 2, 0, 0, 1, 1);
    EXPECT_EQ(pixel(kWidth - 1, kHeight - 1), (Rgba{0, 0, 255, 255}));
}

TEST_F(pOGLUtilTest, TexturedBoxShowsFirstRowAtTheBottom) {
    pTexture texture;
    makeTwoRowTexture(texture);
    // Box from y 100 to 200: a quarter up from the bottom samples row 0 alone, a quarter down
    // from the top row 1 alone.
    pOGLUtil::drawBoxTextured(100, 150, 50, 50, 1, 1, 1, 1, texture.getTexID());
    Rgba bottom = pixel(100, 175);
    Rgba top = pixel(100, 125);
    EXPECT_GT(bottom[0], 200);
    EXPECT_LT(bottom[1], 60);
    EXPECT_GT(top[1], 200);
    EXPECT_LT(top[0], 60);
    EXPECT_EQ(pixel(100, 205), kBlack);
}

TEST_F(pOGLUtilTest, ClippedTexturedBoxStaysInsideItsRectangle) {
    pTexture texture;
    makeTwoRowTexture(texture);
    // Box 100..200 x 100..200, clipped to x 150..400 and y 0..160: 50 x 60 pixels remain.
    pOGLUtil::drawBoxTextured(150, 150, 50, 50, 150, 400, 0, 160, 1, 1, 1, 1, texture.getTexID());
    EXPECT_EQ(litPixels(), 50 * 60);
    // This form runs its texture from the smaller y: row 0 (red) near the top of the box.
    EXPECT_GT(pixel(175, 125)[0], 200);
    EXPECT_LT(pixel(175, 125)[1], 60);
    glDisable(GL_TEXTURE_2D);
    pOGLUtil::drawBoxFilled(175, 130, 25, 30, 0, 0, 0, 1);
    EXPECT_EQ(litPixels(), 0);

    glEnable(GL_TEXTURE_2D);
    pOGLUtil::drawBoxTextured(150, 150, 50, 50, 300, 400, 0, 480, 1, 1, 1, 1, texture.getTexID());
    pOGLUtil::drawBoxTextured(150, 150, 0, 50, 0, 400, 0, 480, 1, 1, 1, 1, texture.getTexID());
    EXPECT_EQ(litPixels(), 0);
}

TEST_F(pOGLUtilTest, ArrowWithEqualEndsDrawsNothing) {
    pOGLUtil::drawArrow(100, 100, 100, 100, 1, 10, 20, 0.3f, 1, 1, 1, 1);
    EXPECT_EQ(litPixels(), 0);
    pOGLUtil::drawArrow(100, 100, 300, 100, 1, 10, 20, 0.3f, 1, 1, 1, 1);
    EXPECT_EQ(pixel(120, 100), (Rgba{255, 255, 255, 255})); // shaft
    EXPECT_EQ(pixel(120, 110), kBlack);                     // beside the shaft
    EXPECT_EQ(pixel(245, 106), (Rgba{255, 255, 255, 255})); // head is wider
    EXPECT_EQ(pixel(305, 100), kBlack);                     // past the tip
}

TEST_F(pOGLUtilTest, CircleOutlineHasAboutThreeHundredSegmentsAndCloses) {
    std::vector<GLfloat> feedback(100000);
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_2D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    pOGLUtil::drawCircleOutline(320, 240, 100, 1, 1, 1, 1);
    GLint values = glRenderMode(GL_RENDER);
    ASSERT_GT(values, 0);
    int segments = 0;
    float lastX = 0;
    float lastY = 0;
    for (GLint i = 0; i < values; i += 5) {
        ASSERT_TRUE(feedback[i] == GL_LINE_TOKEN || feedback[i] == GL_LINE_RESET_TOKEN);
        ++segments;
        lastX = feedback[i + 3];
        lastY = feedback[i + 4];
    }
    EXPECT_GE(segments, 299);
    EXPECT_LE(segments, 301);
    // Feedback is in window coordinates, y up: the circle ends where it began, at angle 0.
    EXPECT_NEAR(lastX, 420, 0.01);
    EXPECT_NEAR(lastY, kHeight - 240, 0.01);

    // Backwards arcs emit only their closing point (outline) or closing piece (filled).
    glRenderMode(GL_FEEDBACK);
    pOGLUtil::drawArcOutline(320, 240, 100, 1, 0, 1, 1, 1, 1);
    EXPECT_EQ(glRenderMode(GL_RENDER), 0);
    glRenderMode(GL_FEEDBACK);
    pOGLUtil::drawArcFilled(320, 240, 50, 100, 1, 0, 1, 1, 1, 1);
    EXPECT_EQ(glRenderMode(GL_RENDER), 2 * 8); // two triangles
}

TEST_F(pOGLUtilTest, DrawTextLeavesInkOnlyNearItsRasterPosition) {
    pOGLUtil::drawText(10, 20, "Plinx", 1, 1, 1, 1);
    int ink = litPixels();
    EXPECT_GT(ink, 20);
    pOGLUtil::drawBoxFilled(35, 15, 25, 7, 0, 0, 0, 1); // black over x 10..60, y 8..22
    EXPECT_EQ(litPixels(), 0);
}
