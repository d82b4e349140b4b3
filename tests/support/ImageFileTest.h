#pragma once

#include "Image/pImageLoader.h"
#include "tests/support/ByteFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

// Feeds byte-built files to a reader. The target image holds one marker pixel before every load,
// so a refused file shows as an untouched image.
class ImageFileTest : public ::testing::Test {
protected:
    bool load(pImageLoader* reader, const ByteFile& file) {
        image.reinitialize(1, 1);
        image.setPixelub(0, 0, 1, 2, 3, 4);
        return reader->load(file.writeTo(folder.file("picture")), &image);
    }
    bool untouched() const {
        return image.getWidth() == 1 && image.getHeight() == 1 &&
               image.getPixel(0, 0) == pPixel(1, 2, 3, 4);
    }

    TempFolder folder;
    pImage image;
};
