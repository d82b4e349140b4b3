// A damaged or short scores.txt: every row that still pairs a name with its score keeps it, the
// table stays sorted best first, and a damaged file is kept aside before the first save, never
// over an earlier copy.
#include "Game/pHighScoreList.h"
#include "tests/support/FileBytes.h"
#include "tests/support/PlayerFolders.h"

#include <gtest/gtest.h>

namespace {
// The table Keep0 = 200 down to Keep9 = 110, with one line of each kind replaced.
std::string scoresFile(int nameRow, const std::string& name, int scoreRow, const std::string& score,
                       const std::string& scoreKind = "score") {
    std::string names, scores;
    for (int row = 0; row < 10; row++) {
        names += (row == nameRow ? name : "Keep" + std::to_string(row)) + "\n";
        scores += (row == scoreRow ? score : std::to_string(200 - 10 * row)) + "\n";
    }
    return "{\nname\n" + names + "}\n{\n" + scoreKind + "\n" + scores + "}\n";
}

std::string rows(pHighScoreList& list) {
    std::string all;
    for (int i = 0; i < list.size; i++)
        all += list.getName(i) + "=" + std::to_string(list.getScore(i)) + ";";
    return all;
}
} // namespace

TEST(ScoresFileDamage, PairedRowsStaySortedAndDamagedFilesAreKeptAside) {
    PlayerFolders folders;
    const std::string mine = folders.player.file("scores.txt");
    const std::string keep = "Keep0=200;Keep1=190;Keep2=180;";
    struct Case {
        std::string file, rows;
        bool damaged;
    };
    const Case cases[] = {
        // A NUL byte in a name and in a score.
        {scoresFile(3, std::string("Ke\0ep3", 6), 5,
                    std::string("1\0"
                                "50",
                                4)),
         keep + "Keep3=170;Keep4=160;Keep6=140;Keep7=130;Keep8=120;Keep9=110;No One5=75;", true},
        // A blank score line.
        {scoresFile(-1, "", 3, ""),
         keep + "Keep4=160;Keep5=150;Keep6=140;Keep7=130;Keep8=120;Keep9=110;No One3=85;", true},
        // A damaged score block: no score is left for any name.
        {scoresFile(-1, "", -1, "", "scroe"),
         "No One0=100;No One1=95;No One2=90;No One3=85;No One4=80;No One5=75;No One6=70;"
         "No One7=65;No One8=60;No One9=55;",
         true},
        // Two rows only, and ten out of order: the blank table fills in, all best first.
        {"{\nname\nA\nB\n}\n{\nscore\n30\n20\n}\n",
         "No One2=90;No One3=85;No One4=80;No One5=75;No One6=70;No One7=65;No One8=60;"
         "No One9=55;A=30;B=20;",
         false},
        {scoresFile(-1, "", 0, "1"),
         "Keep1=190;Keep2=180;Keep3=170;Keep4=160;Keep5=150;Keep6=140;Keep7=130;Keep8=120;"
         "Keep9=110;Keep0=1;",
         false},
    };
    std::vector<std::string> keptAside;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        writeFileBytes(mine, c.file);
        testing::internal::CaptureStdout();
        pHighScoreList list;
        EXPECT_EQ(rows(list), c.rows);
        list.insertScore("New", 1000);
        std::string said = testing::internal::GetCapturedStdout();
        std::string copy =
            mine + ".broken" + (keptAside.empty() ? "" : "." + std::to_string(keptAside.size()));
        EXPECT_EQ(said.find("Kept the damaged " + mine + " as " + copy + ".\n") !=
                      std::string::npos,
                  c.damaged)
            << said;
        if (c.damaged)
            keptAside.push_back(c.file);
        pHighScoreList reread;
        EXPECT_EQ(rows(reread).substr(0, 9), "New=1000;");
        EXPECT_EQ(rows(reread), rows(list));
    }
    for (size_t i = 0; i < keptAside.size(); i++)
        EXPECT_EQ(readFileBytes(mine + ".broken" + (i ? "." + std::to_string(i) : "")),
                  keptAside[i]);
}
