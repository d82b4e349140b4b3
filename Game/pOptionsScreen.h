#pragma once

#include "Game/pGameKeys.h"
#include "Input/pKeyConfigInterface.h"

#include <string>

class pHorizontalSlider;

// The Options screen: the sound volume, full screen, the block marks and the five game keys,
// every change saved at once. Up and Down (or the pointer) choose a row, Return, Space or a click
// acts on it, Left and Right change its value, and Escape goes back to the title.
class pOptionsScreen {
public:
    enum Row {
        VOLUME,
        FULL_SCREEN,
        BLOCK_MARKS,
        FIRST_KEY,
        RESET_KEYS = FIRST_KEY + pGameKeys::COUNT,
        BACK,
        ROW_COUNT
    };
    // Left and Right move the volume by this much.
    static const int VOLUME_STEP = 16;

    // The highlighted row; it stays between visits, as the menus' choices do.
    int currentRow;
    // Captures a new key for a game action under the input lock; one row per action, in the
    // order of pGameKeys::ACTIONS.
    pKeyConfigInterface keys;
    // Made on the first visit: its pictures need the GL context.
    pHorizontalSlider* volumeSlider;

    pOptionsScreen();
    pOptionsScreen(const pOptionsScreen&) = delete;
    pOptionsScreen& operator=(const pOptionsScreen&) = delete;
    ~pOptionsScreen();

    // Shows the keys bound now; run as the screen is chosen.
    void enter();
    void update();
    void draw(float time);
    // A row as it reads on the screen, "Full Screen: Off".
    std::string rowText(int row);
    // The line under the rows: what the highlighted row does, or what listening waits for.
    std::string hint();
    // Where a row's text stands: its baseline, in the view of the latest update or draw.
    float baseline(int row) const;

private:
    // Where the rows stand in the current view.
    void layout();
    // The row under the pointer, or -1.
    int rowAt(float x, float y) const;
    void act(int row);
    void change(int row, int direction);
    void setVolume(int volume, bool save);
    void toggleMarks();
    void listen();
    // The bound keys into the rows, or the rows' keys into the game, the file and the help.
    void showBoundKeys();
    void keepKeys();
    void goBack();
    void save();

    float centreX_, firstBaseline_, fontSize_, pitch_;
    // The volume the latest blip of a drag played at.
    int blippedVolume_;
};
