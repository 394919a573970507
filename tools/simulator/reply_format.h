#pragma once

#include <QByteArray>
#include <optional>

// The instrument's reply lines, without their CR LF.

// "*I" + elapsed seconds as 8 digits: 60 -> "*I00000060".
QByteArray elapsedReply(qint64 seconds);

// "*A" + "000000" + viscosity in tenths of a percent (5 digits) + temperature in degrees Celsius
// (5 characters, one decimal, leading zeros; "000.0" when temperature measurement is off):
// 123, 23.5 -> "*A00000000123023.5".
QByteArray dataReply(int viscosityTenths, std::optional<double> temperature);

// "*S11" / "*E11": start and end of a test at group 1, place 1.
QByteArray startReply();
QByteArray endReply();
