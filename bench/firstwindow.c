/* Starts a program and prints "PID MS": its process id and the milliseconds until the X server
 * maps its first top-level window (-1 after 20 s). The program keeps running; bench/peers.sh
 * measures it from there. Build: cc -O2 -o firstwindow firstwindow.c -lX11
 *
 * With PLINX_STARTUP_MARKS set, the program's standard error is kept and "startup: launch at MS"
 * and "startup: mapped at MS" go to it too, on the monotonic clock Plinx's own start-up marks
 * use (Shell/pStartupMarks.h), so that the marks read as times since the launch:
 *   PLINX_STARTUP_MARKS=1 firstwindow build/plinx 2>&1 | awk '/startup/ {print $NF, $0}' */
#include <X11/Xlib.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: firstwindow PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "firstwindow: no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    int marks = getenv("PLINX_STARTUP_MARKS") != NULL;
    double start = nowMs();
    if (marks)
        fprintf(stderr, "startup: launch at %.1f\n", start);
    pid_t pid = fork();
    if (pid == 0) {
        /* The game's own output would hold our caller's pipe open. */
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        if (!marks)
            dup2(devnull, 2);
        close(ConnectionNumber(display));
        execvp(argv[1], argv + 1);
        perror(argv[1]);
        _exit(127);
    }
    int fd = ConnectionNumber(display);
    while (nowMs() - start < 20000) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(display)) {
                double mapped = nowMs();
                if (marks)
                    fprintf(stderr, "startup: mapped at %.1f\n", mapped);
                printf("%d %.0f\n", (int)pid, mapped - start);
                return 0;
            }
        }
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(fd, &ready);
        struct timeval wait = {0, 20000};
        select(fd + 1, &ready, NULL, NULL, &wait);
    }
    printf("%d -1\n", (int)pid);
    return 1;
}
