#include "instrument/commands.h"

QString CommandLine(const QString& command)
{
    return command + QStringLiteral("\n\r");
}

QString CycleCommand(int cycleIndex)
{
    return QStringLiteral("M") + QChar(48 + cycleIndex);
}

QString DurationCommand(int durationIndex)
{
    return QStringLiteral("D") + QString::number(durationIndex);
}

QString TemperatureCommand(bool on)
{
    return on ? QStringLiteral("T1") : QStringLiteral("T0");
}
