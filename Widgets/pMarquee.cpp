#include "Widgets/pMarquee.h"

#include "Text/pTextManager.h"
#include "Utils/pTimer.h"

#include <cstdlib>

const double pMarquee::DEFAULT_MESSAGE_DELAY = 0.0;

pMarquee::pMarquee(float textSize, float speed, std::string font)
    : font(std::move(font)), randomPlay(false), continuousPlay(false), loop(false), finished(false),
      messageGap(50), messageDelay(DEFAULT_MESSAGE_DELAY), delayMark(pTimer::instance()->setMark()),
      waiting(false), textSize(textSize), speed(speed) {}

pMarquee::~pMarquee() {}

void pMarquee::addMessage(std::string text) {
    messages.emplace_back(std::move(text), 0);
}

void pMarquee::makeReady() {
    for (auto& message : messages)
        message.second &= ~PLAYED;
    pTextManager::instance()->setCurrentFont(font);
    finished = false;
    waiting = false;
    active.clear();
    if (messages.empty())
        return;
    if (randomPlay)
        addRandomMessage();
    else
        startMessage(0);
}

void pMarquee::addSequentialMessage(unsigned int previous) {
    if (messages.empty() || previous >= messages.size())
        return;
    markPlayed(previous);
    unsigned int next = (previous + 1) % messages.size();
    if (!loop && played(next))
        return;
    startMessage(next);
}

void pMarquee::addRandomMessage() {
    if (messages.empty())
        return;
    const unsigned int count = messages.size();
    for (int attempt = 0; attempt < 2; attempt++) {
        unsigned int start = static_cast<unsigned int>(rand()) % count;
        for (unsigned int i = 0; i < count; i++) {
            unsigned int index = (start + i) % count;
            if (!played(index)) {
                markPlayed(index);
                startMessage(index);
                return;
            }
        }
        // Every message has had its turn: a looping marquee starts a new round.
        if (!loop)
            return;
        for (auto& message : messages)
            message.second &= ~PLAYED;
    }
}

void pMarquee::startMessage(unsigned int index) {
    active.emplace_back(index, startPosition(index));
}

void pMarquee::startNext(unsigned int previous) {
    if (randomPlay)
        addRandomMessage();
    else
        addSequentialMessage(previous);
}

void pMarquee::scroll(double dt) {
    if (finished)
        return;
    if (active.empty()) {
        finished = true;
        return;
    }
    if (!continuousPlay && waiting) {
        if (pTimer::instance()->timeSinceMark(delayMark) < messageDelay)
            return;
        waiting = false;
    }
    // Standing still, nothing can enter or leave; the room tests below would misfire.
    if (speed == 0.0f)
        return;
    for (auto& message : active)
        message.second += speed * dt;

    pTextManager::instance()->setCurrentFont(font);
    if (continuousPlay) {
        const auto newest = active.back();
        if (roomAfter(newest.first, newest.second))
            startNext(newest.first);
        const auto oldest = active.front();
        if (hasLeft(oldest.first, oldest.second))
            active.pop_front();
    } else {
        const auto current = active.front();
        if (hasLeft(current.first, current.second)) {
            startNext(current.first);
            waiting = true;
            pTimer::instance()->resetMark(delayMark);
            active.pop_front();
        }
    }
}
