#pragma once

#include "command.h"
#include "line_splitter.h"
#include "measurement.h"
#include "options.h"
#include "sim_clock.h"

#include <QObject>
#include <QTimer>

class PtyPort;
class ScriptPlayer;

// The instrument's behaviour on its port: answers the probe, keeps the run parameters, runs
// tests (or plays a reply script instead) and logs all traffic.
class Instrument : public QObject {
    Q_OBJECT

public:
    Instrument(PtyPort& port, const Options& options, QObject* parent = nullptr);

    void start();

private:
    void onReceived(const QByteArray& bytes);
    void handleLine(const LineSplitter::Line& line);
    void handleCommand(const Command& command);
    void startTest();
    void startByItself();
    void sendLine(const QByteArray& text);
    void sendRaw(const QByteArray& bytes);

    PtyPort& port;
    SimClock clock;
    LineSplitter splitter;
    Measurement measurement;
    ScriptPlayer* script = nullptr;
    std::optional<double> startAfterSeconds;
    QTimer startTimer;
    int cycleSeconds = 1;
    int durationSeconds = 15 * 60;
};
