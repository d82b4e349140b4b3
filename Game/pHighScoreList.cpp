#include "Game/pHighScoreList.h"

#include "File/cAttribs.h"
#include "Shell/pGame.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"

#include <GL/gl.h>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
const char* const NAME_KIND = "name";
const char* const SCORE_KIND = "score";

// The line reader skips blank lines and a line "}" ends a kind, so those two names are written
// with one trailing space and lose it again when read.
std::string nameForFile(const std::string& name) {
    return (name.empty() || name == "}") ? name + " " : name;
}

std::string nameFromFile(const std::string& line) {
    return (line == " " || line == "} ") ? line.substr(0, line.size() - 1) : line;
}

const std::vector<std::string>* itemsOf(cAttribs* attribs, const std::string& kind) {
    if (!attribs)
        return nullptr;
    auto list = attribs->attribs.find(kind);
    return list == attribs->attribs.end() || !list->second ? nullptr : &list->second->data;
}

// atoi's digits, kept inside int so a doctored file cannot wrap a score around.
int scoreValue(const std::string& text) {
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}
} // namespace

pHighScoreList::pHighScoreList() : size(10), attribs(nullptr) {
    cAttribs* read = new cAttribs();
    std::string path = getResourcePath("scores.txt");
    if (path != "ERROR!")
        read->readFile(path);
    fillMissingRows(read);
    delete read;
}

pHighScoreList::~pHighScoreList() {
    delete attribs;
}

void pHighScoreList::fillMissingRows(cAttribs* read) {
    const std::vector<std::string>* names = itemsOf(read, NAME_KIND);
    const std::vector<std::string>* scores = itemsOf(read, SCORE_KIND);
    attribs = new cAttribs();
    makeBlankScoreList();
    std::vector<std::string>& tableNames = attribs->attribs[NAME_KIND]->data;
    std::vector<std::string>& tableScores = attribs->attribs[SCORE_KIND]->data;
    int missing = 0;
    for (int row = 0; row < size; row++) {
        bool complete = names && scores && row < static_cast<int>(names->size()) &&
                        row < static_cast<int>(scores->size());
        if (!complete) {
            missing++;
            continue;
        }
        tableNames[row] = nameFromFile((*names)[row]);
        tableScores[row] = (*scores)[row];
    }
    if (missing == size)
        std::printf("No high scores in scores.txt; starting with the blank table.\n");
    else if (missing > 0)
        std::printf("scores.txt lacks %d of its %d rows; they start out blank.\n", missing, size);
}

std::string pHighScoreList::item(const std::string& kind, int row) {
    const std::vector<std::string>* items = itemsOf(attribs, kind);
    if (!items || row < 0 || row >= static_cast<int>(items->size()))
        return "";
    return (*items)[row];
}

std::string pHighScoreList::getName(int row) {
    return item(NAME_KIND, row);
}

int pHighScoreList::getScore(int row) {
    return scoreValue(item(SCORE_KIND, row));
}

int pHighScoreList::newScoreIndex(int score) {
    for (int i = 0; i < size; i++) {
        if (score > getScore(i))
            return i;
    }
    return -1;
}

bool pHighScoreList::scoreIsHigh(int score) {
    return newScoreIndex(score) != -1;
}

void pHighScoreList::insertScore(std::string name, int score) {
    int index = newScoreIndex(score);
    if (index == -1)
        return;
    std::vector<std::string> names;
    std::vector<std::string> scores;
    for (int i = 0; i < size; i++) {
        if (i == index) {
            names.push_back(name);
            scores.push_back(intToString(score));
        }
        if (static_cast<int>(names.size()) < size) {
            names.push_back(getName(i));
            scores.push_back(item(SCORE_KIND, i));
        }
    }
    delete attribs;
    attribs = new cAttribs();
    attribs->addAttribKind(NAME_KIND);
    attribs->addAttribKind(SCORE_KIND);
    for (const std::string& each : names)
        attribs->addDataToAttrib(NAME_KIND, each);
    for (const std::string& each : scores)
        attribs->addDataToAttrib(SCORE_KIND, each);

    cAttribs file(*attribs);
    for (std::string& each : file.attribs[NAME_KIND]->data)
        each = nameForFile(each);
    std::string path = getWritablePath("scores.txt");
    if (!file.writeFile(path))
        std::printf("Could not save the high scores to %s\n", path.c_str());
}

void pHighScoreList::makeBlankScoreList() {
    attribs->addAttribKind(NAME_KIND);
    attribs->addAttribKind(SCORE_KIND);
    for (int i = 0; i < size; i++) {
        attribs->addDataToAttrib(NAME_KIND, "No One" + intToString(i));
        attribs->addDataToAttrib(SCORE_KIND, intToString(100 - 5 * i));
    }
}

float pHighScoreList::getHeight(float textSize) {
    return static_cast<float>(size * textSize + (size - 1) * 0.75 * textSize);
}

void pHighScoreList::draw(int width, int, float textSize, float top, float time) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    const float s = textSize * (pGame::instance()->getViewHeight() / 480.0f);
    const float gap = s * 0.75f;
    pTextManager* text = pTextManager::instance();
    const double drift = time * 0.3;
    // Names are drawn where they stand: a name may be megabytes long.
    static const std::string noName;
    const std::vector<std::string>* names = itemsOf(attribs, NAME_KIND);
    for (int i = 0; i < size; i++) {
        // The large constants give every row its own pastel tint.
        const float f = static_cast<float>(i) / size;
        const float red = 0.8 + 0.2 * cos(static_cast<float>(f * 946794 + 734) + drift);
        const float green = 0.8 + 0.2 * cos(static_cast<float>(f * 2634627 + 234243) + drift);
        const float blue = 0.8 + 0.2 * cos(static_cast<float>(f * 7645 + 354534) + drift);
        glColor4f(red, green, blue, 1);
        const float y = i * (s + gap) + top;
        const bool named = names && i < static_cast<int>(names->size());
        text->drawString(named ? (*names)[i] : noName, 64, y, s);
        text->drawStringFromRight(intToString(getScore(i)), static_cast<float>(width - 64), y, s);
    }
}
