// A copy kept from one frame gives later frames exactly the pixels drawn then, the right way up,
// whatever the current colour.
#include "Widgets/pCachedLayer.h"

#include "Shell/pOGLUtil.h"
#include "tests/support/GLTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

class CachedLayerTest : public GLTestContext {};

TEST_F(CachedLayerTest, LaterFramesGetThePictureAsDrawn) {
    pOGLUtil::setOrthographicProjection(kWidth, kHeight);
    glClearColor(0.2f, 0.6f, 0.4f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.9f, 0.1f, 0.3f); // a mark in the top left corner tells up from down
    glRecti(0, 0, 40, 10);
    glEnable(GL_TEXTURE_2D);
    std::vector<unsigned char> drawn = readAll();

    pCachedLayer layer;
    layer.capture(kWidth, kHeight);
    EXPECT_TRUE(layer.holds(kWidth, kHeight));
    EXPECT_FALSE(layer.holds(kWidth, kHeight, 1)) << "other contents are drawn afresh";
    EXPECT_FALSE(layer.holds(kWidth + 1, kHeight)) << "so is another size";
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    layer.draw();
    EXPECT_EQ(readAll(), drawn);
}
