#pragma once

#include <string>
#include <vector>

// A column of centred text entries, one highlighted, chosen with Up/Down or the pointer and
// confirmed with Return, Space or a click. The owner places it before every update.
class pVerticalMenu {
public:
    // Horizontal centre of the entries.
    float x;
    // Baseline of the first entry; each further entry is 1.75 text heights lower.
    float y;
    float fontSize;
    int currChoice;
    std::vector<std::string> choices;
    // A confirmation waiting to be collected by getConfirmedChoice.
    bool confirmed;
    // The pointer was over an entry at the latest update.
    bool mouseOver;

    pVerticalMenu();

    void addChoice(std::string choice);
    void listenForEventsAndUpdate();
    // The confirmed entry, once per confirmation; "nothing_confirmed" otherwise.
    std::string getConfirmedChoice();
    std::string getCurrChoice();
    void draw(float time);

private:
    float rowTop(int i) const;
};
