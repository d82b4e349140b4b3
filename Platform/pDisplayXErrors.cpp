#include "Platform/pDisplay.h"

#include <SDL.h>
#include <SDL_syswm.h>
// After SDL: Xlib's macros (None, Bool) clash with little, but keep them last.
#include <X11/Xlib.h>

#include <string>

namespace {

XErrorHandler previousHandler = nullptr;
int depth = 0;
std::string firstError;

int keepError(Display* display, XErrorEvent* error) {
    if (firstError.empty()) {
        char text[160] = "";
        XGetErrorText(display, error->error_code, text, sizeof text);
        firstError = "the X server refused a request (" + std::string(text) + ", request " +
                     std::to_string(error->request_code) + "." + std::to_string(error->minor_code) +
                     ")";
    }
    return 0;
}

} // namespace

void displayKeepXErrors() {
    if (depth++ > 0)
        return;
    firstError.clear();
    previousHandler = XSetErrorHandler(keepError);
}

std::string displayStopKeepingXErrors(SDL_Window* window) {
    if (depth == 0)
        return "";
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
        XSync(info.info.x11.display, False);
    if (--depth == 0)
        XSetErrorHandler(previousHandler);
    return firstError;
}

pGLContext displayCreateContextKept(SDL_Window* window, pGLContext shareWith,
                                    SDL_Window* shareWindow, std::string& failure) {
    pGLContext context = displayCreateContext(window, shareWith, shareWindow);
    // SDL names a context it could not make; one the server refused behind its back is named by
    // the refusal.
    failure = context ? "" : displayError();
    std::string refused = displayStopKeepingXErrors(window);
    if (context && refused.empty())
        return context;
    if (failure.empty())
        failure = refused;
    displayDestroyContext(context);
    return nullptr;
}
