#pragma once

// The frame driver reaches the game through these; `main` hands them over at start-up.
void draw();
// The game's update step, then the input manager's end of frame, in that order.
void update();
// Run at process exit.
void release();
// Resizing is handled by the frame driver itself.
void reshape(int, int, int, int);
// The player switched to another program.
void focusLost();
// The main game screen is running (a gamepad's buttons then rotate and pause).
bool gameRunning();
// The key a gamepad button that plays `gameKey` in the game presses on the running screen.
int padKey(int gameKey);
