#include "Game/pHighScoreList.h"

#include "File/cAttribs.h"
#include "Shell/pGame.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"

#include <GL/gl.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {
const char* const FILE_NAME = "scores.txt";
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

// A score as the game writes it: digits with an optional minus sign.
bool isScore(const std::string& text) {
    std::string digits = pack(text);
    size_t start = !digits.empty() && digits[0] == '-' ? 1 : 0;
    return digits.size() > start &&
           std::all_of(digits.begin() + static_cast<long>(start), digits.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

struct Row {
    std::string name;
    std::string score;
};

// Holds the lock beside the scores file while it lives, so that two copies of the game save
// one after the other, each reading what the other wrote. Without a lock (a folder where none
// can be made) the save goes on as before.
class SaveLock {
public:
    explicit SaveLock(const std::string& path) {
        if (path.empty())
            return;
        std::filesystem::path file(path);
        std::string lock =
            (file.parent_path() / ("." + file.filename().string() + ".lock")).string();
        fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        for (int tries = 0; fd_ >= 0 && tries < 500; tries++) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (fd_ >= 0)
            std::printf("Another game has held the high scores for 5 s; saving all the same.\n");
    }
    ~SaveLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

private:
    int fd_ = -1;
};
} // namespace

pHighScoreList::pHighScoreList() : size(10), attribs(nullptr) {
    readTable(false);
}

pHighScoreList::~pHighScoreList() {
    delete attribs;
}

void pHighScoreList::readTable(bool quiet) {
    std::string path = getResourcePath(FILE_NAME);
    cAttribs file;
    std::string problem;
    if (path != "ERROR!")
        file.readFileExactly(path, problem);
    const std::vector<std::string> none;
    const std::vector<std::string>& names =
        itemsOf(&file, NAME_KIND) ? *itemsOf(&file, NAME_KIND) : none;
    const std::vector<std::string>& scores =
        itemsOf(&file, SCORE_KIND) ? *itemsOf(&file, SCORE_KIND) : none;
    if (problem.empty() && names.size() != scores.size())
        problem = "it holds " + std::to_string(names.size()) + " names and " +
                  std::to_string(scores.size()) + " scores";

    // Rows are paired by their place in the file; a row whose score is not a number is left out.
    std::vector<Row> rows;
    std::vector<bool> kept(static_cast<size_t>(size), false);
    for (size_t row = 0; row < names.size() && row < scores.size(); row++) {
        if (!isScore(scores[row])) {
            if (problem.empty())
                problem = "the score \"" + scores[row] + "\" is no number";
            continue;
        }
        if (row >= kept.size())
            continue;
        std::string name = nameFromFile(names[row]);
        name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
        rows.push_back({name, pack(scores[row])});
        kept[row] = true;
    }
    // The rows missing come from the blank table, and the whole stays best first; a row of the
    // file stays above a blank row of the same score.
    int missing = 0;
    for (int row = 0; row < size; row++) {
        if (!kept[static_cast<size_t>(row)]) {
            rows.push_back({"No One" + intToString(row), intToString(100 - 5 * row)});
            missing++;
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return stringToInt(a.score) > stringToInt(b.score);
    });

    delete attribs;
    attribs = new cAttribs();
    attribs->addAttribKind(NAME_KIND);
    attribs->addAttribKind(SCORE_KIND);
    for (const Row& row : rows) {
        attribs->addDataToAttrib(NAME_KIND, row.name);
        attribs->addDataToAttrib(SCORE_KIND, row.score);
    }

    damagedPath_ = problem.empty() ? "" : path;
    if (quiet)
        return;
    if (!problem.empty())
        std::printf("%s could not be read whole: %s.\n", path.c_str(), problem.c_str());
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
    return stringToInt(item(SCORE_KIND, row));
}

bool pHighScoreList::lastSaveFailed() {
    return saveFailed_;
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
    if (newScoreIndex(score) == -1)
        return;
    // Another copy of the game may have saved since this table was read: read it again under
    // the lock, and insert into what is there now.
    std::string path = getWritablePath(FILE_NAME);
    SaveLock lock(path);
    readTable(true);
    int index = newScoreIndex(score);
    if (index == -1) {
        std::printf("The score %d no longer makes the table: another game saved better ones.\n",
                    score);
        return;
    }
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

    saveFailed_ = !save(path);
}

bool pHighScoreList::save(const std::string& path) {
    if (path.empty())
        return false; // no home to save in, as the game said at start
    // A damaged file goes aside before it is written over: the names it still holds are the
    // player's.
    if (!damagedPath_.empty() && damagedPath_ == path) {
        std::string kept = cAttribs::keepAside(path);
        std::error_code error;
        if (kept.empty() && std::filesystem::exists(path, error)) {
            std::printf("Error: cannot keep a copy of the damaged %s, so it is not written over.\n",
                        path.c_str());
            return false;
        }
        if (!kept.empty())
            std::printf("Kept the damaged %s as %s.\n", path.c_str(), kept.c_str());
        damagedPath_.clear();
    }
    cAttribs file(*attribs);
    for (std::string& each : file.attribs[NAME_KIND]->data)
        each = nameForFile(each);
    return file.writeFile(path);
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
