#include "Widgets/pImageOverlay.h"

#include "Image/pTexture.h"
#include "Image/pTextureLoader.h"

#include <GL/gl.h>
#include <cmath>

pImageOverlay::pImageOverlay(std::string fileName)
    : texture(pTextureLoader::instance()->loadTexture(fileName, false, false)) {}

pImageOverlay::~pImageOverlay() {
    delete texture;
}

void pImageOverlay::draw(float x, float y, float w, float h, float r, float g, float b, float a) {
    if (!texture)
        return;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture->getTexID()));
    glColor4f(r, g, b, a);
    const int x0 = static_cast<int>(x - w);
    const int x1 = static_cast<int>(x + w);
    const int y0 = static_cast<int>(y - h);
    const int y1 = static_cast<int>(y + h);
    // The image's last row is the top of the picture: it goes on the upper edge.
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0, 1);
    glVertex2i(x0, y0);
    glTexCoord2f(1, 1);
    glVertex2i(x1, y0);
    glTexCoord2f(0, 0);
    glVertex2i(x0, y1);
    glTexCoord2f(1, 0);
    glVertex2i(x1, y1);
    glEnd();
}

void pImageOverlay::drawWithRadialBlur(float x, float y, float w, float h, float r, float g,
                                       float b, float a, float phase) {
    draw(x, y, w, h, r, g, b, a);
    if (!texture)
        return;
    const double p = phase;
    const double driftX = cos(p * 0.262457327 + sin(-p * 0.3266));
    const double driftY = sin(p * 0.163424 + cos(p * 0.124 + 325.0));
    const double flicker = cos(p * 0.34562 + 364544.0) * 0.03 + 0.1;
    // Seven copies, u = 0 to 0.9; u steps in single precision like the rest of the sizes.
    for (float u = 0.0f; u < 1.0f; u += 0.15f) {
        const float s = static_cast<float>(u * 0.5 + 1.0);
        const float cx = static_cast<float>(x + driftX * u * 20.0);
        const float cy = static_cast<float>(y + driftY * u * 20.0);
        const float alpha = static_cast<float>(flicker * (1.0f - u));
        draw(cx, cy, w * s, h * s, r, g, b, alpha);
    }
}
