#include "platform/serial_port_backend.h"

#include "platform/port_names.h"

#include <QDeadlineTimer>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace {

// How long a write may wait for its bytes to reach the line: a command takes a few milliseconds
// at 9600 baud; a line that takes nothing for this long has gone away or is blocked.
constexpr int WriteWaitMilliseconds = 200;
// Read notifications in a row that find nothing before a line counts as gone even without a
// hang-up: nothing may spin on a dead device.
constexpr int MaxEmptyReads = 100;

// A hung-up line (the device went away, the other side of a terminal closed) says so when polled.
bool HasHungUp(QSerialPort& port)
{
#ifdef Q_OS_UNIX
    pollfd line {int(port.handle()), POLLIN, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    Q_UNUSED(port);
    return true;
#endif
}

QSerialPort::Parity ParityOf(char parity)
{
    switch (parity) {
    case 'e':
        return QSerialPort::EvenParity;
    case 'o':
        return QSerialPort::OddParity;
    case 'm':
        return QSerialPort::MarkParity;
    case 's':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

} // namespace

SerialPortBackend::SerialPortBackend()
{
    connect(&port, &QSerialPort::readyRead, this, &SerialPortBackend::announceReceived);
    connect(&port, &QSerialPort::errorOccurred, this, &SerialPortBackend::handleError);
}

bool SerialPortBackend::open(int portNumber, const LineSettings& settings)
{
    const QString device = PortDeviceName(portNumber);
    return !device.isEmpty() && openDevice(device, settings);
}

bool SerialPortBackend::openDevice(const QString& device, const LineSettings& settings)
{
    port.setPortName(device);
    emptyReads = 0;
    if (!port.open(QIODevice::ReadWrite))
        return false;
    if (!applySettings(settings)) {
        port.close();
        return false;
    }
    return true;
}

bool SerialPortBackend::applySettings(const LineSettings& settings)
{
    return port.setBaudRate(settings.baudRate)
        && port.setDataBits(QSerialPort::DataBits(settings.dataBits))
        && port.setParity(ParityOf(settings.parity))
        && port.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop)
        && port.setFlowControl(QSerialPort::NoFlowControl);
}

// What was written reaches the line before the port closes.
void SerialPortBackend::close()
{
    if (!port.isOpen())
        return;
    waitUntilWritten();
    port.close();
}

bool SerialPortBackend::isOpen() const
{
    return port.isOpen();
}

QByteArray SerialPortBackend::readAll()
{
    QByteArray bytes = port.readAll();
    if (!bytes.isEmpty())
        emptyReads = 0;
    return bytes;
}

// A write counts as done when its bytes have left Qt's buffer for the operating system's.
bool SerialPortBackend::write(const QByteArray& bytes)
{
    return port.isOpen() && port.write(bytes) == bytes.size() && waitUntilWritten();
}

bool SerialPortBackend::waitUntilWritten()
{
    const QDeadlineTimer deadline(WriteWaitMilliseconds);
    waitingForWrite = true;
    while (port.isOpen() && port.bytesToWrite() > 0 && !deadline.hasExpired()
        && port.waitForBytesWritten(int(deadline.remainingTime()))) { }
    waitingForWrite = false;
    // The wait may have read characters without announcing them (Qt does not announce while the
    // receive handler runs): they are announced from the event loop.
    if (port.bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &SerialBackend::received, Qt::QueuedConnection);
    return port.isOpen() && port.bytesToWrite() == 0;
}

void SerialPortBackend::announceReceived()
{
    if (!waitingForWrite)
        emit received();
}

// A device that went away (an unplugged adapter) reports a resource or read error: the port is
// closed at once so that nothing polls a dead device. The same errors come when a write's wait has
// already taken the characters the event loop saw arrive: such a line has not hung up and stays
// open. Qt may then have stopped watching the port; the next read starts it again, so the
// receive event is raised from the event loop.
void SerialPortBackend::handleError(QSerialPort::SerialPortError error)
{
    const bool deviceLost = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (!deviceLost || !port.isOpen())
        return;
    if (!HasHungUp(port) && ++emptyReads < MaxEmptyReads) {
        port.clearError();
        QMetaObject::invokeMethod(this, &SerialBackend::received, Qt::QueuedConnection);
        return;
    }
    port.close();
    emit lost();
}
