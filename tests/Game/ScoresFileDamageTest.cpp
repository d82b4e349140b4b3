// A damaged or short scores.txt: every row that still pairs a name with its score keeps it, the
// table stays sorted best first, and a damaged file is kept aside before the first save, never
// over an earlier copy.
#include "Game/pHighScoreList.h"
#include "Platform/pResourceFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

std::string scoresFile(const std::vector<std::string>& names,
                       const std::vector<std::string>& scores, const char* scoreKind = "score") {
    std::string text = "{\nname\n";
    for (const std::string& name : names)
        text += name + "\n";
    text += "}\n{\n" + std::string(scoreKind) + "\n";
    for (const std::string& score : scores)
        text += score + "\n";
    return text + "}\n";
}

std::string rows(pHighScoreList& list) {
    std::string all;
    for (int i = 0; i < list.size; i++)
        all += list.getName(i) + "=" + std::to_string(list.getScore(i)) + ";";
    return all;
}

const std::vector<std::string> NAMES = {"Keep0", "Keep1", "Keep2", "Keep3", "Keep4",
                                        "Keep5", "Keep6", "Keep7", "Keep8", "Keep9"};
const std::vector<std::string> SCORES = {"200", "190", "180", "170", "160",
                                         "150", "140", "130", "120", "110"};

template <typename Change> std::vector<std::string> with(std::vector<std::string> list, Change c) {
    c(list);
    return list;
}

} // namespace

TEST(ScoresFileDamage, PairedRowsStaySortedAndDamagedFilesAreKeptAside) {
    TempFolder shipped, player;
    setResourceFolder(shipped.path());
    setUserDataFolder(player.path());
    const std::string mine = player.file("scores.txt");
    struct Case {
        const char* what;
        std::string file;
        std::string rows;
        bool damaged;
    };
    const Case cases[] = {
        {"a NUL byte in a name and in a score",
         scoresFile(with(NAMES, [](auto& n) { n[3] = std::string("Ke\0ep3", 6); }),
                    with(SCORES,
                         [](auto& s) {
                             s[5] = std::string("1\0"
                                                "50",
                                                4);
                         })),
         "Keep0=200;Keep1=190;Keep2=180;Keep3=170;Keep4=160;Keep6=140;Keep7=130;Keep8=120;"
         "Keep9=110;No One5=75;",
         true},
        {"a blank score line", scoresFile(NAMES, with(SCORES, [](auto& s) { s[3] = ""; })),
         "Keep0=200;Keep1=190;Keep2=180;Keep4=160;Keep5=150;Keep6=140;Keep7=130;Keep8=120;"
         "Keep9=110;No One3=85;",
         true},
        {"a damaged score block", scoresFile(NAMES, SCORES, "scroe"),
         "No One0=100;No One1=95;No One2=90;No One3=85;No One4=80;No One5=75;No One6=70;"
         "No One7=65;No One8=60;No One9=55;",
         true},
        {"two rows, in order", scoresFile({"A", "B"}, {"30", "20"}),
         "No One2=90;No One3=85;No One4=80;No One5=75;No One6=70;No One7=65;No One8=60;"
         "No One9=55;A=30;B=20;",
         false},
        {"ten rows out of order", scoresFile(NAMES, with(SCORES, [](auto& s) { s[0] = "1"; })),
         "Keep1=190;Keep2=180;Keep3=170;Keep4=160;Keep5=150;Keep6=140;Keep7=130;Keep8=120;"
         "Keep9=110;Keep0=1;",
         false},
    };
    std::vector<std::string> keptAside;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFileBytes(mine, c.file);
        testing::internal::CaptureStdout();
        pHighScoreList list;
        EXPECT_EQ(rows(list), c.rows);
        int lowest = list.getScore(9);
        EXPECT_EQ(list.newScoreIndex(lowest + 1), 9) << "the last row is the lowest";
        list.insertScore("New", 1000);
        std::string said = testing::internal::GetCapturedStdout();
        EXPECT_EQ(list.getName(0), "New");
        EXPECT_FALSE(list.lastSaveFailed());
        std::string copy =
            mine + ".broken" + (keptAside.empty() ? "" : "." + std::to_string(keptAside.size()));
        if (c.damaged) {
            EXPECT_NE(said.find(mine + " could not be read whole"), std::string::npos) << said;
            EXPECT_NE(said.find("Kept the damaged " + mine + " as " + copy + ".\n"),
                      std::string::npos)
                << said;
            keptAside.push_back(c.file);
        }
        EXPECT_FALSE(std::filesystem::exists(copy) && !c.damaged) << "kept an undamaged file";
        pHighScoreList reread;
        EXPECT_EQ(rows(reread), rows(list));
    }
    for (size_t i = 0; i < keptAside.size(); i++)
        EXPECT_EQ(readFileBytes(mine + ".broken" + (i ? "." + std::to_string(i) : "")),
                  keptAside[i])
            << "copy " << i;
    setResourceFolder("");
    setUserDataFolder("");
}
