#pragma once

#include <map>
#include <vector>

// The game's one clock, in milliseconds of the system's monotonic clock, with numbered marks that
// are never released.
class pTimer {
public:
    double startTime;
    std::vector<double> marks;
    std::map<unsigned int, double> suspendedMarks;

    static pTimer* instance();
    // Replaces the clock every reading uses (tests step time with it); null restores the
    // monotonic clock.
    static void setTimeSource(double (*now)());

    double currentTime();
    void start();
    double getElapsed();
    unsigned int setMark();
    double timeSinceMark(unsigned int i);
    void suspendMark(unsigned int i);
    void resumeMark(unsigned int i);
    void resetMark(unsigned int i);
    void advanceMark(unsigned int i, double ms);
    // Spins on the clock until strictly more than ms have passed.
    void wait(double ms);

private:
    pTimer();
    static pTimer* instance_;
    static double (*timeSource_)();
};
