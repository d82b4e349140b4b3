#include "File/pBinaryFile.h"
#include "File/pTextFile.h"

#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(pFile, OpenCloseRemoveRename) {
    TempFolder folder;
    pBinaryFile file;
    EXPECT_TRUE(file.eof());
    EXPECT_FALSE(file.open(folder.file("a"), PFILE_NONE));
    EXPECT_FALSE(file.open(folder.file("a"), static_cast<PFILE_MODE>(7)));
    EXPECT_FALSE(file.isOpen());
    EXPECT_FALSE(file.open(folder.file("missing"), PFILE_READ));
    EXPECT_FALSE(file.close());
    EXPECT_FALSE(file.remove());

    ASSERT_TRUE(file.open(folder.file("a"), PFILE_WRITE));
    EXPECT_EQ(file.getPath(), folder.file("a"));
    EXPECT_EQ(file.getMode(), PFILE_WRITE);
    file << "abc";
    // Renaming a file being written keeps what was written so far.
    ASSERT_TRUE(file.rename(folder.file("b")));
    file << 'd';
    EXPECT_TRUE(file.close());
    EXPECT_EQ(file.getMode(), PFILE_NONE);
    EXPECT_EQ(readFileBytes(folder.file("b")), std::string("abc\0d", 5));
    EXPECT_FALSE(std::filesystem::exists(folder.file("a")));

    ASSERT_TRUE(file.open(folder.file("b"), PFILE_READ));
    EXPECT_TRUE(file.remove());
    EXPECT_FALSE(std::filesystem::exists(folder.file("b")));
}

TEST(pBinaryFile, TypedValuesRoundTripInBothOrders) {
    TempFolder folder;
    for (PFILE_ENDIANNESS order : {PFILE_LITTLE_ENDIAN, PFILE_BIG_ENDIAN}) {
        SCOPED_TRACE(order);
        {
            pBinaryFile out(folder.file("v"), PFILE_WRITE, order);
            out << 'c' << static_cast<unsigned char>(200) << static_cast<short>(-2)
                << static_cast<unsigned short>(0x424D) << -70000 << 4000000000u << -5L << 7UL
                << 0.5f << 0.25 << static_cast<long double>(1.5) << true << "word" << endl
                << tab;
        }
        std::string bytes = readFileBytes(folder.file("v"));
        ASSERT_EQ(bytes.size(), 1u + 1 + 2 + 2 + 4 + 4 + 4 + 4 + 4 + 8 + 16 + 4 + 5 + 1 + 1);
        EXPECT_EQ(bytes.substr(4, 2), order == PFILE_BIG_ENDIAN ? "\x42\x4D" : "\x4D\x42");
        EXPECT_EQ(bytes.substr(bytes.size() - 7), std::string("word\0\n\t", 7));

        pBinaryFile in(folder.file("v"), PFILE_READ, order);
        char c = 0;
        unsigned char uc = 0;
        short s = 0;
        unsigned short us = 0;
        int i = 0;
        unsigned int ui = 0;
        long l = 0;
        unsigned long ul = 0;
        float f = 0;
        double d = 0;
        long double ld = 0;
        bool b = false;
        in >> c >> uc >> s >> us >> i >> ui >> l >> ul >> f >> d >> ld >> b;
        EXPECT_EQ(c, 'c');
        EXPECT_EQ(uc, 200);
        EXPECT_EQ(s, -2);
        EXPECT_EQ(us, 0x424D);
        EXPECT_EQ(i, -70000);
        EXPECT_EQ(ui, 4000000000u);
        EXPECT_EQ(l, -5);
        EXPECT_EQ(ul, 7u);
        EXPECT_EQ(f, 0.5f);
        EXPECT_EQ(d, 0.25);
        EXPECT_EQ(ld, 1.5L);
        EXPECT_TRUE(b);
        EXPECT_FALSE(in.eof());
        pBinaryFile copy(in);
        EXPECT_TRUE(copy.isOpen());
        EXPECT_EQ(copy.getEndianness(), order);
    }
}

TEST(pBinaryFile, HeaderBytesWordsAndShortReads) {
    TempFolder folder;
    writeFileBytes(folder.file("h"), "BMabc def");
    pBinaryFile in(folder.file("h"), PFILE_READ, PFILE_LITTLE_ENDIAN);
    unsigned short magic = 0;
    in >> magic;
    EXPECT_EQ(magic, 19778);
    std::string word;
    in >> word;
    EXPECT_EQ(word, "abc");
    char next = 0;
    in >> next;
    EXPECT_EQ(next, ' ');
    in >> word;
    EXPECT_EQ(word, "def");
    // Past the end a read leaves the value alone and the stream reports its end.
    unsigned int value = 9;
    in >> value;
    EXPECT_EQ(value, 9u);
    EXPECT_TRUE(in.eof());

    writeFileBytes(folder.file("long"), std::string(100, 'x'));
    pBinaryFile longWord(folder.file("long"), PFILE_READ);
    longWord >> word;
    EXPECT_EQ(word, std::string(80, 'x'));

    pBinaryFile closed;
    closed >> value << 5;
    EXPECT_EQ(closed.readBytes(&value, 4), 0);
}
