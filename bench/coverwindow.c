/* Covers the whole screen with one plain window until it is killed, so that whatever is under it
 * is wholly out of sight; bench/peers.sh measures what a covered game costs. No window manager
 * moves it: it asks not to be managed. Build: cc -O2 -o coverwindow coverwindow.c -lX11 */
#include <X11/Xlib.h>
#include <stdio.h>
#include <unistd.h>

int main(void) {
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "coverwindow: no X display\n");
        return 2;
    }
    int screen = DefaultScreen(display);
    XSetWindowAttributes attributes;
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, screen);
    Window cover = XCreateWindow(display, RootWindow(display, screen), 0, 0,
                                 DisplayWidth(display, screen), DisplayHeight(display, screen), 0,
                                 CopyFromParent, InputOutput, CopyFromParent,
                                 CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display, cover);
    XSync(display, False);
    for (;;)
        pause();
}
