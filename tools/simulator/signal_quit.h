#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a clean quit of the event loop (self-pipe), so that the
// simulator removes its link and closes its terminal on the way out. SIGPIPE is ignored: a
// reader of the log that goes away must not end the instrument.
class SignalQuit : public QObject {
    Q_OBJECT

public:
    explicit SignalQuit(QObject* parent = nullptr);
    ~SignalQuit() override;
    SignalQuit(const SignalQuit&) = delete;
    SignalQuit& operator=(const SignalQuit&) = delete;

    bool install(QString* error);

private:
    void onSignal();

    QSocketNotifier* notifier = nullptr;
};
