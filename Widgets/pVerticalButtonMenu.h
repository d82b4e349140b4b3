#pragma once

#include "Widgets/pOptionallyActiveButton.h"

#include <string>
#include <vector>

// A column of text buttons, one current, moved through with Up and Down (skipping inactive ones)
// or the pointer, and confirmed with Return, Space or a click.
class pVerticalButtonMenu {
public:
    // Centre of the column and baseline of the first button; each further one is 1.75 sizes lower.
    float x, y;
    float size;
    int current;
    // A confirmation waiting to be collected by getConfirmedChoice.
    int confirmed;
    std::vector<pOptionallyActiveButton> buttons;

    pVerticalButtonMenu();

    void addChoice(std::string label);
    void setActive(std::string label);
    void setInactive(std::string label);
    // Empty when the menu has no buttons.
    std::string getCurrChoice();
    // The confirmed label, once per confirmation; "nothing_confirmed" otherwise.
    std::string getConfirmedChoice();
    void listenForEventsAndUpdate();
    void draw(float time);

private:
    void placeButtons();
    void setActiveFlag(const std::string& label, int flag);
    bool isActive(int i) const;
    // The first active button of the candidates current + step, current + 2 step, ... (wrapping),
    // or current when none is.
    int nextActive(int step) const;
};
