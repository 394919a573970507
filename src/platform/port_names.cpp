#include "platform/port_names.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>

namespace {

const QStringList DeviceGroups = {"ttyUSB", "ttyACM", "ttyS"};

// Rank of a device name: its group, then its number.
std::pair<int, long> DeviceRank(const QString& path)
{
    static const QRegularExpression pattern(R"((tty(?:USB|ACM|S))(\d+)$)");
    const QRegularExpressionMatch match = pattern.match(path);
    if (!match.hasMatch())
        return {int(DeviceGroups.size()), 0};
    return {int(DeviceGroups.indexOf(match.captured(1))), match.captured(2).toLong()};
}

std::optional<QString> EnvironmentValue(const QString& name)
{
    const QByteArray variable = name.toLocal8Bit();
    if (!qEnvironmentVariableIsSet(variable.constData()))
        return std::nullopt;
    return qEnvironmentVariable(variable.constData());
}

} // namespace

QStringList InComPortOrder(QStringList devices)
{
    std::stable_sort(devices.begin(), devices.end(),
        [](const QString& a, const QString& b) { return DeviceRank(a) < DeviceRank(b); });
    return devices;
}

QStringList PresentSerialDevices()
{
    QStringList devices;
    const QDir dev("/dev");
    for (const QString& group : DeviceGroups) {
        const QStringList names = dev.entryList({group + "*"}, QDir::System | QDir::Files);
        for (const QString& name : names) {
            if (DeviceRank(name).first < DeviceGroups.size())
                devices << dev.filePath(name);
        }
    }
    return InComPortOrder(devices);
}

QString PortDeviceName(
    int portNumber, const EnvironmentLookup& environment, const QStringList& presentDevices)
{
    const std::optional<QString> configured
        = environment(QStringLiteral("TALIV_COM%1").arg(portNumber));
    if (configured)
        return *configured;
#ifdef Q_OS_WIN
    Q_UNUSED(presentDevices);
    return QStringLiteral("COM%1").arg(portNumber);
#else
    if (portNumber < 1 || portNumber > presentDevices.size())
        return {};
    return presentDevices.at(portNumber - 1);
#endif
}

QString PortDeviceName(int portNumber)
{
    return PortDeviceName(portNumber, EnvironmentValue, PresentSerialDevices());
}
