#pragma once

#include <cstdint>

// The game's key codes are positions on a US keyboard numbered as the Mac numbers them (Z is 6,
// X is 7). SDL reports positions as USB scancodes; these map one onto the other.

// The position of an SDL scancode, or -1 for a key that has none (it is then not reported).
int scancodeToKeyCode(int scancode);

// Modifier keys are never reported as keys of their own, only as a change of the modifier mask.
bool isModifierScancode(int scancode);

// The held modifier keys of both hands, one bit per modifier scancode (left Control first).
// Tracked from the key events themselves, so each event carries the state right after it.
class pModifierKeys {
public:
    // Records a modifier key going down or up; other scancodes are ignored.
    void set(int scancode, bool down);
    // The whole mask: Super is Command, Alt is Option, Ctrl is Control; Caps Lock while engaged.
    uint32_t mask(bool capsLockEngaged) const;
    void clear() { held_ = 0; }

private:
    unsigned held_ = 0;
};
