#pragma once

#include "script.h"
#include "sim_clock.h"

#include <QObject>
#include <QTimer>

// Plays a reply script from program start: sends its lines, waits its simulated pauses and
// waits for the commands it expects. Commands that arrive before their "expect" step is reached
// are remembered, so a quick client never leaves the script waiting for a command already sent.
// Long runs of replies are played in portions, one per turn of the event loop.
class ScriptPlayer : public QObject {
    Q_OBJECT

public:
    ScriptPlayer(QList<ScriptStep> steps, const SimClock& clock, QObject* parent = nullptr);

    void start();
    void commandReceived(const QByteArray& command);

signals:
    void send(const QByteArray& bytes);
    void finished();

private:
    void advance();
    bool stepDone(const ScriptStep& step);
    bool waitDone(double seconds);
    bool takeCommand(const QByteArray& expected);

    QList<ScriptStep> steps;
    qsizetype nextStep = 0;
    const SimClock& clock;
    QTimer timer; // ends a wait, or plays the next portion
    std::optional<double> waitingUntil;
    QList<QByteArray> unclaimedCommands;
};
