#pragma once

#include "platform/serial_backend.h"

#include <QSerialPort>

// A real serial port (or pseudo-terminal) through QSerialPort, found by its COM number.
class SerialPortBackend : public SerialBackend {
    Q_OBJECT

public:
    SerialPortBackend();

    bool open(int portNumber, const LineSettings& settings) override;
    void close() override;
    bool isOpen() const override;
    QByteArray readAll() override;
    bool write(const QByteArray& bytes) override;

    // Opens a device by its path; used by open() and by tests on a pseudo-terminal.
    bool openDevice(const QString& device, const LineSettings& settings);

private:
    void handleError(QSerialPort::SerialPortError error);
    bool applySettings(const LineSettings& settings);
    void announceReceived();
    bool waitUntilWritten();

    QSerialPort port;
    // While a write waits, arriving characters are announced only afterwards, from the event
    // loop: the writer may itself be the receive handler.
    bool waitingForWrite = false;
    // Read errors without a hang-up since characters last arrived.
    int emptyReads = 0;
};
