#include "Game/pOptionsScreen.h"

#include "Game/pPlinx.h"
#include "Input/pActionKeyHandler.h"
#include "Input/pKeyboardHandler.h"
#include "Input/pMouseHandler.h"
#include "Shell/pGame.h"
#include "Text/pTextManager.h"
#include "Utils/pStringUtils.h"
#include "Widgets/pHorizontalSlider.h"
#include "Widgets/pWidgetKit.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
const float ROW_SPACING = 1.75f;
const int MAX_VOLUME = 256;
} // namespace

pOptionsScreen::pOptionsScreen()
    : currentRow(VOLUME), volumeSlider(nullptr), centreX_(0), firstBaseline_(0), fontSize_(0),
      pitch_(0), blippedVolume_(0) {
    // Escape, Return and F11 work everywhere in the game; Command is the full-screen shortcut.
    keys.reservedKeys = {PKEY_COMMAND, PKEY_RETURN, PKEY_F11};
    keys.cancelKey = PKEY_ESCAPE;
}

pOptionsScreen::~pOptionsScreen() {
    delete volumeSlider;
}

void pOptionsScreen::enter() {
    if (!volumeSlider) {
        volumeSlider = new pHorizontalSlider();
        volumeSlider->minValue = 0;
        volumeSlider->maxValue = MAX_VOLUME;
    }
    showBoundKeys();
}

void pOptionsScreen::showBoundKeys() {
    keys.actionNames.clear();
    keys.keyCodes.clear();
    keys.keyNames.clear();
    for (int i = 0; i < pGameKeys::COUNT; i++) {
        keys.actionNames.push_back(pGameKeys::ACTIONS[i].name);
        keys.keyCodes.push_back(pGameKeys::boundKey(i));
        keys.keyNames.push_back(pGameKeys::keyName(keys.keyCodes.back()));
    }
}

void pOptionsScreen::keepKeys() {
    pPlinx* app = pPlinx::instance();
    for (size_t i = 0; i < keys.actionNames.size(); i++)
        pActionKeyHandler::instance()->setActionKey(keys.actionNames[i], keys.keyCodes[i]);
    pGameKeys::store(app->prefs);
    app->updateHelpTexts();
    save();
}

void pOptionsScreen::save() {
    pPlinx::instance()->prefs.writeFile();
}

void pOptionsScreen::layout() {
    pPlinx* app = pPlinx::instance();
    const float width = static_cast<float>(app->viewWidth);
    const float height = static_cast<float>(app->viewHeight);
    fontSize_ = std::min(width / 30.0f, height / 26.0f);
    pitch_ = ROW_SPACING * fontSize_;
    centreX_ = static_cast<float>(app->viewWidth / 2);
    firstBaseline_ = height * 0.2f + fontSize_;
    if (volumeSlider) {
        const float halfWidth = width * 0.2f;
        volumeSlider->setRect(centreX_ + 0.6f * fontSize_ + halfWidth,
                              baseline(VOLUME) - 0.4f * fontSize_, halfWidth, 0.45f * fontSize_);
    }
}

// The heading "Controls" takes a line of its own above the key rows.
float pOptionsScreen::baseline(int row) const {
    const int line = row + (row >= FIRST_KEY ? 1 : 0);
    return firstBaseline_ + static_cast<float>(line) * pitch_;
}

int pOptionsScreen::rowAt(float x, float y) const {
    const float halfWidth = centreX_ * 0.9f;
    if (!(x > centreX_ - halfWidth && x < centreX_ + halfWidth))
        return -1;
    for (int row = 0; row < ROW_COUNT; row++) {
        const float top = baseline(row) - fontSize_ - (pitch_ - fontSize_) / 2;
        if (y > top && y < top + pitch_)
            return row;
    }
    return -1;
}

