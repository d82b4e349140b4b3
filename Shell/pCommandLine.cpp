#include "Shell/pCommandLine.h"

#include "Platform/pResourceFolder.h"

#include <cstring>

#ifndef PLINX_VERSION
#define PLINX_VERSION "unknown"
#endif

static void printUsage(FILE* out) {
    std::fprintf(out,
                 "Usage: plinx [--fullscreen | --windowed]\n"
                 "A falling-block puzzle: steer two-colour pieces into the well and let the\n"
                 "sweeper line clear every one-colour 2x2 square it passes.\n"
                 "\n"
                 "Options:\n"
                 "  --fullscreen    start full screen (this run only)\n"
                 "  --windowed      start in a window (this run only)\n"
                 "  -h, --help      show this help and exit\n"
                 "  --version       show the version and exit\n"
                 "\n"
                 "Controls (as shipped; the Options screen of the title changes them):\n"
                 "  Left, Right     move the piece\n"
                 "  Down            fall fast\n"
                 "  Z, X            rotate the piece's colours\n"
                 "  Escape          pause\n"
                 "  F11, Super+F    full screen and back\n"
                 "  Up, Down, Return  choose in menus\n"
                 "  A gamepad plays too: d-pad or left stick to move, A and B rotate, Start "
                 "pauses.\n"
                 "\n"
                 "Scores and preferences (scores.txt, prefs.txt) are kept in\n"
                 "  %s\n"
                 "The defaults shipped with the game are in\n"
                 "  %s\n",
                 userDataFolder().c_str(), resourceFolder().c_str());
}

pCommandLine::pCommandLine(int argc, char** argv, FILE* out, FILE* err) {
    for (int i = 1; i < argc && !finished; i++) {
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            printUsage(out);
            finished = true;
        } else if (!std::strcmp(arg, "--version")) {
            std::fprintf(out, "plinx %s\n", PLINX_VERSION);
            finished = true;
        } else if (!std::strcmp(arg, "--fullscreen")) {
            fullscreen = true;
            screenChosen = true;
        } else if (!std::strcmp(arg, "--windowed")) {
            fullscreen = false;
            screenChosen = true;
        } else {
            std::fprintf(err, "plinx: %s '%s'\n",
                         arg[0] == '-' ? "unknown option" : "unexpected argument", arg);
            std::fprintf(err, "Try 'plinx --help' for the options.\n");
            finished = true;
            exitStatus = 2;
        }
    }
}
