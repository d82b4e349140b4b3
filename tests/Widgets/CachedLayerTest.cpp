// The background kept from its first frame must give later frames exactly the pixels drawn then,
// the right way up, over whatever the frame before left.
#include "Widgets/pCachedLayer.h"

#include "Shell/pOGLUtil.h"
#include "tests/support/GLTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

class CachedLayerTest : public GLTestContext {};

// A picture that tells up from down and left from right: a colour ramp across, a band at the top.
void drawPicture() {
    const float kWidth = GLTestContext::kWidth, kHeight = GLTestContext::kHeight;
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBegin(GL_QUADS);
    glColor3f(0.1f, 0.9f, 0.3f);
    glVertex2f(0, 0);
    glColor3f(0.8f, 0.2f, 0.6f);
    glVertex2f(kWidth, 0);
    glColor3f(0.3f, 0.4f, 1.0f);
    glVertex2f(kWidth, kHeight);
    glColor3f(0.0f, 0.5f, 0.2f);
    glVertex2f(0, kHeight);
    glColor3f(1, 1, 1);
    glVertex2f(0, 0);
    glVertex2f(kWidth, 0);
    glVertex2f(kWidth, 7);
    glVertex2f(0, 7);
    glEnd();
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
}

TEST_F(CachedLayerTest, LaterFramesGetThePictureAsDrawn) {
    pOGLUtil::setOrthographicProjection(kWidth, kHeight);
    pCachedLayer layer;
    EXPECT_FALSE(layer.holds(kWidth, kHeight));
    drawPicture();
    std::vector<unsigned char> drawn = readAll();
    layer.capture(kWidth, kHeight);
    EXPECT_TRUE(layer.holds(kWidth, kHeight));
    EXPECT_FALSE(layer.holds(kWidth + 1, kHeight)) << "another size is drawn afresh";

    glClearColor(0.5f, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f); // the current colour does not tint it
    layer.draw();
    EXPECT_EQ(readAll(), drawn);

    layer.forget();
    EXPECT_FALSE(layer.holds(kWidth, kHeight));
}

} // namespace
