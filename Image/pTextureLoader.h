#pragma once

#include "Image/pTexture.h"

#include <string>

// Makes textures from TGA and BMP files, choosing the reader by the name.
class pTextureLoader {
public:
    static pTextureLoader* instance();

    // A new texture made from the file (the caller owns it), or null when the name has no known
    // extension or the reader refuses the file.
    pTexture* loadTexture(const std::string& path, bool mipmaps, bool keepImage);
    // The name contains ".tga", ".TGA", ".bmp" or ".BMP" anywhere.
    bool canLoad(const std::string& path);

private:
    pTextureLoader() = default;
};
