#include "Utils/pStringUtils.h"
#include "Utils/pTimer.h"
#include "Utils/pVector.h"
#include "tests/support/Fakes.h"
#include "tests/support/Files.h"

#include <cmath>
#include <ctime>

TEST(StringUtils, PackingConversionsAndCharacters) {
    EXPECT_EQ(pack("  two words \t\n") + "|" + pack(" \t") + "|" + pack("") + "|" + pack("x\r"),
              "two words|||x\r");
    EXPECT_TRUE(isWhitespace('\r') && !isWhitespace('\v') && !isWhitespace('\f'));
    EXPECT_EQ(stringToInt("12ab") * 10 + stringToInt("abc"), 120);
    EXPECT_EQ(floatToString(1.5f) + intToString(-7), "1.500000-7");
    EXPECT_FLOAT_EQ(stringToFloat(" 2.25x"), 2.25f);
    EXPECT_EQ(removeChar("a.b.c.", '.') + removeChar("", '.'), "abc");
    EXPECT_EQ(toUpper("aZ1") + toLower("aZ1"), "AZ1az1");
    EXPECT_EQ(std::string({shiftChar('q'), shiftChar('Q'), shiftChar('2'), shiftChar(' '),
                           shiftChar('\\'), shiftChar('\''), shiftChar('\xE9')}),
              "QQ@ |\"\xE9");
    EXPECT_EQ(getResourcePath("../Resources/prefs.txt"), "ERROR!") << "never a way out";
}

// A suspended mark stops counting (its first suspension holds) until resumed or reset; an
// advanced mark reports that much less; a wait returns once the clock has moved strictly past it.
TEST(pTimer, MarksSuspendResumeResetAdvanceAndWait) {
    FakeClock clock;
    pTimer* timer = pTimer::instance();
    unsigned int plain = timer->setMark(), paused = timer->setMark();
    EXPECT_EQ(paused, plain + 1);
    std::string seen;
    for (double ms : {100, 250, 250, 50, 20}) {
        clock.advance(ms);
        seen += std::to_string(int(timer->timeSinceMark(paused))) + " ";
        ms == 100 || ms == 250 ? timer->suspendMark(paused) : timer->resumeMark(paused);
    }
    timer->suspendMark(paused);
    timer->resetMark(paused);
    timer->advanceMark(plain, 100.0);
    timer->resumeMark(plain); // not suspended: nothing happens
    clock.advance(10);
    EXPECT_EQ(seen + std::to_string(int(timer->timeSinceMark(paused))) + " " +
                  std::to_string(int(timer->timeSinceMark(plain))),
              "100 100 100 100 120 10 580");
    clock.stepPerReading = 1;
    double before = timer->currentTime();
    timer->wait(5.0);
    EXPECT_GT(timer->currentTime() - before, 5.0);
    // Unfaked it reads the monotonic clock: setting the date must not move the game's clock.
    pTimer::setTimeSource(nullptr);
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    EXPECT_NEAR(timer->currentTime(), now.tv_sec * 1000.0 + now.tv_nsec / 1e6, 100.0);
}

TEST(pVector, ArithmeticMatricesAndRotation) {
    pVector v(1, 2, 3);
    pVector& alias = v;
    v = alias;
    EXPECT_TRUE(v == pVector(1, 2, 3) && v != pVector(1, 2, std::nextafter(3.0f, 4.0f)));
    EXPECT_TRUE(v + pVector(1, 1, 1) == pVector(2, 3, 4) && -v == pVector(-1, -2, -3));
    EXPECT_TRUE(2.0f * v == v * 2.0f && v / 2.0f == pVector(0.5f, 1, 1.5f));
    EXPECT_EQ(pVector(1, 2, 3).cross(pVector(4, 5, 6)), pVector(-3, 6, -3));
    EXPECT_FLOAT_EQ(pVector(1, 2, 3).dot(pVector(4, -5, 6)), 12);
    EXPECT_FLOAT_EQ(pVector(3, 4, 0).length(), 5);
    float translate[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1};
    float shear[16] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 1};
    EXPECT_EQ(pVector(1, 2, 3).matrixMultiply(translate), pVector(11, 22, 33));
    EXPECT_EQ(pVector(1, 2, 3).matrixMultiply(shear), pVector(30, 36, 42));
    pVector a(1, 0, 0), b(0, 0, 1);
    pVector copy = a.rotateAroundAxis(pVector(0, 0, 1), static_cast<float>(M_PI / 2));
    b.rotateAroundAxis(pVector(0, 1, 0), static_cast<float>(M_PI / 2));
    EXPECT_TRUE(copy == a &&
                std::abs(a.x) + std::abs(a.y - 1) + std::abs(b.x - 1) + std::abs(b.z) < 1e-5);
}
