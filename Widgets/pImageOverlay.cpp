#include "Widgets/pImageOverlay.h"

#include "Image/pTexture.h"
#include "Image/pTextureProgram.h"
#include "Image/pTextureLoader.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

pImageOverlay::pImageOverlay(std::string fileName)
    : texture(pTextureLoader::instance()->loadTexture(fileName, false, true)) {
    findInk();
}

void pImageOverlay::findInk() {
    pImage* image = texture ? texture->getImage() : nullptr;
    if (!image)
        return;
    const int width = static_cast<int>(image->getWidth());
    const int height = static_cast<int>(image->getHeight());
    int left = width, right = -1, bottom = height, top = -1;
    for (int row = 0; row < height; row++) {
        for (int column = 0; column < width; column++) {
            if (image->getPixelub(row, column, 3) == 0)
                continue;
            left = std::min(left, column);
            right = std::max(right, column);
            bottom = std::min(bottom, row);
            top = std::max(top, row);
        }
    }
    texture->deleteImage();
    if (right < 0) {
        inkLeft = inkRight = inkBottom = inkTop = 0; // wholly clear: nothing to fill
        return;
    }
    // Two texels of margin: a filtered sample reaches one texel beyond its own. A picture inked
    // to an edge keeps that edge, where the filter wraps to the other side as it always did.
    constexpr int margin = 2;
    inkLeft = left - margin <= 0 ? 0.0f : static_cast<float>(left - margin) / width;
    inkRight = right + margin >= width - 1 ? 1.0f : static_cast<float>(right + 1 + margin) / width;
    inkBottom = bottom - margin <= 0 ? 0.0f : static_cast<float>(bottom - margin) / height;
    inkTop = top + margin >= height - 1 ? 1.0f : static_cast<float>(top + 1 + margin) / height;
}

pImageOverlay::~pImageOverlay() {
    delete texture;
}

void pImageOverlay::draw(float x, float y, float w, float h, float r, float g, float b, float a) {
    if (!texture)
        return;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture->getTexID()));
    glColor4f(r, g, b, a);
    // Unblended, the clear margin is drawn like any other texel (the background relies on that
    // to cover old frames); blended, it would come to nothing and is left out.
    const bool blended = glIsEnabled(GL_BLEND);
    const float u0 = blended ? inkLeft : 0.0f, u1 = blended ? inkRight : 1.0f;
    const float v0 = blended ? inkBottom : 0.0f, v1 = blended ? inkTop : 1.0f;
    if (u1 <= u0)
        return;
    pTextureProgram::Scope programmed;
    const float x0 = static_cast<float>(static_cast<int>(x - w));
    const float x1 = static_cast<float>(static_cast<int>(x + w));
    const float y0 = static_cast<float>(static_cast<int>(y - h));
    const float y1 = static_cast<float>(static_cast<int>(y + h));
    // The image's last row is the top of the picture: it goes on the upper edge (y0).
    const float left = x0 + (x1 - x0) * u0;
    const float right = x0 + (x1 - x0) * u1;
    const float top = y1 + (y0 - y1) * v1;
    const float bottom = y1 + (y0 - y1) * v0;
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(u0, v1);
    glVertex2f(left, top);
    glTexCoord2f(u1, v1);
    glVertex2f(right, top);
    glTexCoord2f(u0, v0);
    glVertex2f(left, bottom);
    glTexCoord2f(u1, v0);
    glVertex2f(right, bottom);
    glEnd();
}

void pImageOverlay::drawWithRadialBlur(float x, float y, float w, float h, float r, float g,
                                       float b, float a, float phase) {
    draw(x, y, w, h, r, g, b, a);
    drawDriftingCopies(x, y, w, h, r, g, b, phase);
}

void pImageOverlay::drawDriftingCopies(float x, float y, float w, float h, float r, float g,
                                       float b, float phase) {
    if (!texture)
        return;
    const double p = phase;
    const double driftX = cos(p * 0.262457327 + sin(-p * 0.3266));
    const double driftY = sin(p * 0.163424 + cos(p * 0.124 + 325.0));
    const double flicker = cos(p * 0.34562 + 364544.0) * 0.03 + 0.1;
    pTextureProgram::Scope programmed; // once for all seven
    // Seven copies, u = 0 to 0.9; u steps in single precision like the rest of the sizes.
    for (float u = 0.0f; u < 1.0f; u += 0.15f) {
        const float s = static_cast<float>(u * 0.5 + 1.0);
        const float cx = static_cast<float>(x + driftX * u * 20.0);
        const float cy = static_cast<float>(y + driftY * u * 20.0);
        const float alpha = static_cast<float>(flicker * (1.0f - u));
        draw(cx, cy, w * s, h * s, r, g, b, alpha);
    }
}
