#pragma once

#include <QString>

// The commands to the instrument, as sent: the command text, then LF, then CR.
QString CommandLine(const QString& command);

// "M" with the character of code 48 + the cycle list index (0 = motor always on ... 65 = "q").
QString CycleCommand(int cycleIndex);
// "D" with the digit of the duration entry, 1 to 9.
QString DurationCommand(int durationIndex);
// "T1" for temperature measurement on, "T0" for off.
QString TemperatureCommand(bool on);

inline const QString ProbeCommand = QStringLiteral("RUN");
inline const QString StartCommand = QStringLiteral("S");
inline const QString EndCommand = QStringLiteral("E");
