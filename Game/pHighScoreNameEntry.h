#pragma once

#include <string>

// The name typed on the high score entry screen. It is kept between games, so the next
// qualifying game of the same run starts with the name typed last.
class pHighScoreNameEntry {
public:
    std::string name;

    pHighScoreNameEntry() {}
    void clear() { name.clear(); }
    std::string getName() { return name; }
    void addCharToName(char ch) { name += ch; }
    // Types this frame's printable keys (Shift for capitals and symbols); Backspace deletes.
    void listenForEventsAndUpdate();
    // The prompt and the name, centred.
    void draw(int width, int height);
};
