// Any bytes as a string to measure, wrap and draw in the game's font. The first byte picks the
// wrap width and the second the text height (byte 0 255 takes both as raw floats from the next
// eight bytes instead); the rest is the text. Run under xvfb-run: the font is a GL texture.
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_Window* window = nullptr;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
        window =
            SDL_CreateWindow("plinx fuzz", 0, 0, 640, 480, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window || !SDL_GL_CreateContext(window)) {
        std::fprintf(stderr, "fuzz_text needs an X display: %s\n", SDL_GetError());
        std::abort();
    }
    if (!pTextManager::instance()->loadAndSetFont(getResourcePath("Brisk.tga"), "Brisk")) {
        std::fprintf(stderr, "fuzz_text: cannot load Brisk.tga\n");
        std::abort();
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -1, 1);
    glEnable(GL_TEXTURE_2D);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size < 2)
        return 0;
    float width = data[0] * 4.0f - 20.0f, h = data[1] / 8.0f;
    size_t skip = 2;
    if (data[0] == 255 && size >= 9) {
        std::memcpy(&width, data + 1, sizeof width);
        std::memcpy(&h, data + 5, sizeof h);
        skip = 9;
    }
    const std::string text(reinterpret_cast<const char*>(data) + skip, size - skip);
    pTextManager* textManager = pTextManager::instance();

    textManager->getStringWidth(text, h);
    textManager->getStringHeight(text, h);
    const std::string wrapped = textManager->formatStringToWidth(text, width, h);
    // Each break adds at most "-\n" to a piece of at least one character.
    if (wrapped.size() > 3 * text.size() + 1)
        std::abort();
    textManager->getStringWidth(wrapped, h);

    // Drawing is costly on the software renderer; short texts are enough to reach every branch.
    if (text.size() <= 64) {
        textManager->drawString(wrapped, 10, 40, h);
        textManager->drawStringCentered(text, 320, 240, h, 100, 540, 50, 430);
        textManager->drawStringFromRight(text, 630, 470, h, 0, width, 0, 480);
    }
    return 0;
}
