#include "File/pCategoricalDict.h"

#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using Entries = std::vector<std::string>;

TEST(pCategoricalDict, JoinsBlocksAndRoundTrips) {
    TempFolder folder;
    writeFileBytes(folder.file("d"),
                   "\n{\n colours\t\nred\ngreen\n}\n{\nsizes\n}\n\n{\ncolours\nblue\n"
                   "   \n}\n{\nlast\nentry");
    pCategoricalDict dict(folder.file("d"));
    EXPECT_EQ(dict.numCategories(), 3u);
    EXPECT_EQ(dict["colours"], (Entries{"red", "green", "blue", ""}));
    EXPECT_EQ(dict[1u], Entries{});
    EXPECT_EQ(dict.numEntriesInCategory("last"), 1u);
    EXPECT_EQ(dict.numEntriesInCategory("nope"), 0u);
    EXPECT_EQ(dict.numEntriesInCategory(9u), 0u);
    dict.addEntryToCategory(1u, "big");
    dict.addEntryToCategory("nope", "x");
    dict.addEntryToCategory(9u, "x");
    EXPECT_FALSE(dict.hasCategory("nope"));

    ASSERT_TRUE(dict.writeFile(folder.file("out")));
    EXPECT_EQ(readFileBytes(folder.file("out")),
              "{\ncolours\nred\ngreen\nblue\n\n}\n{\nsizes\nbig\n}\n{\nlast\nentry\n}\n");
    EXPECT_FALSE(dict.writeFile(folder.file("no/folder/out")));
}

TEST(pCategoricalDict, BadFiles) {
    TempFolder folder;
    pCategoricalDict dict;
    writeFileBytes(folder.file("empty"), "");
    EXPECT_TRUE(dict.readFile(folder.file("empty")));
    EXPECT_FALSE(dict.readFile(folder.file("missing")));
    writeFileBytes(folder.file("bad"), "colours\n{\n");
    EXPECT_FALSE(dict.readFile(folder.file("bad")));
    writeFileBytes(folder.file("bad"), "{\nkept\n}\n{\n}\n{\nlost\n}\n");
    EXPECT_FALSE(dict.readFile(folder.file("bad")));
    EXPECT_TRUE(dict.hasCategory("kept"));
    EXPECT_FALSE(dict.hasCategory("lost"));
    EXPECT_EQ(dict.numCategories(), 1u);
    EXPECT_DEATH(dict["lost"],
                 "^File/pCategoricalDict:[0-9]+: failed assertion `itr != dict_.end\\(\\)'\n");
}
