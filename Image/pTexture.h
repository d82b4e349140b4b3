#pragma once

#include "Image/pImage.h"

#include <cstdint>

// One GL texture name and, optionally, the picture it was made from. Uploading and deleting need
// a current GL context.
class pTexture {
public:
    pTexture() = default;
    ~pTexture();
    pTexture(pTexture const&) = delete;
    pTexture& operator=(pTexture const&) = delete;

    // Uploads a copy of the picture (the caller keeps its own); keeps the copy only if asked.
    void bindWithImage(pImage* picture, bool mipmaps, bool keepImage);
    // The same with a picture the caller gives up: its pixels are taken over, not copied, so a
    // large picture is in memory once.
    void bindWithImage(pImage&& picture, bool mipmaps, bool keepImage);
    // Uploads the kept picture again under a new name, first bringing it to power-of-two size.
    void rebind(bool mipmaps);
    void deleteImage();

    unsigned long getTexID() { return texID; }
    pImage* getImage() { return image; }

    pImage* image = nullptr;
    uint32_t texID = 0;
};
