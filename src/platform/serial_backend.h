#pragma once

#include <QByteArray>
#include <QObject>

// Line settings of a serial port ("9600,n,8,1").
struct LineSettings {
    int baudRate = 9600;
    char parity = 'n';
    int dataBits = 8;
    int stopBits = 1;
};

// The device behind the serial control: a real port or an in-memory line for tests.
class SerialBackend : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Opens COM portNumber; false when the port does not exist or cannot be opened.
    virtual bool open(int portNumber, const LineSettings& settings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Everything received and not yet read.
    virtual QByteArray readAll() = 0;
    // False when the port is closed or the write failed.
    virtual bool write(const QByteArray& bytes) = 0;

signals:
    // Characters are waiting to be read.
    void received();
    // The device went away and the port has been closed.
    void lost();
};
