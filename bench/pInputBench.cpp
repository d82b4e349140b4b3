#include "Input/pActionKeyHandler.h"
#include "Input/pInputManager.h"

#include <benchmark/benchmark.h>

// One game frame's input work: a key goes down and up, the game screen asks its five actions,
// and the frame ends.
static void BM_InputFrame(benchmark::State& state) {
    pInputManager::instance()->init();
    pKeyboardHandler* keyboard = pKeyboardHandler::instance();
    keyboard->enableRepeat(250.0, 20.0);
    pActionKeyHandler* actions = pActionKeyHandler::instance();
    const char* names[] = {"ACTION_MOVELEFT", "ACTION_MOVERIGHT", "ACTION_MOVEDOWN", "ACTION_ROTCW",
                           "ACTION_ROTCCW"};
    PKEYCODE keys[] = {PKEY_LEFT, PKEY_RIGHT, PKEY_DOWN, PKEY_X, PKEY_Z};
    for (int i = 0; i < 5; i++)
        actions->setActionKey(names[i], keys[i]);
    pEvent down{PEVENT_CLASS_KEYBOARD, PEVENT_RAW_KEY_DOWN, PKEY_LEFT, 0, 0, 0, 0, 0};
    pEvent up = down;
    up.kind = PEVENT_RAW_KEY_UP;
    for (auto _ : state) {
        keyEvent(nullptr, &down, keyboard);
        for (const char* name : names)
            benchmark::DoNotOptimize(actions->keyPressed(name));
        keyEvent(nullptr, &up, keyboard);
        pInputManager::instance()->update();
    }
}
BENCHMARK(BM_InputFrame);
