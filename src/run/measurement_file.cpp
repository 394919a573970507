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

// A value field read with either decimal separator.
double ValueAt(QStringView line, qsizetype at)
{
    if (at >= line.size())
        return 0.0;
    QString field = line.mid(at, MeasurementFile::ValueLength).toString();
    if (field.size() > DecimalSeparatorAt && field[DecimalSeparatorAt] == u',')
        field[DecimalSeparatorAt] = u'.';
    return FieldValue(field);
}

} // namespace

StoredSample ReadDataLine(QStringView line)
{
    using namespace MeasurementFile;
    const double seconds = FieldAt(line, HoursAt, TimePartLength) * 3600
        + FieldAt(line, MinutesAt, TimePartLength) * 60 + FieldAt(line, SecondsAt, TimePartLength);
    return {RoundHalfEven32(seconds), ValueAt(line, ViscosityAt), ValueAt(line, TemperatureAt)};
}

QString MeasurementFileName(const QString& testName)
{
    return QStringLiteral("No-") + testName + QStringLiteral(".CSV");
}

QChar SeparatorSubstitute(QChar fieldSeparator)
{
    return fieldSeparator == u',' ? u';' : u',';
}

QString WithoutFieldSeparator(QString text, QChar fieldSeparator)
{
    return text.replace(fieldSeparator, SeparatorSubstitute(fieldSeparator));
}

QStringList HeaderLines(const MeasurementHeader& header, const QString& fieldSeparator)
{
    const QString& sep = fieldSeparator;
    const QChar separator = sep.isEmpty() ? QChar(u';') : sep.front();
    const auto field = [&](const char* name, const QString& text) -> QString {
        return QLatin1String(name) + sep + WithoutFieldSeparator(text, separator);
    };
    return {field("Produkt-Bezeichnung", header.product), field("Auftragsnummer", header.order),
        field("Chargen-Nr.", header.batch), field("Bemerkungen 1", header.remark1),
        field("Bemerkungen 2", header.remark2), field("Bemerkungen 3", header.remark3),
        field("Test-Datum", header.date), field("Test-Zeit", header.time),
        field("Messzyklus", header.cycle), sep, QStringLiteral("Messzeit;Viskosität;Temperatur")};
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
