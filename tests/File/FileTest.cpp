// Files as the game reads and writes them: streams, attribute files with their saves, the
// categorical dictionary and the preferences.
#include "File/cAttribs.h"
#include "File/pBinaryFile.h"
#include "File/pCategoricalDict.h"
#include "File/pPreferencesManager.h"
#include "File/pTextFile.h"
#include "Utils/pStringUtils.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <tuple>

namespace {

namespace fs = std::filesystem;

struct FileTest : ::testing::Test {
    TempFolder folder;
    std::string write(const std::string& name, const std::string& bytes) {
        writeFileBytes(folder.file(name), bytes);
        return folder.file(name);
    }
    // The kinds with their items as "kind=a,b;".
    static std::string items(cAttribs& attribs) {
        std::string all;
        for (const std::string& kind : attribs.kinds) {
            all += kind + "=";
            for (const std::string& item : attribs.attribs[kind]->data)
                all += item + ",";
            all += ";";
        }
        return all;
    }
};

} // namespace

TEST_F(FileTest, StreamsOpenCloseRemoveAndRename) {
    pBinaryFile file;
    EXPECT_FALSE(file.open(folder.file("a"), PFILE_NONE));
    EXPECT_FALSE(file.open(folder.file("a"), static_cast<PFILE_MODE>(7)));
    EXPECT_FALSE(file.open(folder.file("missing"), PFILE_READ) || file.isOpen());
    EXPECT_FALSE(file.close() || file.remove());
    ASSERT_TRUE(file.open(folder.file("a"), PFILE_WRITE));
    file << "abc";
    // Renaming a file being written keeps what was written so far.
    ASSERT_TRUE(file.rename(folder.file("b")));
    file << 'd';
    EXPECT_TRUE(file.close());
    EXPECT_EQ(file.getMode(), PFILE_NONE);
    EXPECT_EQ(readFileBytes(folder.file("b")), std::string("abc\0d", 5));
    EXPECT_FALSE(fs::exists(folder.file("a")));
    ASSERT_TRUE(file.open(folder.file("b"), PFILE_READ));
    EXPECT_TRUE(file.remove() && !fs::exists(folder.file("b")));
    // A stream whose last bytes cannot be written (a full disk) is not reported removed.
    ASSERT_TRUE(file.open(folder.file("c"), PFILE_WRITE));
    file << "more than ten bytes";
    FileSizeLimit full(10);
    EXPECT_FALSE(file.remove());
}

// Every typed value written and read back, through a binary stream in both byte orders and
// through a text stream; text read line by line.
TEST_F(FileTest, TypedValuesRoundTripAndTextReadsByLine) {
    const auto values = std::make_tuple('c', (unsigned char)200, (short)-2, (unsigned short)0x424D,
                                        -70000, 4000000000u, -5L, 7UL, 0.5f, 0.25, 1.5L, true);
    for (PFILE_ENDIANNESS order : {PFILE_LITTLE_ENDIAN, PFILE_BIG_ENDIAN}) {
        {
            pBinaryFile out(folder.file("v"), PFILE_WRITE, order);
            std::apply([&](auto... v) { (out << ... << v); }, values);
            out << false << "word" << endl << tab;
            EXPECT_EQ(out.writeBytes("ab", 2), 1);
        }
        std::string bytes = readFileBytes(folder.file("v"));
        EXPECT_EQ(bytes.size(), 67u);
        EXPECT_EQ(bytes.substr(4, 2), order == PFILE_BIG_ENDIAN ? "\x42\x4D" : "\x4D\x42");
        EXPECT_EQ(bytes.substr(bytes.size() - 9), std::string("word\0\n\tab", 9));
        pBinaryFile in(folder.file("v"), PFILE_READ, order);
        auto read = decltype(values){};
        bool no = true;
        std::apply([&](auto&... v) { (in >> ... >> v); }, read);
        in >> no;
        EXPECT_TRUE(read == values && !no && !in.eof()) << order;
    }
    // Header bytes, words and reads past the end, which leave the value alone.
    pBinaryFile in(write("h", "BMabc def"), PFILE_READ, PFILE_LITTLE_ENDIAN);
    unsigned short magic = 0;
    std::string word, second, third;
    char next = 0;
    unsigned int value = 9;
    in >> magic >> word >> next >> second >> value;
    EXPECT_EQ(std::to_string(magic) + word + "|" + next + "|" + second, "19778abc| |def");
    EXPECT_TRUE(in.eof() && value == 9);
    pBinaryFile(write("long", std::string(100, 'x')), PFILE_READ) >> third;
    EXPECT_EQ(third, std::string(80, 'x'));
    pBinaryFile closed;
    closed >> value << 5;
    EXPECT_EQ(closed.readBytes(&value, 4) + closed.writeBytes(&value, 4), 0);

    const auto text = std::make_tuple(0.5f, -3, (short)-4, 5L, 6u, (unsigned short)7, 8UL, 2.5,
                                      true, std::string("word"));
    {
        pTextFile out(folder.file("t"), PFILE_WRITE);
        std::apply([&](auto... v) { ((out << v << ' '), ...); }, text);
        out << endl;
    }
    EXPECT_EQ(readFileBytes(folder.file("t")), "0.500000 -3 -4 5 6 7 8 2.500000 1 word \n");
    pTextFile textIn(folder.file("t"), PFILE_READ);
    auto textRead = decltype(text){};
    std::apply([&](auto&... v) { (textIn >> ... >> v); }, textRead);
    EXPECT_TRUE(textRead == text);
    float f = 0;
    int i = 42;
    pTextFile e(write("e", "1e3 nope " + std::string(500, 'y') + " next"), PFILE_READ);
    e >> f >> i >> word >> third >> second;
    EXPECT_TRUE(f == 1000.0f && i == 42) << "a failed read leaves the value";
    EXPECT_EQ(word + "|" + third + "|" + second, "nope|" + std::string(79, 'y') + "|next");

    // Text lines skip blank lines and line ends.
    const char bytes[] = "\na\r\n\r\n\0b\n\n  c d \nx";
    pTextFile lines(write("l", std::string(bytes, sizeof(bytes) - 1)), PFILE_READ);
    std::string read;
    for (int line = 0; line < 5; line++)
        read += lines.readLine() + "|";
    EXPECT_EQ(read, "|a|b|  c d |x|");
    EXPECT_TRUE(lines.eof());
    EXPECT_EQ(lines.readLine() + pTextFile().readLine(), "");
    pTextFile kv(write("kv", "key=value\n"), PFILE_READ);
    char c = 0;
    std::string key = kv.readUntil('=', false);
    kv >> c;
    EXPECT_EQ(key + c + kv.readUntil('=', false), "key=value");
}

