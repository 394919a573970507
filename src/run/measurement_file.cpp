#include "run/measurement_file.h"

#include "instrument/field_reading.h"

namespace {

double FieldAt(QStringView line, qsizetype at, qsizetype length)
{
    return at < line.size() ? FieldValue(line.mid(at, length)) : 0.0;
}

} // namespace

StoredSample ReadDataLine(QStringView line)
{
    using namespace MeasurementFile;
    const qint64 hours = RoundHalfEven(FieldAt(line, HoursAt, TimePartLength));
    const qint64 minutes = RoundHalfEven(FieldAt(line, MinutesAt, TimePartLength));
    const qint64 seconds = RoundHalfEven(FieldAt(line, SecondsAt, TimePartLength));
    return {qint32(hours * 3600 + minutes * 60 + seconds), FieldAt(line, ViscosityAt, ValueLength),
        FieldAt(line, TemperatureAt, ValueLength)};
}

QString MeasurementFileName(const QString& testName)
{
    return QStringLiteral("No-") + testName + QStringLiteral(".CSV");
}
