#pragma once

#include "platform/line_log.h"
#include "platform/serial_backend.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class CommControl;
class QTimer;

// The serial link to the instrument: the search for its port (one port per tick of Timer2), the
// watch of the connected port, the assembly of received lines and the commands. Each reply is
// reported by its kind; the window decides what it means for a test.
class InstrumentLink : public QObject {
    Q_OBJECT

public:
    static constexpr int LastSearchPort = 15;
    static constexpr int SearchTickMilliseconds = 500;

    // lineLog may be nothing: the line is then not recorded.
    InstrumentLink(std::unique_ptr<SerialBackend> backend, std::unique_ptr<LineLog> lineLog,
        QObject* parent = nullptr);
    ~InstrumentLink() override;

    // Asked, while it blocks, whether to search all ports once more; true for Retry.
    void SetSearchQuestion(std::function<bool()> askToSearchAgain);

    // Opens COM 1 and sends the probe; the search goes on with StartSearch().
    void OpenFirstPort();
    void StartSearch();
    // A positive port number as the first command-line word connects that port without a search.
    void ApplyCommandLinePort(const QStringList& arguments);

    void Timer2_Timer();
    void ReconnectTimer_Timer();
    void comTest_OnComm();
    void comTest_PortLost();

    void SendProbe();
    void SendCycleCommand(int cycleIndex);
    void SendDurationCommand(int durationIndex);
    void SendTemperatureCommand(bool on);
    void SendStartCommand();
    // True when the command reached the line.
    bool SendEndCommand();

    bool PortOpen() const;
    bool InstrumentAnswered() const { return instrumentAnswered; }
    bool IsSearching() const;
    bool IsReconnecting() const;
    // Why the line log asked for is not written; empty when it is, or none was asked for.
    QString LineLogFailure() const;

signals:
    // Status texts: panel 1 the last command, panel 2 the last reply, panel 5 the port.
    void commandShown(const QString& text);
    void replyShown(const QString& text);
    void portShown(const QString& text);
    // The instrument answered the search, or its lost port opened again.
    void connected();
    void reconnected();
    // The user gave up the search.
    void wentOffline();
    void startReported(int position);
    void endReported(int position);
    // A start or end reply whose position lies outside 1 to 32.
    void unknownPositionReported(const QString& line);
    void elapsedTimeReported(const QString& line);
    void sampleReported(const QString& line);

private:
    void ProcessLine(const QString& line);
    bool SendCommand(const QString& command);
    bool WriteCommand(const QString& command);
    void ProbePort(int port);
    bool ReopenPort(int port);
    void ShowConnectionState();
    bool AskToSearchAgain();
    void GoOffline();
    void WatchConnection();

    CommControl* comTest = nullptr;
    QTimer* Timer2 = nullptr;
    // Tries, once the connection stands, to open the port of a lost device again.
    QTimer* ReconnectTimer = nullptr;
    std::unique_ptr<LineLog> lineLog;
    std::function<bool()> askToSearchAgain;
    QString RxBuffer;
    bool RxDiscardingLongLine = false;
    bool instrumentAnswered = false;
    int portNumber = 1;
    bool SearchQuestionOpen = false;
};
