#pragma once

#include "platform/serial_backend.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

// The serial control of the main window: port number, line settings, open state, the input
// waiting and the output, and a receive event. Every setter that can fail returns false instead
// of raising, so that callers that ignore errors simply skip the step.
class CommControl : public QObject {
    Q_OBJECT

public:
    // The backend must have no QObject parent: the control owns it.
    explicit CommControl(std::unique_ptr<SerialBackend> backend, QObject* parent = nullptr);

    int CommPort() const { return commPort; }
    // Fails while the port is open, and for numbers outside 1 to 255.
    bool setCommPort(int portNumber);

    QString Settings() const { return settings; }
    // Fails for a text that is not of the form "9600,n,8,1".
    bool setSettings(const QString& text);

    int InBufferSize() const { return inBufferSize; }
    void setInBufferSize(int size) { inBufferSize = size; }
    int RThreshold() const { return rThreshold; }
    void setRThreshold(int threshold) { rThreshold = threshold; }

    bool PortOpen() const;
    // Opening an open port, closing a closed one or opening a missing port fails.
    bool setPortOpen(bool open);

    // Reads everything waiting; empty when the port is closed.
    QString Input();
    // Writes the text as one string; fails when the port is closed.
    bool setOutput(const QString& text);

signals:
    // The receive event: characters are waiting.
    void OnComm();
    // The device of the open port went away; the port is closed.
    void PortLost();

private:
    std::unique_ptr<SerialBackend> backend;
    int commPort = 1;
    QString settings = QStringLiteral("9600,n,8,1");
    int inBufferSize = 1024;
    int rThreshold = 0;
};

// "9600,n,8,1" -> its parts; nothing for any other form.
std::optional<LineSettings> ParseLineSettings(const QString& text);
