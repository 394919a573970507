#include "platform/serial_port_backend.h"

#include "platform/port_names.h"

namespace {

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
    connect(&port, &QSerialPort::readyRead, this, &SerialBackend::received);
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

void SerialPortBackend::close()
{
    if (port.isOpen())
        port.close();
}

bool SerialPortBackend::isOpen() const
{
    return port.isOpen();
}

QByteArray SerialPortBackend::readAll()
{
    return port.readAll();
}

bool SerialPortBackend::write(const QByteArray& bytes)
{
    return port.isOpen() && port.write(bytes) == bytes.size();
}

// A device that went away (an unplugged adapter) reports a resource or read error: the port is
// closed at once so that nothing polls a dead device.
void SerialPortBackend::handleError(QSerialPort::SerialPortError error)
{
    const bool deviceLost = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (!deviceLost || !port.isOpen())
        return;
    port.close();
    emit lost();
}