void pOptionsScreen::update() {
    if (keys.actionNames.size() != static_cast<size_t>(pGameKeys::COUNT) || !volumeSlider)
        enter();
    layout();
    pPlinx* app = pPlinx::instance();
    // A fade is a change of screen under way: a key or click now would act on a screen that is
    // going, and listening would hold the input from the next one.
    if (app->transitionManager.active)
        return;
    if (keys.listening) {
        listen();
        return;
    }

    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    pMouseHandler* mouse = pMouseHandler::instance();
    // The slider takes its own clicks and drags; every value it passes is heard, and the
    // volume is saved when it is let go. Keys wait while it is held.
    const bool wasDragging = volumeSlider->dragging != 0;
    volumeSlider->value = app->fxVolume;
    volumeSlider->listenForEventsAndUpdate();
    if (volumeSlider->dragging && !wasDragging)
        blippedVolume_ = app->fxVolume;
    if (volumeSlider->dragging || wasDragging) {
        currentRow = VOLUME;
        setVolume(volumeSlider->value, !volumeSlider->dragging);
        return;
    }

    if (keyboard->keyPressed(PKEY_ESCAPE, 0)) {
        goBack();
        return;
    }
    if (keyboard->keyPressed(PKEY_UP, 0)) {
        playMenuBlip();
        currentRow = (currentRow + ROW_COUNT - 1) % ROW_COUNT;
    }
    if (keyboard->keyPressed(PKEY_DOWN, 0)) {
        playMenuBlip();
        currentRow = (currentRow + 1) % ROW_COUNT;
    }
    if (keyboard->keyPressed(PKEY_LEFT, 0))
        change(currentRow, -1);
    if (keyboard->keyPressed(PKEY_RIGHT, 0))
        change(currentRow, 1);

    // As in the menus, a pointer resting over a row leaves the keyboard's choice alone.
    const int pointed =
        rowAt(static_cast<float>(mouse->getX(0)), static_cast<float>(mouse->getY(0)));
    if (pointed >= 0 && (mouse->getDeltaX(0) != 0 || mouse->getDeltaY(0) != 0))
        currentRow = pointed;
    if (keyboard->keyPressed(PKEY_RETURN, 0) || keyboard->keyPressed(PKEY_SPACE, 0)) {
        act(currentRow);
    } else if (pointed >= 0 && pointed != VOLUME && mouse->buttonPressed(PBUTTON_LEFT, 0)) {
        currentRow = pointed;
        act(pointed);
    }
}

void pOptionsScreen::act(int row) {
    pPlinx* app = pPlinx::instance();
    if (row == FULL_SCREEN) {
        playMenuBlip();
        app->toggleFullscreen();
    } else if (row == BLOCK_MARKS) {
        playMenuBlip();
        toggleMarks();
    } else if (row >= FIRST_KEY && row < RESET_KEYS) {
        keys.selected = static_cast<unsigned int>(row - FIRST_KEY);
        keys.startListening();
    } else if (row == RESET_KEYS) {
        playMenuBlip();
        pGameKeys::bindDefaults();
        showBoundKeys();
        keepKeys();
    } else if (row == BACK) {
        goBack();
    }
}

void pOptionsScreen::change(int row, int direction) {
    pPlinx* app = pPlinx::instance();
    if (row == VOLUME) {
        blippedVolume_ = app->fxVolume;
        setVolume(std::clamp(app->fxVolume + direction * VOLUME_STEP, 0, MAX_VOLUME), true);
    } else if (row == FULL_SCREEN || row == BLOCK_MARKS)
        act(row);
}

void pOptionsScreen::setVolume(int volume, bool done) {
    pPlinx* app = pPlinx::instance();
    app->fxVolume = volume;
    // The blip plays at the new volume, so the player hears the level; a drag sounds once per
    // step's worth of travel rather than at every pixel, and once more where it ends.
    if (std::abs(volume - blippedVolume_) >= VOLUME_STEP || (done && volume != blippedVolume_)) {
        playMenuBlip();
        blippedVolume_ = volume;
    }
    if (done && app->prefs.getPref("fxVolume") != intToString(volume)) {
        app->prefs.storePref("fxVolume", intToString(volume));
        save();
    }
}

void pOptionsScreen::toggleMarks() {
    pPlinx* app = pPlinx::instance();
    app->puzzle.blockMarks = !app->puzzle.blockMarks;
    app->prefs.storePref("blockMarks", app->puzzle.blockMarks ? "1" : "0");
    save();
}

