#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>
#include <optional>
#include <vector>

// The measurement file of one test and position: 11 header lines, then one data line per stored
// sample with its fields at fixed character positions:
//   characters 1-8 "hh:mm:ss", 9 a blank, 10 the field separator, 11-15 the viscosity in percent,
//   16 the field separator, 17-21 the temperature in °C (both five characters, one decimal).
// Lines of tests of 10 hours and more end after the viscosity.
namespace MeasurementFile {
constexpr int HeaderLineCount = 11;
constexpr qsizetype HoursAt = 0;
constexpr qsizetype MinutesAt = 3;
constexpr qsizetype SecondsAt = 6;
constexpr qsizetype TimePartLength = 2;
constexpr qsizetype ViscosityAt = 10;
constexpr qsizetype TemperatureAt = 16;
constexpr qsizetype ValueLength = 5;
} // namespace MeasurementFile

// The values of the first nine header lines, as the window shows them at the start of a test.
struct MeasurementHeader {
    QString product;
    QString order;
    QString batch;
    QString remark1;
    QString remark2;
    QString remark3;
    QString date; // "dd.mm.yyyy"
    QString time; // "hh:mm"
    QString cycle; // the text of the chosen cycle entry
};

// The character that stands for the field separator inside a typed text, so that no text ever
// adds a column: "," for ";" and ";" for ",".
QChar SeparatorSubstitute(QChar fieldSeparator);
// A typed text as one field of the program's files: every field separator replaced by the
// substitute and every double quote by a single one, so that a spreadsheet finds the columns as
// written; a text that a spreadsheet would take for a formula (=, +, - or @ first) gets a leading
// apostrophe.
QString FieldText(QString text, QChar fieldSeparator);

// The 11 header lines; a field separator inside a text is replaced by its substitute. The column
// line keeps ";" whatever the field separator is.
QStringList HeaderLines(const MeasurementHeader& header, const QString& fieldSeparator);

// The texts of the header lines as HeaderLines wrote them (the separator is the character after
// the first label); nothing when the lines are no such header.
std::optional<MeasurementHeader> ReadHeaderLines(const QStringList& lines);

// One data line with its fields at their fixed positions; without a temperature it ends after the
// viscosity. Times beyond 99:59:59 are written as 99:59:59 and values are held to -99.9 ... 999.9,
// so that no field ever moves; the value's decimal separator is the chosen one.
QString DataLine(double seconds, double viscosity, std::optional<double> temperature,
    const QString& fieldSeparator, const QString& decimalSeparator);

// One data line as read back: each field is the number at its start (field reading), so text
// that is no number reads as 0. The decimal separator, "." or ",", stands at the 4th character of
// a value field.
struct StoredSample {
    qint32 seconds = 0;
    double viscosity = 0;
    double temperature = 0;
};
StoredSample ReadDataLine(QStringView line);

// The data lines of a stored test, read after its header lines; whether any temperature is not 0
// (a test without temperature measurement writes 0). Nothing when the file cannot be read.
struct StoredCurve {
    std::vector<StoredSample> samples;
    bool temperatureMeasured = false;
};
std::optional<StoredCurve> ReadStoredCurve(const QString& path);

// "No-" + the five-digit test name part + "-" + position + ".CSV" for a test name "00012-1".
QString MeasurementFileName(const QString& testName);
