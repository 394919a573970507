#include "window/settings_file.h"

#include "instrument/field_reading.h"
#include "run/value_format.h"

#include <algorithm>

namespace {

constexpr int FixedLineCount = 7;
constexpr int ProtocolLineCount = 12;

int IndexOf(const QString& line)
{
    return RoundHalfEven32(FieldValue(line));
}

} // namespace

QStringList SettingsLines(const Settings& settings)
{
    QStringList lines {settings.drive, settings.folder, SignedNumberText(settings.cycleIndex),
        SignedNumberText(settings.durationIndex), settings.separatorCode,
        settings.temperature == 1 ? QStringLiteral("1") : QStringLiteral("0"),
        SignedNumberText(settings.scaleIndex)};
    for (int line = 0; line < ProtocolLineCount; ++line)
        lines.append(settings.protocolName);
    return lines;
}

Settings ReadSettingsLines(const QStringList& lines, const Settings& missing)
{
    Settings settings = missing;
    const auto line = [&lines](int number) { return lines.value(number - 1); };
    const int count = int(lines.size());
    if (count >= 1)
        settings.drive = line(1);
    if (count >= 2)
        settings.folder = line(2);
    if (count >= 3)
        settings.cycleIndex = IndexOf(line(3));
    if (count >= 4)
        settings.durationIndex = IndexOf(line(4));
    if (count >= 5)
        settings.separatorCode = line(5);
    if (count >= 6)
        settings.temperature = IndexOf(line(6));
    if (count >= FixedLineCount)
        settings.scaleIndex = IndexOf(line(FixedLineCount));
    const int lastProtocolLine = std::min(count, FixedLineCount + ProtocolLineCount);
    if (lastProtocolLine > FixedLineCount)
        settings.protocolName = line(lastProtocolLine);
    return settings;
}

int FieldSeparatorIndexOf(const QString& separatorCode)
{
    return IndexOf(separatorCode.left(2));
}

int DecimalSeparatorIndexOf(const QString& separatorCode)
{
    return IndexOf(separatorCode.mid(2, 2));
}
