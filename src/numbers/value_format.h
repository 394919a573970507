#pragma once

#include <QDateTime>
#include <QString>

// Fixed-width number texts of the display, the file names and the CSV files. The decimal
// separator is the one of the current locale (QLocale()); there are no thousands separators.

// x rounded to NK decimals, halves away from zero on the decimal value as typed (1.005 -> "1,01"),
// right-aligned with blanks in VK + NK characters (+1 for the separator when NK > 0); a longer
// text is returned whole. The minus sign is always "-" and is dropped when the text reads zero;
// NaN and infinity show as 0.
QString FFix(double x, int VK, int NK);

// As FFix, but the text after the sign is padded with zeros to the field width:
// FFix0(12, 5, 0) -> "00012", FFix0(-12, 4, 0) -> "-0012", FFix0(1.5, 3, 1) -> "001,5".
QString FFix0(double x, int VK, int NK);

// Seconds as "hh:mm:ss", halves of a second to the even neighbour, 60 s carried into the minute.
// Hours count on past 24 ("25:00:00"); a negative, NaN or infinite time shows as "00:00:00".
QString FZeit(double seconds);

// The signed-number text form: a non-negative number gets one leading blank (" 7"), a negative one
// its minus sign ("-1").
QString SignedNumberText(qint64 n);

// A measured value as the display shows it: as few digits as the value needs, with the system's
// decimal comma where it has one ("12,3", "12" on a German system, "12.3" elsewhere). Digits and
// sign are always ASCII and there are no thousands separators, so that the text reads back
// whatever the locale.
QString ShownNumber(double value);

// The number in a display field that ends in a unit sign ("12,3 %"): the last character is dropped,
// the first "," read as "." and the rest read by field reading; an empty field reads 0.
double ReadShownValue(const QString& field);

// The clock minute of a data line, "yyyyMMdd hh:mm": one line per minute in long tests.
QString MinuteStamp(const QDateTime& time);

// The version line's text from the executable's date: the year within its century less 9,
// right-aligned in two places, ".", then month and day with two digits each (2010-11-21 ->
// " 1.1121").
QString VersionText(const QDateTime& executableDate);
