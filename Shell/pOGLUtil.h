#pragma once

// Immediate-mode GL helpers: the initial state of a context, the two projections, and simple
// shapes. Angles are radians; colours are r, g, b, a in 0..1. The shapes draw with whatever
// texturing and blending state the caller has set.
class pOGLUtil {
public:
    static float PI;

    static void initGL();
    // Pixel coordinates: origin at the top-left corner, y growing downwards.
    static void setOrthographicProjection(int w, int h);
    static void setPerspectiveProjection(int w, int h);

    static void drawArcOutline(float cx, float cy, float radius, float from, float to, float r,
                               float g, float b, float a);
    static void drawCircleOutline(float cx, float cy, float radius, float r, float g, float b,
                                  float a);
    static void drawArcFilled(float cx, float cy, float inner, float outer, float from, float to,
                              float r, float g, float b, float a);
    static void drawCircleFilled(float cx, float cy, float radius, float r, float g, float b,
                                 float a);
    static void drawBoxFilled(float cx, float cy, float hw, float hh, float r, float g, float b,
                              float a);
    static void drawBoxOutline(float cx, float cy, float hw, float hh, float r, float g, float b,
                               float a);
    // The image's first row lands at the bottom of the box (the larger y).
    static void drawBoxTextured(float cx, float cy, float hw, float hh, float r, float g, float b,
                                float a, unsigned long tex);
    // The box cut to x0..x1, y0..y1 (y0 the smaller y), its texture coordinates cut with it.
    static void drawBoxTextured(float cx, float cy, float hw, float hh, float x0, float x1,
                                float y0, float y1, float r, float g, float b, float a,
                                unsigned long tex);
    // Helvetica 10 bitmap text with its baseline start at (x, y).
    static void drawText(int x, int y, const char* text, float r, float g, float b, float a);
    static void drawArrow(float x1, float y1, float x2, float y2, float scale, float shaftWidth,
                          float headWidth, float headFraction, float r, float g, float b, float a);
};
