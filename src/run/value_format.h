#pragma once

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
