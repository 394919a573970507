#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The 66 entries of the cycle list: "Motor immer ein", " 10 Sekunden" to " 50 Sekunden",
// " 1 Minuten" to " 60 Minuten". Entry n is sent as the character of code 48 + n.
QStringList CycleEntries();

// The seconds between two samples of a cycle entry; 1 for "Motor immer ein" and for no entry.
qint32 CycleSeconds(int cycleIndex);

// The length of duration entry 1 to 9 (15 minutes to 100 hours) in seconds; nothing outside.
std::optional<qint32> DurationSeconds(int durationIndex);
