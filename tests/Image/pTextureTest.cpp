#include "Image/pTextureLoader.h"
#include "Image/pTextureManager.h"
#include "tests/support/ByteFile.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/TempFolder.h"

#include <filesystem>

namespace {

using pTextureTest = GLTestContext;

GLint levelWidth(unsigned long tex, GLint level, GLenum which = GL_TEXTURE_WIDTH) {
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
    return f.append({0, 0, 255, 255, 0, 0}).writeTo(path);
}

} // namespace

TEST(pTextureLoaderNames, CanLoadLooksForTheExtensionAnywhere) {
    pTextureLoader* loader = pTextureLoader::instance();
    EXPECT_TRUE(loader->canLoad("a.tga") && loader->canLoad("B.BMP") &&
                loader->canLoad("x.tga.bak"));
    EXPECT_FALSE(loader->canLoad("a.png") || loader->canLoad("a.Tga"));
    EXPECT_EQ(loader->loadTexture("/no/such/folder/a.png", false, false), nullptr);
}

TEST_F(pTextureTest, UploadsAtPowerOfTwoSizeWithAndWithoutMipmaps) {
    pImage picture(100, 40);
    pTexture plain;
    plain.bindWithImage(&picture, false, false);
    EXPECT_EQ(plain.getImage(), nullptr);
    EXPECT_EQ(levelWidth(plain.getTexID(), 0), 128);
    EXPECT_EQ(levelWidth(plain.getTexID(), 0, GL_TEXTURE_HEIGHT), 32);
    EXPECT_EQ(levelWidth(plain.getTexID(), 1), 0);
    EXPECT_EQ(picture.getWidth(), 100u); // the caller's picture is not resized

    pTexture kept;
    kept.bindWithImage(&picture, true, true);
    ASSERT_NE(kept.getImage(), nullptr);
    EXPECT_NE(kept.getImage(), &picture);
    EXPECT_EQ(levelWidth(kept.getTexID(), 7), 1);
    unsigned long first = kept.getTexID();
    kept.rebind(false);
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
    EXPECT_EQ(loaded->getImage()->getPixel(0, 1), pPixel(0, 0, 255, 255));
    delete loaded;
    ByteFile junk;
    std::string bad = junk.u32(0).writeTo(folder.file("bad.bmp"));
    EXPECT_EQ(pTextureLoader::instance()->loadTexture(bad, false, false), nullptr);

    pTextureManager* cache = pTextureManager::instance();
    pTexture* first = cache->getTexture(tga);
    ASSERT_NE(first, nullptr);
    std::filesystem::remove(tga);
    EXPECT_EQ(cache->getTexture(tga), first); // served without reading again

    std::string later = folder.file("later.tga");
    EXPECT_EQ(cache->getTexture(later), nullptr);
    writeTga(later);
    EXPECT_NE(cache->getTexture(later), nullptr); // a failure is not remembered
    cache->clearTextures();
    EXPECT_EQ(cache->getTexture(tga), nullptr);
}
