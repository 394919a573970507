#include "sim_clock.h"

#include <algorithm>
#include <cmath>

SimClock::SimClock(double speed)
    : speed(speed)
{
    wall.start();
}

double SimClock::now() const
{
    return static_cast<double>(wall.nsecsElapsed()) * 1e-9 * speed;
}

int SimClock::wallMsUntil(double simulatedTime) const
{
    const double ms = std::ceil((simulatedTime - now()) / speed * 1000.0);
    constexpr double longestWait = 24.0 * 3600.0 * 1000.0;
    return static_cast<int>(std::clamp(ms, 0.0, longestWait));
}
