// Any bytes as a BMP file: the reader must refuse or load, never crash, hang or overrun.
#include "Image/pBMPLoader.h"
#include "fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const std::string& path = writeFuzzFile(".bmp", data, size);
    pImage image;
    if (pBMPLoader::instance()->load(path, &image)) {
        // What the texture upload does next with every loaded picture.
        image.makeUseableAsTexture();
    }
    return 0;
}
