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
    // Puts the score in its row, drops the last row and rewrites "scores.txt".
    void insertScore(std::string name, int score);
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
    void fillMissingRows(cAttribs* read);
};
