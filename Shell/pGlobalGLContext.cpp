#include "Shell/pGlobalGLContext.h"

#include "Shell/pStartupMarks.h"

#include <cstdio>

pGlobalGLContext* pGlobalGLContext::instance_ = nullptr;

pGlobalGLContext* pGlobalGLContext::instance() {
    if (!instance_)
        instance_ = new pGlobalGLContext();
    return instance_;
}

pGlobalGLContext::pGlobalGLContext() {
    created = false;
    displayKeepXErrors();
    // Without a GL-capable window there is no pixel format to make a context with.
    bool videoStarted = displayInit();
    startupMark("video started");
    if (!videoStarted || !(window_ = displayCreateWindow("", 0, 0, 1, 1, WINDOW_HIDDEN))) {
        failureReason_ = displayError();
        std::string refused = displayStopKeepingXErrors(nullptr);
        if (!refused.empty())
            failureReason_ = refused;
        std::printf("error creating pixel format\n");
        return;
    }
    startupMark("GL driver loaded, hidden window made");
    context = displayCreateContextKept(window_, nullptr, nullptr, failureReason_);
    if (!context) {
        std::printf("error creating opengl context\n");
        return;
    }
    created = true;
}
