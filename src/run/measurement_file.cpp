#include "run/measurement_file.h"

#include "instrument/field_reading.h"
#include "run/value_format.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double LastWrittenSeconds = 99 * 3600 + 59 * 60 + 59;
constexpr double LowestValue = -99.9;
constexpr double HighestValue = 999.9;
constexpr qsizetype DecimalSeparatorAt = 3;

// A value in five characters with one decimal and the chosen decimal separator.
QString ValueField(double value, const QString& decimalSeparator)
{
    const double held = std::isfinite(value) ? std::clamp(value, LowestValue, HighestValue) : 0.0;
    QString field = FFix(held, 3, 1);
    field.replace(DecimalSeparatorAt, 1, decimalSeparator.left(1));
    return field;
}

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

QStringList HeaderLines(const MeasurementHeader& header, const QString& fieldSeparator)
{
    const QString& sep = fieldSeparator;
    return {QStringLiteral("Produkt-Bezeichnung") + sep + header.product,
        QStringLiteral("Auftragsnummer") + sep + header.order,
        QStringLiteral("Chargen-Nr.") + sep + header.batch,
        QStringLiteral("Bemerkungen 1") + sep + header.remark1,
        QStringLiteral("Bemerkungen 2") + sep + header.remark2,
        QStringLiteral("Bemerkungen 3") + sep + header.remark3,
        QStringLiteral("Test-Datum") + sep + header.date,
        QStringLiteral("Test-Zeit") + sep + header.time,
        QStringLiteral("Messzyklus") + sep + header.cycle, sep,
        QStringLiteral("Messzeit;Viskosität;Temperatur")};
}

QString DataLine(double seconds, double viscosity, std::optional<double> temperature,
    const QString& fieldSeparator, const QString& decimalSeparator)
{
    const double written = std::isfinite(seconds) ? std::min(seconds, LastWrittenSeconds) : 0.0;
    QString line = FZeit(written) + u' ' + fieldSeparator + ValueField(viscosity, decimalSeparator);
    if (temperature)
        line += fieldSeparator + ValueField(*temperature, decimalSeparator);
    return line;
}
