#include "instrument/instrument_link.h"

#include "instrument/commands.h"
#include "instrument/line_assembly.h"
#include "instrument/replies.h"
#include "numbers/field_reading.h"
#include "numbers/value_format.h"
#include "platform/ansi_codec.h"
#include "platform/comm_control.h"
#include "platform/line_log.h"

#include <QTimer>

namespace {
constexpr int ReceiveBufferSize = 200;
constexpr int HighestCommandLinePort = 255;
const QString LineSettingsText = QStringLiteral("9600,n,8,1");
const QString OfflineText = QStringLiteral("Keine Verbindung / Offline ");
const QString ConnectedText = QStringLiteral(": OK");
const QString LostText = QStringLiteral(": Verbindung unterbrochen");
} // namespace

InstrumentLink::InstrumentLink(
    std::unique_ptr<SerialBackend> backend, std::unique_ptr<LineLog> log, QObject* parent)
    : QObject(parent)
    , comTest(new CommControl(std::move(backend), this))
    , Timer2(new QTimer(this))
    , ReconnectTimer(new QTimer(this))
    , lineLog(std::move(log))
{
    Timer2->setInterval(SearchTickMilliseconds);
    ReconnectTimer->setInterval(SearchTickMilliseconds);
    connect(comTest, &CommControl::OnComm, this, &InstrumentLink::comTest_OnComm);
    connect(comTest, &CommControl::PortLost, this, &InstrumentLink::comTest_PortLost);
    connect(Timer2, &QTimer::timeout, this, &InstrumentLink::Timer2_Timer);
    connect(ReconnectTimer, &QTimer::timeout, this, &InstrumentLink::ReconnectTimer_Timer);
}

InstrumentLink::~InstrumentLink() = default;

void InstrumentLink::SetSearchQuestion(std::function<bool()> question)
{
    askToSearchAgain = std::move(question);
}

void InstrumentLink::OpenFirstPort()
{
    instrumentAnswered = false;
    portNumber = 1;
    emit portShown(QStringLiteral("Test COM 1:"));
    comTest->setCommPort(portNumber);
    comTest->setSettings(LineSettingsText);
    comTest->setInBufferSize(ReceiveBufferSize);
    comTest->setPortOpen(true);
    comTest->setRThreshold(1);
    SendProbe();
}

void InstrumentLink::StartSearch()
{
    Timer2->start();
}

// A port that cannot be opened is shown as such rather than as connected.
void InstrumentLink::ApplyCommandLinePort(const QStringList& arguments)
{
    const QStringList words = (arguments.join(u' ') + u' ').split(u' ');
    const qint64 word = RoundHalfEven(FieldValue(words.value(0)));
    if (word < 1 || word > HighestCommandLinePort)
        return;
    instrumentAnswered = true;
    portNumber = int(word);
    Timer2->stop();
    if (ReopenPort(portNumber)) {
        ShowConnectionState();
        emit reconnected();
    } else {
        emit portShown(QStringLiteral("COM%1: nicht verfügbar").arg(portNumber));
        WatchConnection();
    }
}

void InstrumentLink::Timer2_Timer()
{
    if (SearchQuestionOpen)
        return;
    if (instrumentAnswered) {
        Timer2->stop();
        ShowConnectionState();
        emit connected();
        WatchConnection();
        return;
    }
    if (portNumber >= LastSearchPort) {
        if (!AskToSearchAgain()) {
            GoOffline();
            return;
        }
        // The instrument answered on the last port while the question was open: the next tick
        // connects to that port instead of moving on.
        if (instrumentAnswered)
            return;
        portNumber = 0;
    }
    ++portNumber;
    emit portShown(QStringLiteral("Test COM") + SignedNumberText(portNumber) + ":");
    ProbePort(portNumber);
}

// True for Retry. Ticks that fall due while the question is open do nothing.
bool InstrumentLink::AskToSearchAgain()
{
    SearchQuestionOpen = true;
    const bool again = askToSearchAgain && askToSearchAgain();
    SearchQuestionOpen = false;
    return again;
}

void InstrumentLink::GoOffline()
{
    Timer2->stop();
    emit portShown(OfflineText);
    emit wentOffline();
}

// Errors are ignored: a port that does not exist fails to open and its probe is lost.
void InstrumentLink::ProbePort(int port)
{
    ReopenPort(port);
    SendProbe();
}

// Closes the port in use and opens another. The new port starts with an empty line buffer, so
// that a partial line from the previous device never completes a line of the next one.
bool InstrumentLink::ReopenPort(int port)
{
    comTest->setPortOpen(false);
    comTest->setCommPort(port);
    RxBuffer.clear();
    RxDiscardingLongLine = false;
    return comTest->setPortOpen(true);
}

