#pragma once

// The mouse pointer as the window system shows it.

// Shows or hides the pointer over the game's windows. Harmless before any window exists.
void platformShowCursor(bool show);

// Global screen position of the top-left corner of the game window's content area (the window
// the pointer is in, else the one with the keyboard focus). False when there is no such window.
bool platformWindowContentOrigin(int& left, int& top);
