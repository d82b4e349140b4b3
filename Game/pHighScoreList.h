#pragma once

#include <string>

class cAttribs;

// The ten best scores with their names, best first, kept in "scores.txt" as the attribute kinds
// "name" and "score".
class pHighScoreList {
public:
    int size;
    cAttribs* attribs;

    // Reads "scores.txt"; rows the file lacks are taken from the blank table.
    pHighScoreList();
    ~pHighScoreList();
    pHighScoreList(const pHighScoreList&) = delete;
    pHighScoreList& operator=(const pHighScoreList&) = delete;

    // The row a score would take (it must beat the row's score), or -1.
    int newScoreIndex(int score);
    bool scoreIsHigh(int score);
    // Puts the score in its row, drops the last row and rewrites "scores.txt". The table is read
    // again first, under a lock, so that a score another running copy saved is not lost.
    void insertScore(std::string name, int score);
    // The latest insertion could not be saved (the table in memory has it all the same).
    bool lastSaveFailed();
    // Adds the kinds "name" and "score" with No One0 at 100 down to No One9 at 55.
    void makeBlankScoreList();
    float getHeight(float textSize);
    // The rows in pastel tints that drift with `time` (seconds), scaled with the view height.
    // `height` is unused; the view's own height is taken.
    void draw(int width, int height, float textSize, float top, float time);

    std::string getName(int row);
    int getScore(int row);

private:
    std::string item(const std::string& kind, int row);
    // The table from "scores.txt": rows that pair a name with a score keep their place in the
    // file's order, the rest come from the blank table, all sorted best first. A damaged file is
    // named (unless quiet) and noted, to be kept aside before it is written over.
    void readTable(bool quiet);
    bool save(const std::string& path);

    // The file read could not be read whole; empty when it could.
    std::string damagedPath_;
    bool saveFailed_ = false;
};
