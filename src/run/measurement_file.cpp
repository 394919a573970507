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
    const double seconds = FieldAt(line, HoursAt, TimePartLength) * 3600
        + FieldAt(line, MinutesAt, TimePartLength) * 60 + FieldAt(line, SecondsAt, TimePartLength);
    return {RoundHalfEven32(seconds), FieldAt(line, ViscosityAt, ValueLength),
        FieldAt(line, TemperatureAt, ValueLength)};
}

QString MeasurementFileName(const QString& testName)
{
    return QStringLiteral("No-") + testName + QStringLiteral(".CSV");
}
