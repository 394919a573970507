#include "settings/settings_file.h"

#include "graph/plot_frame.h"
#include "numbers/field_reading.h"
#include "numbers/value_format.h"

#include <algorithm>

namespace {

constexpr int FixedLineCount = 7;
constexpr int ProtocolLineCount = 12;

int IndexOf(const QString& line)
{
    return RoundHalfEven32(FieldValue(line));
}

// A line that holds no number (a damaged file) keeps the first start's value, so that garbage never
// turns into a choice such as cycle 0, "motor always on".
int IndexOr(const QString& line, int kept)
{
    const std::optional<double> number = FieldNumber(line);
    return number ? RoundHalfEven32(*number) : kept;
}

// The comma as field and as decimal separator: data lines that no reader can take apart.
bool IsCommaTwice(const QString& separatorCode)
{
    return FieldSeparatorIndexOf(separatorCode) == 1 && DecimalSeparatorIndexOf(separatorCode) == 1;
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
        settings.cycleIndex = IndexOr(line(3), missing.cycleIndex);
    if (count >= 4) {
        // An index beyond the duration list (the list counts from 0) keeps the first start's.
        const int duration = IndexOr(line(4), missing.durationIndex);
        settings.durationIndex
            = duration >= 0 && duration < Plot::DurationCount ? duration : missing.durationIndex;
    }
    if (count >= 5 && !IsCommaTwice(line(5)))
        settings.separatorCode = line(5);
    if (count >= 6)
        settings.temperature = IndexOr(line(6), missing.temperature);
    if (count >= FixedLineCount)
        settings.scaleIndex = IndexOr(line(FixedLineCount), missing.scaleIndex);
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
