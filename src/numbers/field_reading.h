#pragma once

#include <QStringView>
#include <QtGlobal>
#include <optional>

// Field reading: the one rule by which numbers are read from replies, shown texts, settings lines
// and file fields. Blanks and tabs are skipped anywhere ("1 2" reads 12); then an optional sign,
// digits, an optional "." with decimals and an optional exponent (E or e, optional sign, digits;
// "1e" reads 1) are taken; reading stops at the first other character ("12,5" reads 12).
// No number, or one too large for a double, reads as 0. Only ASCII "." is a decimal point.
double FieldValue(QStringView field);

// As FieldValue, but nothing when the field holds no number at all or one beyond the range of a
// double, so that noise can be told from a true 0.
std::optional<double> FieldNumber(QStringView field);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Values beyond the range saturate; NaN gives 0.
qint64 RoundHalfEven(double x);

// RoundHalfEven saturated to the 16-bit and 32-bit integers of the window's variables.
qint16 RoundHalfEven16(double x);
qint32 RoundHalfEven32(double x);
