#include "Platform/pKeyTranslation.h"

#include "Platform/pEvent.h"

#include <SDL_scancode.h>

#include <array>

namespace {

struct Position {
    SDL_Scancode scancode;
    int code;
};

// Every position of the US layout the game names, plus the few extra Mac positions a PC keyboard
// has (keypad Enter and Clear, the ISO key, F14 to F20, the volume keys).
constexpr Position positions[] = {
    {SDL_SCANCODE_A, 0},
    {SDL_SCANCODE_S, 1},
    {SDL_SCANCODE_D, 2},
    {SDL_SCANCODE_F, 3},
    {SDL_SCANCODE_H, 4},
    {SDL_SCANCODE_G, 5},
    {SDL_SCANCODE_Z, 6},
    {SDL_SCANCODE_X, 7},
    {SDL_SCANCODE_C, 8},
    {SDL_SCANCODE_V, 9},
    {SDL_SCANCODE_NONUSBACKSLASH, 10},
    {SDL_SCANCODE_B, 11},
    {SDL_SCANCODE_Q, 12},
    {SDL_SCANCODE_W, 13},
    {SDL_SCANCODE_E, 14},
    {SDL_SCANCODE_R, 15},
    {SDL_SCANCODE_Y, 16},
    {SDL_SCANCODE_T, 17},
    {SDL_SCANCODE_1, 18},
    {SDL_SCANCODE_2, 19},
    {SDL_SCANCODE_3, 20},
    {SDL_SCANCODE_4, 21},
    {SDL_SCANCODE_6, 22},
    {SDL_SCANCODE_5, 23},
    {SDL_SCANCODE_EQUALS, 24},
    {SDL_SCANCODE_9, 25},
    {SDL_SCANCODE_7, 26},
    {SDL_SCANCODE_MINUS, 27},
    {SDL_SCANCODE_8, 28},
    {SDL_SCANCODE_0, 29},
    {SDL_SCANCODE_RIGHTBRACKET, 30},
    {SDL_SCANCODE_O, 31},
    {SDL_SCANCODE_U, 32},
    {SDL_SCANCODE_LEFTBRACKET, 33},
    {SDL_SCANCODE_I, 34},
    {SDL_SCANCODE_P, 35},
    {SDL_SCANCODE_RETURN, 36},
    {SDL_SCANCODE_L, 37},
    {SDL_SCANCODE_J, 38},
    {SDL_SCANCODE_APOSTROPHE, 39},
    {SDL_SCANCODE_K, 40},
    {SDL_SCANCODE_SEMICOLON, 41},
    {SDL_SCANCODE_BACKSLASH, 42},
    {SDL_SCANCODE_COMMA, 43},
    {SDL_SCANCODE_SLASH, 44},
    {SDL_SCANCODE_N, 45},
    {SDL_SCANCODE_M, 46},
    {SDL_SCANCODE_PERIOD, 47},
    {SDL_SCANCODE_TAB, 48},
    {SDL_SCANCODE_SPACE, 49},
    {SDL_SCANCODE_GRAVE, 50},
    {SDL_SCANCODE_BACKSPACE, 51},
    {SDL_SCANCODE_ESCAPE, 53},
    {SDL_SCANCODE_LGUI, 55},
    {SDL_SCANCODE_RGUI, 55},
    {SDL_SCANCODE_LSHIFT, 56},
    {SDL_SCANCODE_RSHIFT, 56},
    {SDL_SCANCODE_CAPSLOCK, 57},
    {SDL_SCANCODE_LALT, 58},
    {SDL_SCANCODE_RALT, 58},
    {SDL_SCANCODE_LCTRL, 59},
    {SDL_SCANCODE_RCTRL, 59},
    {SDL_SCANCODE_F17, 64},
    {SDL_SCANCODE_KP_PERIOD, 65},
    {SDL_SCANCODE_KP_MULTIPLY, 67},
    {SDL_SCANCODE_KP_PLUS, 69},
    {SDL_SCANCODE_NUMLOCKCLEAR, 71},
    {SDL_SCANCODE_VOLUMEUP, 72},
    {SDL_SCANCODE_VOLUMEDOWN, 73},
    {SDL_SCANCODE_MUTE, 74},
    {SDL_SCANCODE_KP_DIVIDE, 75},
    {SDL_SCANCODE_KP_ENTER, 76},
    {SDL_SCANCODE_KP_MINUS, 78},
    {SDL_SCANCODE_F18, 79},
    {SDL_SCANCODE_F19, 80},
    {SDL_SCANCODE_KP_EQUALS, 81},
    {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_KP_1, 83},
    {SDL_SCANCODE_KP_2, 84},
    {SDL_SCANCODE_KP_3, 85},
    {SDL_SCANCODE_KP_4, 86},
    {SDL_SCANCODE_KP_5, 87},
    {SDL_SCANCODE_KP_6, 88},
    {SDL_SCANCODE_KP_7, 89},
    {SDL_SCANCODE_F20, 90},
    {SDL_SCANCODE_KP_8, 91},
    {SDL_SCANCODE_KP_9, 92},
    {SDL_SCANCODE_F5, 96},
    {SDL_SCANCODE_F6, 97},
    {SDL_SCANCODE_F7, 98},
    {SDL_SCANCODE_F3, 99},
    {SDL_SCANCODE_F8, 100},
    {SDL_SCANCODE_F9, 101},
    {SDL_SCANCODE_F11, 103},
    // A PC keyboard's Print Screen, Scroll Lock and Pause stand where F13 to F15 stand.
    {SDL_SCANCODE_F13, 105},
    {SDL_SCANCODE_PRINTSCREEN, 105},
    {SDL_SCANCODE_F16, 106},
    {SDL_SCANCODE_F14, 107},
    {SDL_SCANCODE_SCROLLLOCK, 107},
    {SDL_SCANCODE_F10, 109},
    {SDL_SCANCODE_F12, 111},
    {SDL_SCANCODE_F15, 113},
    {SDL_SCANCODE_PAUSE, 113},
    // Insert stands where Help stands.
    {SDL_SCANCODE_INSERT, 114},
    {SDL_SCANCODE_HELP, 114},
    {SDL_SCANCODE_HOME, 115},
    {SDL_SCANCODE_PAGEUP, 116},
    {SDL_SCANCODE_DELETE, 117},
    {SDL_SCANCODE_F4, 118},
    {SDL_SCANCODE_END, 119},
    {SDL_SCANCODE_F2, 120},
    {SDL_SCANCODE_PAGEDOWN, 121},
    {SDL_SCANCODE_F1, 122},
    {SDL_SCANCODE_LEFT, 123},
    {SDL_SCANCODE_RIGHT, 124},
    {SDL_SCANCODE_DOWN, 125},
    {SDL_SCANCODE_UP, 126},
};

constexpr std::array<signed char, SDL_NUM_SCANCODES> buildTable() {
    std::array<signed char, SDL_NUM_SCANCODES> table{};
    for (auto& entry : table)
        entry = -1;
    for (const Position& position : positions)
        table[position.scancode] = static_cast<signed char>(position.code);
    return table;
}

constexpr std::array<signed char, SDL_NUM_SCANCODES> table = buildTable();

// Left Control, Shift, Alt, GUI, then the right ones: scancodes 224 to 231 in SDL's order.
constexpr int firstModifier = SDL_SCANCODE_LCTRL;
constexpr int lastModifier = SDL_SCANCODE_RGUI;
constexpr uint32_t modifierBits[] = {PMODIFIER_CONTROL, PMODIFIER_SHIFT, PMODIFIER_OPTION,
                                     PMODIFIER_COMMAND};

} // namespace

int scancodeToKeyCode(int scancode) {
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES)
        return -1;
    return table[scancode];
}

bool isModifierScancode(int scancode) {
    return (scancode >= firstModifier && scancode <= lastModifier) ||
           scancode == SDL_SCANCODE_CAPSLOCK;
}

void pModifierKeys::set(int scancode, bool down) {
    if (scancode < firstModifier || scancode > lastModifier)
        return;
    unsigned bit = 1u << (scancode - firstModifier);
    held_ = down ? (held_ | bit) : (held_ & ~bit);
}

uint32_t pModifierKeys::mask(bool capsLockEngaged) const {
    uint32_t mask = capsLockEngaged ? PMODIFIER_CAPS_LOCK : 0;
    for (int i = 0; i < 8; i++)
        if (held_ & (1u << i))
            mask |= modifierBits[i % 4];
    return mask;
}
