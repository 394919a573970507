#include "records/measurement_file.h"

#include "numbers/field_reading.h"
#include "numbers/value_format.h"
#include "platform/text_file.h"

#include <algorithm>
#include <array>
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

QString FieldText(QString text, QChar fieldSeparator)
{
    text.replace(fieldSeparator, SeparatorSubstitute(fieldSeparator)).replace(u'"', u'\'');
    static const QString formulaStarts = QStringLiteral("=+-@\t\r\n");
    const QString start = text.trimmed().left(1) + text.left(1);
    if (std::any_of(start.begin(), start.end(), [](QChar c) { return formulaStarts.contains(c); }))
        text.prepend(u'\'');
    return text;
}

namespace {

// The labels of the header lines 1 to 9 and the text each holds.
constexpr std::array<const char*, 9> HeaderLabels {"Produkt-Bezeichnung", "Auftragsnummer",
    "Chargen-Nr.", "Bemerkungen 1", "Bemerkungen 2", "Bemerkungen 3", "Test-Datum", "Test-Zeit",
    "Messzyklus"};
constexpr std::array<QString MeasurementHeader::*, 9> HeaderTexts {&MeasurementHeader::product,
    &MeasurementHeader::order, &MeasurementHeader::batch, &MeasurementHeader::remark1,
    &MeasurementHeader::remark2, &MeasurementHeader::remark3, &MeasurementHeader::date,
    &MeasurementHeader::time, &MeasurementHeader::cycle};

} // namespace

QStringList HeaderLines(const MeasurementHeader& header, const QString& fieldSeparator)
{
    const QChar separator = fieldSeparator.isEmpty() ? QChar(u';') : fieldSeparator.front();
    QStringList lines;
    for (std::size_t line = 0; line < HeaderLabels.size(); ++line)
        lines.append(QLatin1String(HeaderLabels[line]) + fieldSeparator
            + FieldText(header.*HeaderTexts[line], separator));
    return lines << fieldSeparator << QStringLiteral("Messzeit;Viskosität;Temperatur");
}

std::optional<MeasurementHeader> ReadHeaderLines(const QStringList& lines)
{
    if (lines.size() < qsizetype(HeaderLabels.size()))
        return std::nullopt;
    MeasurementHeader header;
    for (std::size_t line = 0; line < HeaderLabels.size(); ++line) {
        const QLatin1String label(HeaderLabels[line]);
        const QString& text = lines.at(qsizetype(line));
        if (!text.startsWith(label) || text.size() == label.size())
            return std::nullopt;
        header.*HeaderTexts[line] = text.mid(label.size() + 1);
    }
    return header;
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

std::optional<StoredCurve> ReadStoredCurve(const QString& path)
{
    // Far more data lines than the longest test writes: a file beyond it is no measurement file
    // and must not fill the memory.
    constexpr std::size_t MaxStoredDataLines = 100000;
    TextFileReader file;
    if (!file.Open(path))
        return std::nullopt;
    for (int line = 0; line < MeasurementFile::HeaderLineCount; ++line)
        file.ReadLine();
    StoredCurve curve;
    while (curve.samples.size() < MaxStoredDataLines) {
        const std::optional<QString> line = file.ReadLine();
        if (!line)
            break;
        curve.samples.push_back(ReadDataLine(*line));
        curve.temperatureMeasured
            = curve.temperatureMeasured || curve.samples.back().temperature != 0;
    }
    return curve;
}
