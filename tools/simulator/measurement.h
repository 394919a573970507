#pragma once

#include "measurement_model.h"
#include "sim_clock.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <optional>

// One running test at position 1: an "*I" and an "*A" reply right at the start and then once
// every cycle, and "*E11" when the duration is over. Cycle and duration are fixed when the test
// starts; temperature measurement can be switched at any time and applies to the next sample.
class Measurement : public QObject {
    Q_OBJECT

public:
    explicit Measurement(const SimClock& clock, QObject* parent = nullptr);

    void start(int cycleSeconds, int durationSeconds);
    void stop();
    bool isRunning() const { return timer.isActive(); }
    void setTemperatureOn(bool on) { temperatureOn = on; }

signals:
    void reply(const QByteArray& line);

private:
    void sendDueSamples();
    void sendSample(qint64 elapsedSeconds);
    void scheduleNextWakeup();

    const SimClock& clock;
    QTimer timer;
    std::optional<MeasurementModel> model;
    double startedAt = 0.0;
    qint64 cycle = 1;
    qint64 duration = 0;
    qint64 nextSample = 0;
    bool temperatureOn = false;
};
