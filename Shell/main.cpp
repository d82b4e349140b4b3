// Until the window and the screens exist, the game binary runs a short self-check of its files.
#include "Utils/pStringUtils.h"

#include <cstdio>

int main() {
    const char* files[] = {"prefs.txt", "scores.txt"};
    int missing = 0;
    for (const char* name : files) {
        std::string path = getResourcePath(name);
        std::printf("%s: %s\n", name, path.c_str());
        if (path == "ERROR!")
            missing++;
    }
    std::printf("Plinx self-check %s (the game itself is still being built)\n",
                missing ? "failed" : "passed");
    return missing ? 1 : 0;
}