TEST_F(FileTest, AttributeFilesRoundTripAndReadOddOnes) {
    for (const char* name : {"prefs.txt", "scores.txt"}) {
        std::string shipped = std::string(PLINX_SOURCE_DIR) + "/Resources/" + name;
        cAttribs attribs;
        ASSERT_TRUE(attribs.readFile(shipped)) << name;
        cAttribs copy(attribs), assigned;
        assigned.addAttribKind("stale");
        assigned = copy;
        ASSERT_TRUE(assigned.writeFile(folder.file(name)));
        EXPECT_EQ(readFileBytes(folder.file(name)), readFileBytes(shipped)) << name;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 2)
        << "nothing but the files themselves is left";
    cAttribs scores;
    scores.readFile(std::string(PLINX_SOURCE_DIR) + "/Resources/scores.txt");
    EXPECT_EQ(items(scores), "name=No One0,No One1,No One2,No One3,No One4,No One5,No One6,"
                             "No One7,No One8,No One9,;score=100,95,90,85,80,75,70,65,60,55,;");
    // A blank line before the first block is skipped; a kind given twice keeps the last list
    // under both; a cut-off file keeps what it read. A missing brace is reported and stops the
    // reading.
    const std::tuple<const char*, const char*, bool> odd[] = {
        {"\n{\na\n1\n}\n{\na\n2\n}\n", "a=2,;a=2,;", true},
        {"{\nempty\n}\n{\nname\n A b \n}x", "empty=;name= A b ,}x,;", true},
        {"", "", true},
        {"fxVolume\n256\n", "", false},
        {"{\nkept\n1\n}\n {\nlost\n}\n", "kept=1,;", false}};
    for (auto [text, expected, read] : odd) {
        cAttribs attribs;
        testing::internal::CaptureStdout();
        EXPECT_EQ(attribs.readFile(write("in.txt", text)), read) << text;
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  read ? "" : "Error: expecting open bracket\n");
        EXPECT_EQ(items(attribs), expected);
    }
    cAttribs none;
    EXPECT_TRUE(none.readFile(folder.file("missing.txt")) && none.kinds.empty());
}

// A failed save keeps the previous file and leaves nothing behind (the game binary's test,
// under a file size limit); temporaries of a save killed part-way go with the next save.
TEST_F(FileTest, ASaveClearsTheTemporariesOfKilledSaves) {
    cAttribs attribs;
    attribs.addAttribKind("fxVolume");
    attribs.addDataToAttrib("fxVolume", "256");
    attribs.addDataToAttrib("unknown", "ignored");
    // Only those of the same file, old enough not to be another game's save in progress.
    const std::string stale = write(".scores.txt.a1B2c3", "{\nhalf"),
                      fresh = write(".scores.txt.d4E5f6", "{\nhalf");
    const std::string others[] = {write(".prefs.txt.a1B2c3", ""), write(".scores.txt.ab", ""),
                                  write("scores.txt.a1B2c3", "")};
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const std::string& file : {stale, others[0], others[1], others[2]})
        fs::last_write_time(file, hourAgo);
    ASSERT_TRUE(attribs.writeFile(folder.file("scores.txt")));
    EXPECT_EQ(readFileBytes(folder.file("scores.txt")), "{\nfxVolume\n256\n}\n");
    // A new file is readable by all; a replaced one keeps the permissions the player gave it.
    const auto mode = [&] { return int(fs::status(folder.file("scores.txt")).permissions()); };
    const int created = mode();
    fs::permissions(folder.file("scores.txt"), fs::perms(0600));
    ASSERT_TRUE(attribs.writeFile(folder.file("scores.txt")));
    EXPECT_EQ(created * 10000 + mode(), 0644 * 10000 + 0600);
    EXPECT_TRUE(!fs::exists(stale) && fs::exists(fresh));
    for (const std::string& file : others)
        EXPECT_TRUE(fs::exists(file)) << file;
}

