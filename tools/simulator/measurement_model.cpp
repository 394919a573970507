#include "measurement_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double startPercent = 80.0;
constexpr double finalPercent = 10.0;
constexpr double decayOverDuration = 5.0;
constexpr double viscosityNoisePercent = 0.3;
constexpr double roomCelsius = 23.0;
constexpr double driftCelsius = 0.8;
constexpr double driftPeriodSeconds = 2.0 * 3600.0;
constexpr double temperatureNoiseCelsius = 0.1;

double viscosityCurve(double elapsedSeconds, double durationSeconds)
{
    const double progress = elapsedSeconds / std::max(durationSeconds, 1.0);
    return finalPercent + (startPercent - finalPercent) * std::exp(-decayOverDuration * progress);
}

double temperatureDrift(double elapsedSeconds)
{
    return roomCelsius
        + driftCelsius * std::sin(2.0 * std::numbers::pi * elapsedSeconds / driftPeriodSeconds);
}

} // namespace

MeasurementModel::MeasurementModel(double durationSeconds)
    : duration(durationSeconds)
    , random(QRandomGenerator::global()->generate())
{
}

int MeasurementModel::viscosityTenths(double elapsedSeconds)
{
    const double noise = random.bounded(2.0 * viscosityNoisePercent) - viscosityNoisePercent;
    const double percent = std::clamp(viscosityCurve(elapsedSeconds, duration) + noise, 0.0, 100.0);
    return static_cast<int>(std::lround(percent * 10.0));
}

double MeasurementModel::temperature(double elapsedSeconds)
{
    const double noise = random.bounded(2.0 * temperatureNoiseCelsius) - temperatureNoiseCelsius;
    return temperatureDrift(elapsedSeconds) + noise;
}
