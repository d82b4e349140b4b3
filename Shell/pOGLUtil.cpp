#include "Shell/pOGLUtil.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/freeglut.h>
#include <cmath>
#include <cstdlib>

float pOGLUtil::PI = 3.1415927f;

void pOGLUtil::initGL() {
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glEnable(GL_NORMALIZE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void pOGLUtil::setOrthographicProjection(int w, int h) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, w, h);
    gluOrtho2D(0, w, 0, h);
    glScalef(1, -1, 1);
    glTranslatef(0, static_cast<float>(-h), 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void pOGLUtil::setPerspectiveProjection(int w, int h) {
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<float>(w) / static_cast<float>(h), double{0.1f}, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

static float arcStep() {
    return pOGLUtil::PI / 150;
}

static void arcVertex(float cx, float cy, float radius, float angle) {
    glVertex2f(static_cast<float>(cx + radius * std::cos(double{angle})),
               static_cast<float>(cy + radius * std::sin(double{angle})));
}

void pOGLUtil::drawArcOutline(float cx, float cy, float radius, float from, float to, float r,
                              float g, float b, float a) {
    glColor4f(r, g, b, a);
    glBegin(GL_LINE_STRIP);
    // Far from zero the step can vanish in the float; stop rather than spin.
    for (float angle = from; angle < to && angle + arcStep() > angle; angle += arcStep()) {
        arcVertex(cx, cy, radius, angle);
    }
    arcVertex(cx, cy, radius, to);
    glEnd();
}

void pOGLUtil::drawCircleOutline(float cx, float cy, float radius, float r, float g, float b,
                                 float a) {
    drawArcOutline(cx, cy, radius, 0, 2 * PI, r, g, b, a);
}

// One piece of a filled ring sector, from angle to next.
static void ringPiece(float cx, float cy, float inner, float outer, float angle, float next) {
    arcVertex(cx, cy, outer, angle);
    arcVertex(cx, cy, outer, next);
    arcVertex(cx, cy, inner, angle);
    if (inner != 0) {
        arcVertex(cx, cy, inner, angle);
        arcVertex(cx, cy, outer, next);
        arcVertex(cx, cy, inner, next);
    }
}

void pOGLUtil::drawArcFilled(float cx, float cy, float inner, float outer, float from, float to,
                             float r, float g, float b, float a) {
    glColor4f(r, g, b, a);
    glBegin(GL_TRIANGLES);
    float angle = from;
    while (angle + arcStep() < to && angle + arcStep() > angle) {
        float next = angle + arcStep();
        ringPiece(cx, cy, inner, outer, angle, next);
        angle = next;
    }
    ringPiece(cx, cy, inner, outer, angle, to);
    glEnd();
}

void pOGLUtil::drawCircleFilled(float cx, float cy, float radius, float r, float g, float b,
                                float a) {
    drawArcFilled(cx, cy, 0, radius, 0, 2 * PI, r, g, b, a);
}

void pOGLUtil::drawBoxFilled(float cx, float cy, float hw, float hh, float r, float g, float b,
                             float a) {
    glColor4f(r, g, b, a);
    glBegin(GL_TRIANGLE_STRIP);
    glVertex2f(cx - hw, cy - hh);
    glVertex2f(cx + hw, cy - hh);
    glVertex2f(cx - hw, cy + hh);
    glVertex2f(cx + hw, cy + hh);
    glEnd();
}

void pOGLUtil::drawBoxOutline(float cx, float cy, float hw, float hh, float r, float g, float b,
                              float a) {
    glColor4f(r, g, b, a);
    glBegin(GL_LINE_LOOP);
    glVertex2f(cx - hw, cy - hh);
    glVertex2f(cx + hw, cy - hh);
    glVertex2f(cx + hw, cy + hh);
    glVertex2f(cx - hw, cy + hh);
    glEnd();
}

void pOGLUtil::drawBoxTextured(float cx, float cy, float hw, float hh, float r, float g, float b,
                               float a, unsigned long tex) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(tex));
    glColor4f(r, g, b, a);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0, 1);
    glVertex2f(cx - hw, cy - hh);
    glTexCoord2f(1, 1);
    glVertex2f(cx + hw, cy - hh);
    glTexCoord2f(0, 0);
    glVertex2f(cx - hw, cy + hh);
    glTexCoord2f(1, 0);
    glVertex2f(cx + hw, cy + hh);
    glEnd();
}

void pOGLUtil::drawBoxTextured(float cx, float cy, float hw, float hh, float x0, float x1, float y0,
                               float y1, float r, float g, float b, float a, unsigned long tex) {
    float left = std::fmax(cx - hw, x0);
    float right = std::fmin(cx + hw, x1);
    float low = std::fmax(cy - hh, y0);
    float high = std::fmin(cy + hh, y1);
    // Wholly outside (or nothing left): draw nothing, and never divide by an empty box.
    if (!(left < right && low < high)) {
        return;
    }
    float s0 = (left - (cx - hw)) / (2 * hw);
    float s1 = (right - (cx - hw)) / (2 * hw);
    float t0 = (low - (cy - hh)) / (2 * hh);
    float t1 = (high - (cy - hh)) / (2 * hh);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(tex));
    glColor4f(r, g, b, a);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(s0, t0);
    glVertex2f(left, low);
    glTexCoord2f(s1, t0);
    glVertex2f(right, low);
    glTexCoord2f(s0, t1);
    glVertex2f(left, high);
    glTexCoord2f(s1, t1);
    glVertex2f(right, high);
    glEnd();
}

// GLUT's fonts need glutInit, which ends the process when there is no X display; without one
// the text is left out instead.
static bool glutReady() {
    if (glutGet(GLUT_INIT_STATE)) {
        return true;
    }
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        return false;
    }
    int argc = 1;
    char name[] = "plinx";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    return true;
}

void pOGLUtil::drawText(int x, int y, const char* text, float r, float g, float b, float a) {
    if (!text || !glutReady()) {
        return;
    }
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(r, g, b, a);
    glRasterPos2i(x, y);
    for (const char* c = text; *c; ++c) {
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_10, static_cast<unsigned char>(*c));
    }
    glPopMatrix();
}

void pOGLUtil::drawArrow(float x1, float y1, float x2, float y2, float scale, float shaftWidth,
                         float headWidth, float headFraction, float r, float g, float b, float a) {
    glColor4f(r, g, b, a);
    float hs = scale * shaftWidth / 2;
    float hh = scale * headWidth / 2;
    float dx = x2 - x1;
    float dy = y2 - y1;
    float length = std::sqrt(dx * dx + dy * dy);
    if (length == 0) {
        return;
    }
    float ux = dx / length;
    float uy = dy / length;
    float nx = uy;
    float ny = -ux;
    float shaft = (1 - headFraction) * length;
    glBegin(GL_TRIANGLE_STRIP);
    glVertex2f(x1 - hs * nx + shaft * ux, y1 - hs * ny + shaft * uy);
    glVertex2f(x1 - hs * nx, y1 - hs * ny);
    glVertex2f(x1 + hs * nx + shaft * ux, y1 + hs * ny + shaft * uy);
    glVertex2f(x1 + hs * nx, y1 + hs * ny);
    glEnd();
    glBegin(GL_TRIANGLES);
    glVertex2f(x1 + length * ux, y1 + length * uy);
    glVertex2f(x1 - hh * nx + shaft * ux, y1 - hh * ny + shaft * uy);
    glVertex2f(x1 + hh * nx + shaft * ux, y1 + hh * ny + shaft * uy);
    glEnd();
}
