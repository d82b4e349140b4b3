#include "Utils/pAssert.h"

#include <cstdio>
#include <cstdlib>

void pAssertFailed(const char* source, int line, const char* condition) {
    std::fprintf(stderr, "%s:%d: failed assertion `%s'\n", source, line, condition);
    std::fflush(stderr);
    std::abort();
}
