#include "Shell/pFrameCallbacks.h"

void draw() {}

void update() {}

void release() {}

void reshape(int, int, int, int) {}
