#include "window/choice_lists.h"

#include "run/value_format.h"

namespace {
constexpr int SecondEntries = 5;
constexpr int MinuteEntries = 60;
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

QString VersionText(const QDateTime& executableDate)
{
    const QDate date = executableDate.date();
    return FFix(date.year() % 100 - 9, 2, 0) + u'.' + FFix0(date.month(), 2, 0)
        + FFix0(date.day(), 2, 0);
}