TEST_F(FileTest, CategoricalDictionaryJoinsBlocksAndRefusesBadFiles) {
    pCategoricalDict dict(write("d", "\n{\n colours\t\nred\ngreen\n}\n{\nsizes\n}\n\n{\ncolours\n"
                                     "blue\n   \n}\n{\nlast\nentry"));
    using Entries = std::vector<std::string>;
    EXPECT_EQ(dict.numCategories(), 3u);
    EXPECT_EQ(dict["colours"], (Entries{"red", "green", "blue", ""}));
    EXPECT_EQ(dict[1u], Entries{});
    EXPECT_EQ(dict.numEntriesInCategory("last"), 1u);
    EXPECT_EQ(dict.numEntriesInCategory("nope") + dict.numEntriesInCategory(9u), 0u);
    dict.addEntryToCategory(1u, "big");
    dict.addEntryToCategory("nope", "x");
    dict.addEntryToCategory(9u, "x");
    EXPECT_FALSE(dict.hasCategory("nope"));
    ASSERT_TRUE(dict.writeFile(folder.file("out")));
    EXPECT_EQ(readFileBytes(folder.file("out")),
              "{\ncolours\nred\ngreen\nblue\n\n}\n{\nsizes\nbig\n}\n{\nlast\nentry\n}\n");
    EXPECT_FALSE(dict.writeFile(folder.file("no/folder/out")));

    pCategoricalDict bad;
    EXPECT_TRUE(bad.readFile(write("empty", "")) && !bad.readFile(folder.file("missing")));
    EXPECT_FALSE(bad.readFile(write("bad", "colours\n{\n")));
    EXPECT_FALSE(bad.readFile(write("bad", "{\nkept\n}\n{\n}\n{\nlost\n}\n")));
    EXPECT_TRUE(bad.hasCategory("kept") && !bad.hasCategory("lost"));
    EXPECT_EQ(bad.numCategories(), 1u);
    EXPECT_DEATH(bad["lost"],
                 "^File/pCategoricalDict:[0-9]+: failed assertion `itr != dict_.end\\(\\)'\n");
}

// A player's prefs.txt that is empty, damaged or holds a volume that is no volume: the shipped
// default or the nearest good value, one line naming the file and the key, and a damaged file
// kept aside before it is written over, never over an earlier copy.
TEST(PrefsRepair, BadValuesAreNamedAndMendedAndDamagedFilesKeptAside) {
    PlayerFolders folders;
    writeFileBytes(folders.shipped.file("prefs.txt"), "{\nfxVolume\n256\n}\n{\nlanguage\nen\n}\n");
    const std::string mine = folders.player.file("prefs.txt");
    // The file, the volume it gives, and what is said after the file's path (empty: nothing).
    const std::tuple<std::string, int, std::string> cases[] = {
        {"{\nfxVolume\n100\n}\n{\nlanguage\nen\n}\n", 100, ""},
        {"{\nlanguage\nen\n}\n", 256, " has no fxVolume; using the default 256.\n"},
        {"{\nfxVolume\n-5\n}\n", 0, ": fxVolume -5 is outside 0 to 256; using 0.\n"},
        {"{\nfxVolume\n99999999999999999999\n}\n", 256,
         ": fxVolume 99999999999999999999 is outside 0 to 256; using 256.\n"},
        {"{\nfxVolume\nabc\n}\n", 256, ": fxVolume \"abc\" is not a number; using 256.\n"},
        {"garbage\n", 256, ".broken.\n"},
        {"{\nfxVolume\n7\n}\nmore garbage\n", 7, ".broken.1.\n"},
    };
    for (const auto& [file, volume, expected] : cases) {
        SCOPED_TRACE(file);
        writeFileBytes(mine, file);
        testing::internal::CaptureStdout();
        pPreferencesManager prefs;
        EXPECT_EQ(prefs.getIntPref("fxVolume", 0, 256, 256), volume);
        prefs.writeFile();
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(expected.empty() ? said.empty() : said.find(mine + expected) != said.npos)
            << said;
        // Saved is what the game used, and what the file lacked comes from the shipped one.
        const std::string saved = readFileBytes(mine);
        EXPECT_TRUE(saved.find("{\nfxVolume\n" + std::to_string(volume) + "\n}\n") != saved.npos &&
                    saved.find("{\nlanguage\nen\n}\n") != saved.npos)
            << saved;
    }
    EXPECT_EQ(readFileBytes(mine + ".broken") + readFileBytes(mine + ".broken.1"),
              "garbage\n" + std::get<0>(cases[6]));
    EXPECT_EQ(stringToInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(stringToInt("-99999999999999999999"), INT_MIN);
}
