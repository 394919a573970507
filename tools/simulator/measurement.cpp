#include "measurement.h"

#include "reply_format.h"

#include <algorithm>

namespace {

// At very high speeds several cycles fall due at once; they are sent in batches of this size so
// that commands are still served in between.
constexpr int maxSamplesPerWakeup = 200;

} // namespace

Measurement::Measurement(const SimClock& clock, QObject* parent)
    : QObject(parent)
    , clock(clock)
{
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &Measurement::sendDueSamples);
}

void Measurement::start(int cycleSeconds, int durationSeconds)
{
    model.emplace(durationSeconds);
    startedAt = clock.now();
    cycle = std::max(cycleSeconds, 1);
    duration = durationSeconds;
    nextSample = 0;
    sendDueSamples();
}

void Measurement::stop()
{
    timer.stop();
}

void Measurement::sendDueSamples()
{
    const double elapsed = clock.now() - startedAt;
    for (int sent = 0;
         sent < maxSamplesPerWakeup && nextSample <= duration && nextSample <= elapsed; ++sent) {
        sendSample(nextSample);
        nextSample += cycle;
    }
    if (nextSample > duration && elapsed >= static_cast<double>(duration)) {
        timer.stop();
        emit reply(endReply());
        return;
    }
    scheduleNextWakeup();
}

void Measurement::sendSample(qint64 elapsedSeconds)
{
    const auto seconds = static_cast<double>(elapsedSeconds);
    const std::optional<double> temperature
        = temperatureOn ? std::optional<double>(model->temperature(seconds)) : std::nullopt;
    emit reply(elapsedReply(elapsedSeconds));
    emit reply(dataReply(model->viscosityTenths(seconds), temperature));
}

void Measurement::scheduleNextWakeup()
{
    const qint64 due = std::min(nextSample, duration);
    timer.start(clock.wallMsUntil(startedAt + static_cast<double>(due)));
}
