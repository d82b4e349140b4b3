#include "Widgets/pCachedLayer.h"

#include <GL/gl.h>

pCachedLayer::~pCachedLayer() {
    GLuint name = texture_;
    if (name)
        glDeleteTextures(1, &name);
}

void pCachedLayer::capture(int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    if (!texture_) {
        GLuint name = 0;
        glGenTextures(1, &name);
        texture_ = name;
    }
    glBindTexture(GL_TEXTURE_2D, texture_);
    // Texel for pixel: nearest sampling gives back exactly what was copied, and costs the
    // renderer least.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glReadBuffer(GL_BACK);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 0, 0, width, height, 0);
    width_ = width;
    height_ = height;
}

void pCachedLayer::draw() {
    if (!texture_)
        return;
    const float w = static_cast<float>(width_);
    const float h = static_cast<float>(height_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    // The texels as they are, not tinted by the current colour.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
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
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}
