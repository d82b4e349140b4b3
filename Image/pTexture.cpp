#include "Image/pTexture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <utility>

pTexture::~pTexture() {
    GLuint name = texID;
    glDeleteTextures(1, &name);
    delete image;
}

void pTexture::bindWithImage(pImage* picture, bool mipmaps, bool keepImage) {
    // Copied before the old picture goes: the caller may have passed getImage().
    bindWithImage(pImage(*picture), mipmaps, keepImage);
}

void pTexture::bindWithImage(pImage&& picture, bool mipmaps, bool keepImage) {
    pImage* taken = new pImage(std::move(picture));
    delete image;
    image = taken;
    rebind(mipmaps);
    if (!keepImage) {
        deleteImage();
    }
}

void pTexture::rebind(bool mipmaps) {
    if (!image) {
        return;
    }
    image->makeUseableAsTexture();
    if (texID != 0) {
        GLuint old = texID;
        glDeleteTextures(1, &old);
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    texID = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Rows of RGBA bytes are always 4-aligned, but a caller may have changed the unpacking.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    GLsizei width = static_cast<GLsizei>(image->getWidth());
    GLsizei height = static_cast<GLsizei>(image->getHeight());
    if (mipmaps) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                          image->getRawData());
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     image->getRawData());
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void pTexture::deleteImage() {
    delete image;
    image = nullptr;
}
