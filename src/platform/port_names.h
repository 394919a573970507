#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Where COM n lies on this machine. The environment variable TALIV_COM<n> names the device when
// set (TALIV_COM3=/dev/ttyUSB0); set but empty, COM n has no device. Otherwise it is "COMn" on
// Windows and, elsewhere, the n-th serial device present: USB adapters (ttyUSB*, ttyACM*) before
// built-in ports (ttyS*), each group in numeric order. Empty when there is no such device.
QString PortDeviceName(int portNumber);

// The value of an environment variable; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<QString>(const QString&)>;

// The same rule on given inputs: the environment look-up and the device names present.
QString PortDeviceName(
    int portNumber, const EnvironmentLookup& environment, const QStringList& presentDevices);

// The serial devices present under /dev, in the order that numbers them COM1, COM2, ...
QStringList PresentSerialDevices();

// Sorts device paths into the COM order (USB, then ACM, then built-in; numeric within each).
QStringList InComPortOrder(QStringList devices);
