#include "run/choice_lists.h"

#include "numbers/value_format.h"

#include <array>

namespace {
constexpr int SecondEntries = 5;
constexpr int MinuteEntries = 60;
constexpr std::array<qint32, 9> DurationMinutesOfEntry {
    15, 30, 60, 120, 300, 600, 1200, 3000, 6000};
} // namespace

QStringList CycleEntries()
{
    QStringList entries {QStringLiteral("Motor immer ein")};
    for (int tens = 1; tens <= SecondEntries; ++tens)
        entries << SignedNumberText(10 * tens) + QStringLiteral(" Sekunden");
    for (int minutes = 1; minutes <= MinuteEntries; ++minutes)
        entries << SignedNumberText(minutes) + QStringLiteral(" Minuten");
    return entries;
}

qint32 CycleSeconds(int cycleIndex)
{
    if (cycleIndex >= 1 && cycleIndex <= SecondEntries)
        return 10 * cycleIndex;
    if (cycleIndex > SecondEntries && cycleIndex <= SecondEntries + MinuteEntries)
        return 60 * (cycleIndex - SecondEntries);
    return 1;
}

std::optional<qint32> DurationSeconds(int durationIndex)
{
    if (durationIndex < 1 || durationIndex > int(DurationMinutesOfEntry.size()))
        return std::nullopt;
    return 60 * DurationMinutesOfEntry[durationIndex - 1];
}
