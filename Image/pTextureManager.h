#pragma once

#include "Image/pTexture.h"

#include <map>
#include <string>

// Textures shared by name: each file is read once and kept until clearTextures.
class pTextureManager {
public:
    static pTextureManager* instance();

    // The cached texture of the path, loaded (without mipmaps, image dropped) on a miss. A file
    // that fails to load is not remembered, so the next call tries again.
    pTexture* getTexture(const std::string& path);
    void clearTextures();

private:
    pTextureManager() = default;

    std::map<std::string, pTexture*> textures_;
};
