#include "instrument.h"

#include "pty_port.h"
#include "reply_format.h"
#include "script_player.h"
#include "traffic_log.h"

Instrument::Instrument(PtyPort& port, const Options& options, QObject* parent)
    : QObject(parent)
    , port(port)
    , clock(options.speed)
    , measurement(clock)
    , startAfterSeconds(options.startAfterSeconds)
{
    connect(&port, &PtyPort::received, this, &Instrument::onReceived);
    connect(&measurement, &Measurement::reply, this, &Instrument::sendLine);
    if (options.script) {
        script = new ScriptPlayer(*options.script, clock, this);
        connect(script, &ScriptPlayer::send, this, &Instrument::sendRaw);
        connect(script, &ScriptPlayer::finished, this, [] { TrafficLog::note("script finished"); });
    }
    startTimer.setSingleShot(true);
    startTimer.setTimerType(Qt::PreciseTimer);
    connect(&startTimer, &QTimer::timeout, this, &Instrument::startByItself);
}

void Instrument::start()
{
    if (script)
        script->start();
    if (startAfterSeconds)
        startTimer.start(clock.wallMsUntil(*startAfterSeconds));
}

void Instrument::onReceived(const QByteArray& bytes)
{
    for (const LineSplitter::Line& line : splitter.feed(bytes))
        handleLine(line);
}

void Instrument::handleLine(const LineSplitter::Line& line)
{
    if (line.overlong) {
        TrafficLog::note("line too long, ignored: " + TrafficLog::excerpt(line.text));
        return;
    }
    TrafficLog::received(line.text);
    if (script)
        script->commandReceived(line.text);
    const Command command = parseCommand(line.text);
    if (command.kind == CommandKind::Unknown)
        TrafficLog::note("unknown command, ignored");
    handleCommand(command);
}

void Instrument::handleCommand(const Command& command)
{
    switch (command.kind) {
    case CommandKind::Probe:
        sendLine("*OK! RUN");
        break;
    case CommandKind::Cycle:
        cycleSeconds = command.value;
        break;
    case CommandKind::Duration:
        durationSeconds = command.value;
        break;
    case CommandKind::Temperature:
        measurement.setTemperatureOn(command.value != 0);
        break;
    case CommandKind::Start:
        startTest();
        break;
    case CommandKind::End:
        measurement.stop();
        break;
    case CommandKind::Unknown:
        break;
    }
}

void Instrument::startTest()
{
    if (script)
        return;
    if (measurement.isRunning()) {
        TrafficLog::note("test already running, start ignored");
        return;
    }
    measurement.start(cycleSeconds, durationSeconds);
}

void Instrument::startByItself()
{
    const double remaining = *startAfterSeconds - clock.now();
    if (remaining > 0.0) {
        startTimer.start(clock.wallMsUntil(*startAfterSeconds));
        return;
    }
    sendLine(startReply());
    startTest();
}

void Instrument::sendLine(const QByteArray& text)
{
    TrafficLog::sent(text);
    port.write(text + "\r\n");
}

void Instrument::sendRaw(const QByteArray& bytes)
{
    TrafficLog::sent(bytes.endsWith("\r\n") ? bytes.chopped(2) : bytes);
    port.write(bytes);
}
