#include "Utils/pTimer.h"

#include <ctime>

// A clock that only runs forward: setting the system's date, or the time service stepping it,
// must neither stall the game's fades and key repeats nor put a jump into one step.
static double monotonicMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1000000.0;
}

pTimer* pTimer::instance_ = nullptr;
double (*pTimer::timeSource_)() = monotonicMilliseconds;

pTimer* pTimer::instance() {
    if (!instance_)
        instance_ = new pTimer();
    return instance_;
}

void pTimer::setTimeSource(double (*now)()) {
    timeSource_ = now ? now : monotonicMilliseconds;
}

pTimer::pTimer() {
    startTime = currentTime();
}

double pTimer::currentTime() {
    return timeSource_();
}

void pTimer::start() {
    startTime = currentTime();
}

double pTimer::getElapsed() {
    return currentTime() - startTime;
}

unsigned int pTimer::setMark() {
    marks.push_back(currentTime());
    return static_cast<unsigned int>(marks.size() - 1);
}

double pTimer::timeSinceMark(unsigned int i) {
    auto suspended = suspendedMarks.find(i);
    double until = suspended != suspendedMarks.end() ? suspended->second : currentTime();
    return until - marks[i];
}

void pTimer::suspendMark(unsigned int i) {
    suspendedMarks.emplace(i, currentTime());
}

void pTimer::resumeMark(unsigned int i) {
    auto suspended = suspendedMarks.find(i);
    if (suspended == suspendedMarks.end())
        return;
    marks[i] += currentTime() - suspended->second;
    suspendedMarks.erase(suspended);
}

void pTimer::resetMark(unsigned int i) {
    resumeMark(i);
    marks[i] = currentTime();
}

void pTimer::advanceMark(unsigned int i, double ms) {
    marks[i] += ms;
}

void pTimer::wait(double ms) {
    double begin = currentTime();
    while (currentTime() - begin <= ms) {
    }
}
