// Pictures that claim more pixels than any of the game's own: refused before anything is
// allocated, and a picture the memory cannot hold is refused, never a crash.
#include "Image/pBMPLoader.h"
#include "Image/pTGALoader.h"
#include "tests/support/ImageFileTest.h"
#include "tests/support/PictureFiles.h"

#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A valid 24-bit BMP of black pixels; rows padded to four bytes.
ByteFile plainBmp(int width, int height) {
    uint32_t row = (uint32_t(width) * 3 + 3) / 4 * 4;
    ByteFile f;
    f.u16(19778).u32(54 + row * uint32_t(height)).u32(0).u32(54);
    f.u32(40).u32(uint32_t(width)).u32(uint32_t(height)).u16(1).u16(24).u32(0);
    f.u32(0).u32(2835).u32(2835).u32(0).u32(0);
    return f.fill(size_t(row) * size_t(height), 0);
}

long virtualMemoryBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmSize:", 0) == 0)
            return std::stol(line.substr(7)) * 1024;
    return 0;
}

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

TEST_F(OversizedPicture, SidesLongerThan4096AreRefused) {
    struct Case {
        pImageLoader* reader;
        ByteFile file;
        bool loads;
    };
    const Case cases[] = {
        {pTGALoader::instance(), runLengthTga(4096, 1), true},
        {pTGALoader::instance(), runLengthTga(1, 4096), true},
        {pTGALoader::instance(), runLengthTga(4097, 2), false},
        {pTGALoader::instance(), runLengthTga(2, 4097), false},
        {pBMPLoader::instance(), plainBmp(4096, 1), true},
        {pBMPLoader::instance(), plainBmp(4097, 1), false},
        {pBMPLoader::instance(), plainBmp(1, 4097), false},
    };
    for (size_t i = 0; i < std::size(cases); i++) {
        EXPECT_EQ(load(cases[i].reader, cases[i].file), cases[i].loads) << "case " << i;
        EXPECT_EQ(untouched(), !cases[i].loads) << "case " << i;
    }
}

TEST_F(OversizedPicture, APictureTheMemoryCannotHoldIsRefused) {
    if (ADDRESS_SANITIZER)
        GTEST_SKIP() << "no address space limit under the address sanitizer";
    // 64 MB of pixels in a 640 kB file, read in a process that has 16 MB to spare.
    const std::string tga = runLengthTga(4096, 4096).writeTo(folder.file("big.tga"));
    ByteFile bmpFile = plainBmp(4096, 4096);
    const std::string bmp = bmpFile.writeTo(folder.file("big.bmp"));
    bmpFile = ByteFile();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = rlim_t(virtualMemoryBytes() + (16 << 20));
        setrlimit(RLIMIT_AS, &limit);
        // What escapes the readers ends the child, as it would end the game.
        [&]() noexcept {
            pImage image;
            bool loaded = pTGALoader::instance()->load(tga, &image) ||
                          pBMPLoader::instance()->load(bmp, &image);
            _exit(loaded ? 1 : 0);
        }();
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "loaded in too little memory";
    EXPECT_TRUE(pTGALoader::instance()->load(tga, &image)) << "and it loads with enough";
    EXPECT_EQ(image.getWidth(), 4096u);
}
