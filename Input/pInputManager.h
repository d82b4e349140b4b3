#pragma once

// The front of the input: starts and advances the keyboard and mouse once per frame, and owns
// the listener lock, by which one reader can take all input for itself.
class pInputManager {
public:
    // The id holding the lock; 0 while nobody does.
    unsigned int currentMutex;
    // The last id handed out.
    unsigned int mutexCounter;

    static pInputManager* instance();

    void init();
    void release();
    // After the frame's reads: the current state becomes the previous one.
    void update();

    unsigned int getMutex();
    bool lock(unsigned int id);
    // Only the holder may unlock; it also clears both devices, so whatever was held during the
    // lock must be pressed again to count.
    bool unlock(unsigned int id);
    bool validMutex(unsigned int id);

private:
    pInputManager();
    static pInputManager* instance_;
};
