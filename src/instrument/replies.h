#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The kinds of reply the program acts on, by their first characters (case-sensitive). Others,
// such as the number reply "*T", are only echoed.
enum class ReplyKind { Other, Start, End, ElapsedTime, Sample, InstrumentAnswer };

ReplyKind KindOfReply(QStringView line);

// The status-bar echo of a received line: "Eing: " (data replies "Eing: Daten ") and at most the
// first 40 characters.
QString ReplyEcho(QStringView line);

// The measuring position of a start or end reply: group digit at character 3, place digit at
// character 4, position = (group - 1) * 8 + place. Nothing unless the group is 1 to 4 and the
// place 1 to 8, so that no position outside 1 to 32 is ever used.
std::optional<int> ReplyPosition(QStringView line);

// The fields of a time reply "*I": the elapsed seconds in characters 3 to 10.
double ReportedSeconds(QStringView line);

// The fields of a data reply "*A": the viscosity in percent from the tenths in characters 9 to 13
// and the temperature in °C from characters 14 to 18, by field reading.
double SampleViscosity(QStringView line);
double SampleTemperature(QStringView line);

// Whether characters 9 to 13 are all there and hold a number within a double's range: a line cut
// within them, or noise, is shown as read but is no measurement to act on.
bool HoldsWholeViscosity(QStringView line);
