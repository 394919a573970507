#pragma once

#include "platform/serial_backend.h"

#include <QList>
#include <QSet>

// An in-memory serial line for tests: a set of ports that exist, what the program wrote to each
// of them, and received characters delivered by the test.
class MemorySerialLine : public SerialBackend {
    Q_OBJECT

public:
    struct Write {
        int port;
        QByteArray bytes;
    };

    bool open(int portNumber, const LineSettings& settings) override;
    void close() override;
    bool isOpen() const override { return openPort != 0; }
    QByteArray readAll() override;
    bool write(const QByteArray& bytes) override;

    void setPresentPorts(const QSet<int>& ports) { presentPorts = ports; }
    int currentPort() const { return openPort; }
    int openCount() const { return opens; }
    // Received characters: queued and announced when a port is open, dropped otherwise.
    void deliver(const QByteArray& bytes);
    // The device of the open port goes away.
    void unplug();
    // Writes fail while the port stays open, as on a line going away.
    void setWritesFail(bool fail) { writesFail = fail; }

    const QList<Write>& writes() const { return written; }
    // Everything written to one port, in order.
    QByteArray writtenTo(int port) const;
    void clearWrites() { written.clear(); }

private:
    QSet<int> presentPorts;
    int openPort = 0;
    int opens = 0;
    bool writesFail = false;
    QByteArray waiting;
    QList<Write> written;
};
