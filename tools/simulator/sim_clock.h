#pragma once

#include <QElapsedTimer>

// The simulator's clock: simulated seconds since program start, running `speed` times faster than
// the wall clock. All waits of the simulator are expressed in simulated seconds.
class SimClock {
public:
    explicit SimClock(double speed);

    double now() const;
    int wallMsUntil(double simulatedTime) const;

private:
    double speed;
    QElapsedTimer wall;
};
