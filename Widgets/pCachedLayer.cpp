#include "Widgets/pCachedLayer.h"

#include "Image/pTextureProgram.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstddef>
#include <vector>

pCachedLayer::~pCachedLayer() {
    GLuint name = texture_;
    if (name)
        glDeleteTextures(1, &name);
}

void pCachedLayer::capture(int width, int height, int contents) {
    if (width <= 0 || height <= 0)
        return;
    if (!texture_) {
        GLuint name = 0;
        glGenTextures(1, &name);
        texture_ = name;
    }
    // Read back and uploaded in the window's own layout (blue, green, red, alpha in memory):
    // both are plain copies then, where a copy inside GL would have the renderer build and
    // keep a converting shader for a job done once.
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
    glBindTexture(GL_TEXTURE_2D, texture_);
    // Texel for pixel: nearest sampling gives back exactly what was copied, and costs the
    // renderer least.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 pixels.data());
    width_ = width;
    height_ = height;
    contents_ = contents;
}

void pCachedLayer::draw() {
    if (!texture_)
        return;
    const float w = static_cast<float>(width_);
    const float h = static_cast<float>(height_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    // The texels as they are: white leaves them untouched, whatever colour was current.
    glColor4f(1, 1, 1, 1);
    pTextureProgram::Scope programmed;
    // The view's top row (y 0) is the texture's last.
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0, 1);
    glVertex2f(0, 0);
    glTexCoord2f(1, 1);
    glVertex2f(w, 0);
    glTexCoord2f(0, 0);
    glVertex2f(0, h);
    glTexCoord2f(1, 0);
    glVertex2f(w, h);
    glEnd();
}
