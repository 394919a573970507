#pragma once

#include <QLineF>
#include <QLocale>
#include <QRgb>
#include <QString>
#include <QtGlobal>
#include <optional>

// The fixed plot coordinates of both graphs: x -200 to 3800 and y 1120 (top) to -100 (bottom);
// the plot area is x 0 to 3600 over the chosen duration and y 0 to 1000.
namespace Plot {
constexpr float Left = -200;
constexpr float Right = 3800;
constexpr float Top = 1120;
constexpr float Bottom = -100;
constexpr float Width = 3600;
constexpr float Height = 1000;
// The duration entries, 15 minutes to 100 hours.
constexpr int DurationCount = 9;
} // namespace Plot

// The colours of the graphs.
namespace PlotColour {
constexpr QRgb Black = 0xFF000000;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Cyan = 0xFF00FFFF;
constexpr QRgb Background = 0xFFFFFFC0;
} // namespace PlotColour

// One row of the duration tables: the list text and how the duration divides the time axis.
struct DurationRow {
    const char* text;
    qint32 minutes;
    qint16 minorTickStep;
    qint16 majorTickStep;
    qint16 timeLabelDivisor;
};

// Row 1 to 9 of the duration tables (" 15 Minuten  " to "100 Stunden  "); nothing outside.
const DurationRow* DurationTableRow(int durationIndex);

// The x of an elapsed time on an axis of the given full width in minutes, in double precision;
// x 0 for a width of 0.
double PlotX(double seconds, qint32 durationMinutes);

// The part of a curve segment that lies on the time axis (x up to its end): a test that runs
// longer than the chosen duration ends at the axis' end instead of running into the margin.
// Nothing when the whole segment lies beyond.
std::optional<QLineF> WithinTimeAxis(QPointF from, QPointF to);

// A plot ordinate held far outside the plot area (±100,000 units) so that a wild value still
// draws as an off-scale line; NaN gives 0.
float PlotOrdinate(double y);

// A 3-character axis label: the signed-number text right-aligned (0 -> "  0", 100 -> "100").
QString AxisLabel(qint64 number);

// A time label in the general number print format: a blank (or the minus sign), the number with
// the decimals it needs and no zero before the separator, a trailing blank (0.5 -> " ,5 ").
QString TimeLabel(double number, const QLocale& locale = QLocale());
