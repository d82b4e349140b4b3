#include "Image/pTextureLoader.h"

#include "Image/pBMPLoader.h"
#include "Image/pTGALoader.h"

#include <memory>
#include <new>
#include <utility>

pTextureLoader* pTextureLoader::instance() {
    static pTextureLoader* instance_ = new pTextureLoader();
    return instance_;
}

static bool isTGA(const std::string& path) {
    return path.find(".tga") != std::string::npos || path.find(".TGA") != std::string::npos;
}

static bool isBMP(const std::string& path) {
    return path.find(".bmp") != std::string::npos || path.find(".BMP") != std::string::npos;
}

bool pTextureLoader::canLoad(const std::string& path) {
    return isTGA(path) || isBMP(path);
}

pTexture* pTextureLoader::loadTexture(const std::string& path, bool mipmaps, bool keepImage) {
    // A picture the memory cannot hold (or bring to a power-of-two size) is no texture, as a
    // damaged file is none.
    try {
        pImage image;
        bool read = false;
        if (isTGA(path)) {
            read = pTGALoader::instance()->load(path, &image);
        } else if (isBMP(path)) {
            read = pBMPLoader::instance()->load(path, &image);
        }
        if (!read) {
            return nullptr;
        }
        auto texture = std::make_unique<pTexture>();
        texture->bindWithImage(std::move(image), mipmaps, keepImage);
        return texture.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
