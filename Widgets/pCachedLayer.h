#pragma once

// What lies under a screen and does not change from frame to frame (the background), kept in a
// texture the size of the view once drawn, and then copied into each frame pixel for pixel: a
// copy costs the renderer far less than drawing the picture scaled and filtered again.
class pCachedLayer {
public:
    pCachedLayer() {}
    ~pCachedLayer();
    pCachedLayer(const pCachedLayer&) = delete;
    pCachedLayer& operator=(const pCachedLayer&) = delete;

    // True when the layer holds `contents` (the caller's number for what was drawn into it) for
    // a view of this size.
    bool holds(int width, int height, int contents = 0) const {
        return texture_ != 0 && width == width_ && height == height_ && contents == contents_;
    }
    // Takes the view's lower-left width x height pixels of the back buffer as the layer.
    void capture(int width, int height, int contents = 0);
    // The layer over the whole view, replacing every pixel. Expects the 2-D projection of the
    // view (Shell/pOGLUtil), texturing on and blending off.
    void draw();
    // Forgets the picture; the next frame draws and captures it again.
    void forget() { width_ = height_ = 0; }

private:
    unsigned texture_ = 0;
    int width_ = 0;
    int height_ = 0;
    int contents_ = 0;
};
