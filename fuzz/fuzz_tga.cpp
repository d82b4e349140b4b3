// Any bytes as a TGA file: the reader must refuse or load, never crash, hang or overrun.
#include "Image/pTGALoader.h"
#include "fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    const std::string& path = writeFuzzFile(".tga", data, size);
    pImage image;
    if (pTGALoader::instance()->load(path, &image)) {
        // What the texture upload does next with every loaded picture.
        image.makeUseableAsTexture();
    }
    return 0;
}
