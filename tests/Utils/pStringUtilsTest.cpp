#include "Platform/pResourceFolder.h"
#include "Utils/pStringUtils.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(StringUtils, PackTrimsItsOwnSetOnly) {
    EXPECT_EQ(pack("  two words \t\n"), "two words");
    EXPECT_EQ(pack(" \t"), "");
    EXPECT_EQ(pack(""), "");
    EXPECT_EQ(pack("x\r"), "x\r");
    EXPECT_TRUE(isWhitespace('\r'));
    EXPECT_FALSE(isWhitespace('\v'));
    EXPECT_FALSE(isWhitespace('\f'));
}

TEST(StringUtils, ConversionsAndCharacters) {
    EXPECT_EQ(stringToInt("12ab"), 12);
    EXPECT_EQ(stringToInt("abc"), 0);
    EXPECT_EQ(floatToString(1.5f), "1.500000");
    EXPECT_EQ(intToString(-7), "-7");
    EXPECT_FLOAT_EQ(stringToFloat(" 2.25x"), 2.25f);
    EXPECT_EQ(removeChar("a.b.c.", '.'), "abc");
    EXPECT_EQ(removeChar("", '.'), "");
    EXPECT_EQ(toUpper("aZ1"), "AZ1");
    EXPECT_EQ(toLower("aZ1"), "az1");
    EXPECT_EQ(shiftChar('q'), 'Q');
    EXPECT_EQ(shiftChar('Q'), 'Q');
    EXPECT_EQ(shiftChar('2'), '@');
    EXPECT_EQ(shiftChar(' '), ' ');
    EXPECT_EQ(shiftChar('\\'), '|');
    EXPECT_EQ(shiftChar('\''), '"');
    EXPECT_EQ(shiftChar(static_cast<char>(0xE9)), static_cast<char>(0xE9));
    for (int i = 0; i < 1000; i++) {
        float r = randInRange(2, 3);
        ASSERT_GE(r, 2);
        ASSERT_LE(r, 3);
    }
}

TEST(StringUtils, ResourcePathsPreferTheUserFolder) {
    TempFolder shipped, user;
    setResourceFolder(shipped.path());
    setUserDataFolder(user.path() + "/plinx");
    std::ofstream(shipped.path() + "/a.txt") << "shipped";
    std::ofstream(shipped.path() + "/b.txt") << "shipped";

    EXPECT_EQ(getResourcePath("a.txt"), shipped.path() + "/a.txt");
    EXPECT_EQ(getResourcePath("missing.txt"), "ERROR!");
    EXPECT_EQ(getResourcePath("../a.txt"), "ERROR!");

    std::string writable = getWritablePath("a.txt");
    EXPECT_EQ(writable, user.path() + "/plinx/a.txt");
    std::ofstream(writable) << "player's";
    EXPECT_EQ(getResourcePath("a.txt"), writable);
    EXPECT_EQ(getResourcePath("b.txt"), shipped.path() + "/b.txt");

    setResourceFolder("");
    setUserDataFolder("");
}
