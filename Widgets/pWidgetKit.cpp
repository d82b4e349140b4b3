#include "Widgets/pWidgetKit.h"

#include "Game/pPlinx.h"
#include "Image/pTexture.h"
#include "Image/pTextureManager.h"
#include "Sound/slSound.h"
#include "Utils/pStringUtils.h"

#include <GL/gl.h>
#include <cmath>

void playMenuBlip() {
    pPlinx* app = pPlinx::instance();
    slPlaySoundDetailed(app->menuBlipSound, nullptr, kReplaceSameSound,
                        static_cast<short>(app->fxVolume), 0, 1.0, 0);
}

pTexture* loadWidgetTexture(const std::string& name) {
    return pTextureManager::instance()->getTexture(getResourcePath(name));
}

void drawTexturedRect(pTexture* texture, float left, float top, float right, float bottom) {
    const float l = std::trunc(left), r = std::trunc(right);
    const float t = std::trunc(top), b = std::trunc(bottom);
    glBindTexture(GL_TEXTURE_2D, texture ? static_cast<GLuint>(texture->getTexID()) : 0);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex2f(l, t);
    glTexCoord2f(1, 1);
    glVertex2f(r, t);
    glTexCoord2f(1, 0);
    glVertex2f(r, b);
    glTexCoord2f(0, 0);
    glVertex2f(l, b);
    glEnd();
}
