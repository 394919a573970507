#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

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

// One data line as read back: each field is the number at its start (field reading), so text
// that is no number reads as 0 and a "," decimal separator ends the number.
struct StoredSample {
    qint32 seconds = 0;
    double viscosity = 0;
    double temperature = 0;
};
StoredSample ReadDataLine(QStringView line);

// "No-" + the five-digit test name part + "-" + position + ".CSV" for a test name "00012-1".
QString MeasurementFileName(const QString& testName);
