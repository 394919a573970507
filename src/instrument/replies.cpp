#include "instrument/replies.h"

#include "numbers/field_reading.h"

namespace {
constexpr qsizetype EchoLength = 40;
constexpr int PlacesPerGroup = 8;
constexpr int GroupCount = 4;
constexpr qsizetype SecondsAt = 2;
constexpr qsizetype SecondsLength = 8;
constexpr qsizetype ViscosityAt = 8;
constexpr qsizetype TemperatureAt = 13;
constexpr qsizetype SampleFieldLength = 5;

double DigitAt(QStringView line, qsizetype index)
{
    return index < line.size() ? FieldValue(line.mid(index, 1)) : 0.0;
}
} // namespace

ReplyKind KindOfReply(QStringView line)
{
    if (line.startsWith(u"*OK! RUN"))
        return ReplyKind::InstrumentAnswer;
    const QStringView code = line.left(2);
    if (code == u"*S")
        return ReplyKind::Start;
    if (code == u"*E")
        return ReplyKind::End;
    if (code == u"*I")
        return ReplyKind::ElapsedTime;
    if (code == u"*A")
        return ReplyKind::Sample;
    return ReplyKind::Other;
}

QString ReplyEcho(QStringView line)
{
    const QString prefix
        = line.startsWith(u"*A") ? QStringLiteral("Eing: Daten ") : QStringLiteral("Eing: ");
    return prefix + line.left(EchoLength).toString();
}

std::optional<int> ReplyPosition(QStringView line)
{
    const qint64 group = RoundHalfEven(DigitAt(line, 2));
    const qint64 place = RoundHalfEven(DigitAt(line, 3));
    if (group < 1 || group > GroupCount || place < 1 || place > PlacesPerGroup)
        return std::nullopt;
    return int((group - 1) * PlacesPerGroup + place);
}

double ReportedSeconds(QStringView line)
{
    return FieldValue(line.mid(SecondsAt, SecondsLength));
}

double SampleViscosity(QStringView line)
{
    return FieldValue(line.mid(ViscosityAt, SampleFieldLength)) / 10;
}

bool HoldsWholeViscosity(QStringView line)
{
    const QStringView field = line.mid(ViscosityAt, SampleFieldLength);
    return field.size() == SampleFieldLength && FieldNumber(field).has_value();
}

double SampleTemperature(QStringView line)
{
    return FieldValue(line.mid(TemperatureAt, SampleFieldLength));
}
