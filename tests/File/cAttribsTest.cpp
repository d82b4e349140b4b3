#include "File/cAttribs.h"

#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace {

std::vector<std::string> items(cAttribs& attribs, const std::string& kind) {
    return attribs.attribs.count(kind) ? attribs.attribs[kind]->data : std::vector<std::string>{};
}

bool readText(cAttribs& attribs, const TempFolder& folder, const std::string& text) {
    writeFileBytes(folder.file("in.txt"), text);
    return attribs.readFile(folder.file("in.txt"));
}

} // namespace

TEST(cAttribs, ShippedFilesRoundTrip) {
    TempFolder folder;
    for (const char* name : {"prefs.txt", "scores.txt"}) {
        std::string shipped = std::string(PLINX_SOURCE_DIR) + "/Resources/" + name;
        cAttribs attribs;
        ASSERT_TRUE(attribs.readFile(shipped)) << name;
        cAttribs copy(attribs);
        cAttribs assigned;
        assigned.addAttribKind("stale");
        assigned = copy;
        ASSERT_TRUE(assigned.writeFile(folder.file(name)));
        EXPECT_EQ(readFileBytes(folder.file(name)), readFileBytes(shipped)) << name;
    }
    cAttribs scores;
    scores.readFile(std::string(PLINX_SOURCE_DIR) + "/Resources/scores.txt");
    EXPECT_EQ(scores.kinds, (std::vector<std::string>{"name", "score"}));
    ASSERT_EQ(items(scores, "name").size(), 10u);
    EXPECT_EQ(items(scores, "name")[9], "No One9");
    EXPECT_EQ(items(scores, "score")[0], "100");
    EXPECT_EQ(items(scores, "score")[9], "55");
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
}

TEST(cAttribs, OddFiles) {
    TempFolder folder;
    cAttribs twice;
    EXPECT_TRUE(readText(twice, folder, "{\na\n1\n}\n{\na\n2\n}\n"));
    EXPECT_EQ(twice.kinds, (std::vector<std::string>{"a", "a"}));
    EXPECT_EQ(items(twice, "a"), std::vector<std::string>{"2"});
    ASSERT_TRUE(twice.writeFile(folder.file("out.txt")));
    EXPECT_EQ(readFileBytes(folder.file("out.txt")), "{\na\n2\n}\n{\na\n2\n}\n");

    cAttribs cut;
    EXPECT_TRUE(readText(cut, folder, "{\nempty\n}\n{\nname\n A b \n}x"));
    EXPECT_EQ(items(cut, "empty"), std::vector<std::string>{});
    EXPECT_EQ(items(cut, "name"), (std::vector<std::string>{" A b ", "}x"}));

    cAttribs none;
    EXPECT_TRUE(readText(none, folder, ""));
    EXPECT_TRUE(none.readFile(folder.file("missing.txt")));
    EXPECT_TRUE(none.kinds.empty());
}

TEST(cAttribs, MissingBraceIsReported) {
    TempFolder folder;
    cAttribs attribs;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(readText(attribs, folder, "fxVolume\n256\n"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: expecting open bracket\n");
    EXPECT_TRUE(attribs.kinds.empty());

    testing::internal::CaptureStdout();
    EXPECT_FALSE(readText(attribs, folder, "{\nkept\n1\n}\n {\nlost\n}\n"));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(attribs.kinds, std::vector<std::string>{"kept"});
}

TEST(cAttribs, FailedWriteKeepsThePreviousFile) {
    TempFolder folder;
    cAttribs attribs;
    attribs.addAttribKind("fxVolume");
    attribs.addDataToAttrib("fxVolume", "256");
    attribs.addDataToAttrib("unknown", "ignored");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(attribs.writeFile(folder.file("no/such/folder/prefs.txt")));
    testing::internal::GetCapturedStdout();

    ASSERT_TRUE(attribs.writeFile(folder.file("prefs.txt")));
    for (int i = 0; i < 1000; i++)
        attribs.addDataToAttrib("fxVolume", "a longer list than the disk will take");

    // A file size limit stands in for a full disk.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    testing::internal::CaptureStdout();
    bool written = attribs.writeFile(folder.file("prefs.txt"));
    std::string said = testing::internal::GetCapturedStdout();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(said.find("Error: cannot write"), std::string::npos);
    EXPECT_EQ(readFileBytes(folder.file("prefs.txt")), "{\nfxVolume\n256\n}\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(cAttribs, ASaveRemovesTemporariesLeftByAKilledSave) {
    TempFolder folder;
    const std::string stale = folder.file(".scores.txt.a1B2c3");
    const std::string fresh = folder.file(".scores.txt.d4E5f6");
    const std::string others[] = {folder.file(".prefs.txt.a1B2c3"), folder.file(".scores.txt.ab"),
                                  folder.file("scores.txt.a1B2c3")};
    for (const std::string& file : {stale, fresh, others[0], others[1], others[2]})
        writeFileBytes(file, "{\nhalf");
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    for (const std::string& file : {stale, others[0], others[1], others[2]})
        std::filesystem::last_write_time(file, old);

    cAttribs attribs;
    attribs.addDataToAttrib("Nobody", "0");
    ASSERT_TRUE(attribs.writeFile(folder.file("scores.txt")));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(fresh)); // may be another game's save in progress
    for (const std::string& file : others)
        EXPECT_TRUE(std::filesystem::exists(file)) << file;
}
