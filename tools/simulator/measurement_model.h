#pragma once

#include <QRandomGenerator>

// What the instrument measures: a viscosity that falls from about 80 % towards about 10 % over
// the chosen duration, and a room temperature drifting slowly between 22 and 24 degrees Celsius,
// both with a little noise.
class MeasurementModel {
public:
    explicit MeasurementModel(double durationSeconds);

    int viscosityTenths(double elapsedSeconds);
    double temperature(double elapsedSeconds);

private:
    double duration;
    QRandomGenerator random;
};
