#include "Image/pTexture.h"
#include "Image/pTextureLoader.h"
#include "Image/pTextureManager.h"
#include "tests/support/ByteFile.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

#include <GL/gl.h>

#include <filesystem>

namespace {

using pTextureTest = GLTestContext;

GLint levelSize(unsigned long tex, GLint level, GLenum which) {
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(tex));
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

// A 2 x 1 true-colour TGA: red then blue.
std::string writeTga(const std::string& path) {
    ByteFile f;
    f.u8(0).u8(0).u8(2).u16(0).u16(0).u8(0).u16(0).u16(0).u16(2).u16(1).u8(24).u8(0);
    f.append({0, 0, 255, 255, 0, 0});
    return f.writeTo(path);
}

} // namespace

TEST(pTextureLoaderNames, CanLoadLooksForTheExtensionAnywhere) {
    pTextureLoader* loader = pTextureLoader::instance();
    EXPECT_TRUE(loader->canLoad("a.tga"));
    EXPECT_TRUE(loader->canLoad("B.BMP"));
    EXPECT_TRUE(loader->canLoad("x.tga.bak"));
    EXPECT_FALSE(loader->canLoad("a.png"));
    EXPECT_FALSE(loader->canLoad("a.Tga"));
    EXPECT_EQ(loader->loadTexture("/no/such/folder/a.png", false, false), nullptr);
}

TEST_F(pTextureTest, UploadsAtPowerOfTwoSizeWithAndWithoutMipmaps) {
    pImage picture(100, 40);
    picture.setPixelub(0, 0, 255, 0, 0, 255);
    pTexture plain;
    plain.bindWithImage(&picture, false, false);
    EXPECT_EQ(plain.getImage(), nullptr);
    ASSERT_NE(plain.getTexID(), 0u);
    EXPECT_EQ(levelSize(plain.getTexID(), 0, GL_TEXTURE_WIDTH), 128);
    EXPECT_EQ(levelSize(plain.getTexID(), 0, GL_TEXTURE_HEIGHT), 32);
    EXPECT_EQ(levelSize(plain.getTexID(), 1, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(picture.getWidth(), 100u); // the caller's picture is not resized

    pTexture kept;
    kept.bindWithImage(&picture, true, true);
    ASSERT_NE(kept.getImage(), nullptr);
    EXPECT_NE(kept.getImage(), &picture);
    EXPECT_EQ(kept.getImage()->getWidth(), 128u);
    EXPECT_EQ(levelSize(kept.getTexID(), 1, GL_TEXTURE_WIDTH), 64);
    EXPECT_EQ(levelSize(kept.getTexID(), 7, GL_TEXTURE_WIDTH), 1);

    unsigned long first = kept.getTexID();
    kept.rebind(false);
    EXPECT_NE(kept.getTexID(), 0u);
    EXPECT_FALSE(kept.getTexID() != first && glIsTexture(static_cast<GLuint>(first)));
    kept.deleteImage();
    EXPECT_EQ(kept.getImage(), nullptr);
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(kept.getTexID())));
}

TEST_F(pTextureTest, LoaderAndCacheReadEachFileOnce) {
    TempFolder folder;
    std::string tga = writeTga(folder.file("pic.tga"));
    pTexture* loaded = pTextureLoader::instance()->loadTexture(tga, false, true);
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loaded->getImage(), nullptr);
    EXPECT_EQ(loaded->getImage()->getPixel(0, 0), pPixel(255, 0, 0, 255));
    EXPECT_EQ(loaded->getImage()->getPixel(0, 1), pPixel(0, 0, 255, 255));
    delete loaded;
    ByteFile garbage;
    EXPECT_EQ(pTextureLoader::instance()->loadTexture(
                  garbage.u32(0).writeTo(folder.file("bad.bmp")), false, false),
              nullptr);

    pTextureManager* cache = pTextureManager::instance();
    pTexture* first = cache->getTexture(tga);
    ASSERT_NE(first, nullptr);
    std::filesystem::remove(tga);
    EXPECT_EQ(cache->getTexture(tga), first); // served without the file

    std::string later = folder.file("later.tga");
    EXPECT_EQ(cache->getTexture(later), nullptr);
    writeTga(later);
    pTexture* second = cache->getTexture(later); // failures are not remembered
    EXPECT_NE(second, nullptr);
    EXPECT_NE(second, first);

    cache->clearTextures();
    EXPECT_EQ(cache->getTexture(tga), nullptr); // gone from the cache, and the file is gone
}
