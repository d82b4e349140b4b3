#pragma once

#include <cstdio>
#include <string>

// What a shell command prints on its standard output, once it has ended.
inline std::string shellOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}
