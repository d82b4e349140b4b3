#pragma once

#include <list>

// Defined with its names in Input/pKeyboardHandler.h.
enum PKEYCODE : int;

// One key going down or up.
class pKeyEvent {
public:
    bool down;
    PKEYCODE code;

    pKeyEvent(bool down, PKEYCODE code) : down(down), code(code) {}
};

// Walks the key events the keyboard handler collected since the previous frame. It does not own
// them and is good until the handler's next update().
class pKeyIterator {
public:
    explicit pKeyIterator(std::list<pKeyEvent>& events);

    bool hasMoreEvents();
    bool hasMoreDownEvents();
    bool hasMoreUpEvents();
    // Each takes the next matching event and moves past it. With none left they hand back an
    // up event of code 0 and stay put, so a reader that skips its hasMore test cannot run off
    // the list.
    pKeyEvent getNext();
    pKeyEvent getNextDown();
    pKeyEvent getNextUp();
    void reset();

private:
    std::list<pKeyEvent>::iterator current;
    std::list<pKeyEvent>::iterator begin;
    std::list<pKeyEvent>::iterator end;

    std::list<pKeyEvent>::iterator findNext(bool down);
    pKeyEvent take(std::list<pKeyEvent>::iterator at);
};
