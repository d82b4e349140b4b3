#pragma once

#include "Platform/pDisplay.h"

#include <string>

// The context every other context shares its GL objects with, so textures loaded once outlive
// switches between the window and full screen. It lives on a hidden window of its own.
class pGlobalGLContext {
public:
    pGLContext context = nullptr;
    bool created = false;

    static pGlobalGLContext* instance();

    bool createdSuccessfully() { return created; }
    pGLContext getGLContext() { return context; }
    SDL_Window* getWindow() { return window_; }
    // Why the context could not be made ("" once it was).
    const std::string& failureReason() { return failureReason_; }

private:
    pGlobalGLContext();
    static pGlobalGLContext* instance_;
    SDL_Window* window_ = nullptr;
    std::string failureReason_;
};
