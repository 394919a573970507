#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Where COM n lies on this machine. The environment variable TALIV_COM<n> names the device when
// set (TALIV_COM3=/dev/ttyUSB0). Otherwise it is "COMn" on Windows and, elsewhere, the n-th
// serial device present: USB adapters (ttyUSB*, ttyACM*) before built-in ports (ttyS*), each
// group in numeric order. Empty when there is no such device.
QString PortDeviceName(int portNumber);

// The same rule on given inputs: the environment look-up and the device names present.
QString PortDeviceName(int portNumber, const std::function<QString(const QString&)>& environment,
    const QStringList& presentDevices);

// The serial devices present under /dev, in the order that numbers them COM1, COM2, ...
QStringList PresentSerialDevices();

// Sorts device paths into the COM order (USB, then ACM, then built-in; numeric within each).
QStringList InComPortOrder(QStringList devices);
