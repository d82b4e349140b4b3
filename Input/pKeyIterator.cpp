#include "Input/pKeyIterator.h"

pKeyIterator::pKeyIterator(std::list<pKeyEvent>& events)
    : current(events.begin()), begin(events.begin()), end(events.end()) {}

bool pKeyIterator::hasMoreEvents() {
    return current != end;
}

bool pKeyIterator::hasMoreDownEvents() {
    return findNext(true) != end;
}

bool pKeyIterator::hasMoreUpEvents() {
    return findNext(false) != end;
}

pKeyEvent pKeyIterator::getNext() {
    return take(current);
}

pKeyEvent pKeyIterator::getNextDown() {
    return take(findNext(true));
}

pKeyEvent pKeyIterator::getNextUp() {
    return take(findNext(false));
}

void pKeyIterator::reset() {
    current = begin;
}

std::list<pKeyEvent>::iterator pKeyIterator::findNext(bool down) {
    auto at = current;
    while (at != end && at->down != down)
        ++at;
    return at;
}

pKeyEvent pKeyIterator::take(std::list<pKeyEvent>::iterator at) {
    if (at == end)
        return pKeyEvent(false, PKEYCODE(0));
    current = std::next(at);
    return *at;
}