void pOptionsScreen::listen() {
    const std::vector<PKEYCODE> before = keys.keyCodes;
    keys.listenForEventsAndUpdate();
    if (keys.listening || keys.keyCodes == before)
        return;
    playMenuBlip();
    for (size_t i = 0; i < keys.keyCodes.size(); i++)
        keys.keyNames[i] = pGameKeys::keyName(keys.keyCodes[i]);
    keepKeys();
}

void pOptionsScreen::goBack() {
    playMenuBlip();
    pPlinx::instance()->transitionManager.beginTransition(SPLASH_SCREEN);
}

std::string pOptionsScreen::rowText(int row) {
    pPlinx* app = pPlinx::instance();
    switch (row) {
    case VOLUME:
        return "Sound Volume:";
    case FULL_SCREEN:
        return std::string("Full Screen: ") + (pGame::instance()->isFullscreen() ? "On" : "Off");
    case BLOCK_MARKS:
        return std::string("Block Marks: ") + (app->puzzle.blockMarks ? "On" : "Off");
    case RESET_KEYS:
        return "Reset Controls";
    case BACK:
        return "Back";
    default:
        break;
    }
    const size_t key = static_cast<size_t>(row - FIRST_KEY);
    if (row < FIRST_KEY || key >= keys.keyCodes.size())
        return "";
    const bool waiting = keys.listening && key == keys.selected;
    return std::string(pGameKeys::ACTIONS[key].label) + ": " +
           (waiting ? "?" : pGameKeys::keyName(keys.keyCodes[key]));
}

std::string pOptionsScreen::hint() {
    if (keys.listening) {
        const std::string action =
            pGameKeys::ACTIONS[std::min<unsigned>(keys.selected, pGameKeys::COUNT - 1)].label;
        if (keys.refusedKey >= 0)
            return pGameKeys::keyName(PKEYCODE(keys.refusedKey)) + " " +
                   pGameKeys::keptFor(keys.refusedKey) + ". Press another key for " + action +
                   ", or Escape.";
        return "Press the new key for " + action + ". Escape cancels.";
    }
    switch (currentRow) {
    case VOLUME:
        return "Left and Right set the volume; the pointer drags it.";
    case FULL_SCREEN:
        return "Return switches between full screen and a window, as F11 does.";
    case BLOCK_MARKS:
        return "Marks the blocks of the second colour, so the colours differ in shape.";
    case RESET_KEYS:
        return "Back to Left, Right, Down, X and Z.";
    case BACK:
        return "Back to the title, as Escape does.";
    default:
        return "Return or a click, then the new key. A key in use swaps places.";
    }
}

void pOptionsScreen::draw(float time) {
    if (!volumeSlider)
        enter();
    layout();
    pPlinx* app = pPlinx::instance();
    pTextManager* text = pTextManager::instance();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    text->drawStringCentered("Options", centreX_, 48, 36);

    // The rows breathe and the chosen one stands larger, as in the menus.
    const float breathing =
        fontSize_ + fontSize_ * 0.05f * static_cast<float>(std::cos(time * 0.3));
    for (int row = 0; row < ROW_COUNT; row++) {
        const float size = breathing + (row == currentRow ? fontSize_ * 0.15f : 0.0f);
        const std::string line = rowText(row);
        glColor4f(1, 1, 1, 1);
        if (row == RESET_KEYS || row == BACK) {
            text->drawStringCentered(line, centreX_, baseline(row), size);
        } else {
            // Every value starts just after the middle: the labels end with their colons there.
            const std::string label = line.substr(0, line.find(':') + 1);
            text->drawString(line, centreX_ - text->getStringWidth(label, size), baseline(row),
                             size);
        }
    }
    glColor4f(1, 1, 1, 0.6f);
    text->drawStringCentered("Controls", centreX_, baseline(FIRST_KEY) - pitch_, fontSize_ * 0.8f);
    text->drawStringCentered(
        hint(), centreX_, static_cast<float>(app->viewHeight) - fontSize_ * 0.8f, fontSize_ * 0.7f);

    volumeSlider->value = app->fxVolume;
    volumeSlider->draw();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