// Panel 5 of a connection: the port, and whether its device is still there.
void InstrumentLink::ShowConnectionState()
{
    const QString state = comTest->PortOpen() ? ConnectedText : LostText;
    emit portShown(QStringLiteral("COM%1").arg(portNumber) + state);
}

// The device of the open port went away. Once connected, the loss is shown at once and the port
// is tried again on every tick; during the search the next tick simply moves on.
void InstrumentLink::comTest_PortLost()
{
    if (instrumentAnswered && !Timer2->isActive()) {
        ShowConnectionState();
        WatchConnection();
    }
}

// A connection whose port is not open is tried again until it opens.
void InstrumentLink::WatchConnection()
{
    if (!comTest->PortOpen())
        ReconnectTimer->start();
}

// The same COM n is opened again, as the device that its name leads to now. Nothing is sent that
// would disturb the instrument's running test: no probe, no end command.
void InstrumentLink::ReconnectTimer_Timer()
{
    if (comTest->PortOpen() || ReopenPort(portNumber)) {
        ReconnectTimer->stop();
        ShowConnectionState();
        emit reconnected();
    }
}

// The receive event: reads everything waiting and processes each completed line in order.
void InstrumentLink::comTest_OnComm()
{
    const QString received = comTest->Input();
    const QStringList lines = AssembleLines(RxBuffer, RxDiscardingLongLine, received);
    for (const QString& line : lines) {
        if (lineLog)
            lineLog->Received(comTest->CommPort(), EncodeAnsi(line));
        ProcessLine(line);
    }
}

// Each received line is echoed in panel 2, then reported by its code. Until a port has answered
// as the instrument, its lines are only echoed: a device chattering during the search must not
// start or feed a test.
void InstrumentLink::ProcessLine(const QString& line)
{
    emit replyShown(ReplyEcho(line));
    const ReplyKind kind = KindOfReply(line);
    if (kind == ReplyKind::InstrumentAnswer)
        instrumentAnswered = true;
    if (!instrumentAnswered)
        return;
    switch (kind) {
    case ReplyKind::InstrumentAnswer:
        break;
    case ReplyKind::Start:
        if (const std::optional<int> position = ReplyPosition(line))
            emit startReported(*position);
        else
            emit unknownPositionReported(line);
        break;
    case ReplyKind::End:
        if (const std::optional<int> position = ReplyPosition(line))
            emit endReported(*position);
        else
            emit unknownPositionReported(line);
        break;
    case ReplyKind::ElapsedTime:
        emit elapsedTimeReported(line);
        break;
    case ReplyKind::Sample:
        emit sampleReported(line);
        break;
    case ReplyKind::Other:
        break;
    }
}

// Writes a command and echoes it in panel 1. A write to a port that is closed or missing is lost;
// nothing waits for an answer. True when the command reached the line.
bool InstrumentLink::SendCommand(const QString& command)
{
    const bool sent = WriteCommand(command);
    emit commandShown(QStringLiteral("Ausg: ") + command);
    return sent;
}

// The probe of the port search; it has no echo.
void InstrumentLink::SendProbe()
{
    WriteCommand(ProbeCommand);
}

// A command as it goes out, with its line end, and into the line log.
bool InstrumentLink::WriteCommand(const QString& command)
{
    const QString text = CommandLine(command);
    const bool sent = comTest->setOutput(text);
    if (sent && lineLog)
        lineLog->Sent(comTest->CommPort(), EncodeAnsi(text));
    return sent;
}

void InstrumentLink::SendCycleCommand(int cycleIndex)
{
    SendCommand(CycleCommand(cycleIndex));
}

void InstrumentLink::SendDurationCommand(int durationIndex)
{
    SendCommand(DurationCommand(durationIndex));
}

void InstrumentLink::SendTemperatureCommand(bool on)
{
    SendCommand(TemperatureCommand(on));
}

void InstrumentLink::SendStartCommand()
{
    SendCommand(StartCommand);
}

bool InstrumentLink::SendEndCommand()
{
    return SendCommand(EndCommand);
}

bool InstrumentLink::PortOpen() const
{
    return comTest->PortOpen();
}

bool InstrumentLink::IsSearching() const
{
    return Timer2->isActive();
}

bool InstrumentLink::IsReconnecting() const
{
    return ReconnectTimer->isActive();
}

QString InstrumentLink::LineLogFailure() const
{
    return lineLog && !lineLog->IsWriting() ? lineLog->Failure() : QString();
}
