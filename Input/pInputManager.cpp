#include "Input/pInputManager.h"

#include "Input/pKeyboardHandler.h"
#include "Input/pMouseHandler.h"

pInputManager* pInputManager::instance_ = nullptr;

pInputManager* pInputManager::instance() {
    if (!instance_)
        instance_ = new pInputManager();
    return instance_;
}

pInputManager::pInputManager() : currentMutex(0), mutexCounter(0) {}

void pInputManager::init() {
    currentMutex = 0;
    pKeyboardHandler::instance()->init();
    pMouseHandler::instance()->init();
}

void pInputManager::release() {
    pKeyboardHandler::instance()->release();
    pMouseHandler::instance()->release();
}

void pInputManager::update() {
    pKeyboardHandler::instance()->update();
    pMouseHandler::instance()->update();
}

unsigned int pInputManager::getMutex() {
    return ++mutexCounter;
}

bool pInputManager::lock(unsigned int id) {
    if (currentMutex != 0)
        return false;
    currentMutex = id;
    return true;
}

bool pInputManager::unlock(unsigned int id) {
    if (currentMutex != id)
        return false;
    currentMutex = 0;
    pMouseHandler::instance()->clear();
    pKeyboardHandler::instance()->clear();
    return true;
}

bool pInputManager::validMutex(unsigned int id) {
    return currentMutex == 0 || currentMutex == id;
}
