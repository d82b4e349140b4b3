// Pictures that claim more pixels than any of the game's own are refused before anything is
// allocated, and a picture the memory cannot hold is refused, never a crash.
#include "Image/pTGALoader.h"
#include "tests/support/ImageFileTest.h"
#include "tests/support/PictureFiles.h"

#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The address sanitizer reserves terabytes of address space: no limit on it can be set there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool ADDRESS_SANITIZER = true;
#elif defined(__has_feature)
constexpr bool ADDRESS_SANITIZER = __has_feature(address_sanitizer);
#else
constexpr bool ADDRESS_SANITIZER = false;
#endif

struct OversizedPicture : ImageFileTest {};

} // namespace

TEST_F(OversizedPicture, SidesPast4096AreRefused) {
    const std::pair<int, int> sides[] = {{4096, 1}, {1, 4096}, {4097, 2}, {2, 4097}};
    for (auto [width, height] : sides) {
        bool fits = width <= 4096 && height <= 4096;
        EXPECT_EQ(load(pTGALoader::instance(), runLengthTga(width, height)), fits) << width;
        EXPECT_EQ(untouched(), !fits) << width;
    }
}

TEST_F(OversizedPicture, APictureTheMemoryCannotHoldIsRefused) {
    if (ADDRESS_SANITIZER)
        GTEST_SKIP() << "no address space limit under the address sanitizer";
    // 64 MB of pixels from a 640 kB file, read in a process with 16 MB to spare.
    const std::string big = runLengthTga(4096, 4096).writeTo(folder.file("big.tga"));
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::ifstream status("/proc/self/status");
        std::string word;
        while (status >> word && word != "VmSize:") {
        }
        long kilobytes = 0;
        status >> kilobytes;
        rlimit limit{rlim_t(kilobytes + 16384) * 1024, rlim_t(kilobytes + 16384) * 1024};
        setrlimit(RLIMIT_AS, &limit);
        // What escapes the reader ends the child, as it would end the game.
        [&]() noexcept { _exit(pTGALoader::instance()->load(big, &image) ? 1 : 0); }();
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "loaded in too little memory";
    EXPECT_TRUE(pTGALoader::instance()->load(big, &image)) << "and it loads with enough";
}
