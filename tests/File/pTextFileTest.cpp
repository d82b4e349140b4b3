#include "File/pTextFile.h"

#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

TEST(pTextFile, LinesSkipBlankLinesAndLineEnds) {
    TempFolder folder;
    const char bytes[] = "\na\r\n\r\n\0b\n\n  c d \nx";
    writeFileBytes(folder.file("t"), std::string(bytes, sizeof(bytes) - 1));
    pTextFile in(folder.file("t"), PFILE_READ);
    in.readLine(); // a blank line opening the file reads as one empty line
    EXPECT_EQ(in.readLine(), "a");
    EXPECT_EQ(in.readLine(), "b");
    EXPECT_EQ(in.readLine(), "  c d ");
    EXPECT_FALSE(in.eof());
    EXPECT_EQ(in.readLine(), "x");
    EXPECT_TRUE(in.eof());
    EXPECT_EQ(in.readLine(), "");

    writeFileBytes(folder.file("kv"), "key=value\n");
    pTextFile kv(folder.file("kv"), PFILE_READ);
    EXPECT_EQ(kv.readUntil('=', false), "key");
    char c = 0;
    kv >> c;
    EXPECT_EQ(c, '=');
    EXPECT_EQ(kv.readUntil('=', false), "value");
    EXPECT_EQ(pTextFile().readLine(), "");
}

TEST(pTextFile, TypedValuesAndWords) {
    TempFolder folder;
    {
        pTextFile out(folder.file("v"), PFILE_WRITE);
        out << 0.5f << tab << -3 << ' ' << static_cast<short>(-4) << ' ' << 5L << ' ' << 6u << ' '
            << static_cast<unsigned short>(7) << ' ' << 8UL << ' ' << 2.5 << ' ' << true << ' '
            << std::string("word") << endl;
    }
    EXPECT_EQ(readFileBytes(folder.file("v")), "0.500000\t-3 -4 5 6 7 8 2.500000 1 word\n");

    pTextFile in(folder.file("v"), PFILE_READ);
    float f = 0;
    int i = 0;
    short s = 0;
    long l = 0;
    unsigned int ui = 0;
    unsigned short us = 0;
    unsigned long ul = 0;
    double d = 0;
    bool b = false;
    std::string word;
    in >> f >> i >> s >> l >> ui >> us >> ul >> d >> b >> word;
    EXPECT_EQ(f, 0.5f);
    EXPECT_EQ(i, -3);
    EXPECT_EQ(s, -4);
    EXPECT_EQ(l, 5);
    EXPECT_EQ(ui, 6u);
    EXPECT_EQ(us, 7);
    EXPECT_EQ(ul, 8u);
    EXPECT_EQ(d, 2.5);
    EXPECT_TRUE(b);
    EXPECT_EQ(word, "word");

    writeFileBytes(folder.file("e"), "1e3 nope");
    pTextFile e(folder.file("e"), PFILE_READ);
    e >> f;
    EXPECT_EQ(f, 1000.0f);
    i = 42;
    e >> i;
    EXPECT_EQ(i, 42);
}

TEST(pTextFile, LongWordStaysInsideTheBuffer) {
    TempFolder folder;
    writeFileBytes(folder.file("w"), std::string(500, 'y') + " next");
    pTextFile in(folder.file("w"), PFILE_READ);
    std::string word;
    in >> word;
    EXPECT_EQ(word, std::string(79, 'y'));
    in >> word;
    EXPECT_EQ(word, "next");
}
