// The plot geometry of both graphs: duration tables, x and y of a value, the axis label texts.
#include "graph/plot_frame.h"

#include "numbers/field_reading.h"
#include "numbers/value_format.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const std::array<DurationRow, Plot::DurationCount> DurationRows {{
    {" 15 Minuten  ", 15, 60, 240, 240},
    {" 30 Minuten  ", 30, 60, 600, 120},
    {" 60 Minuten  ", 60, 60, 300, 60},
    {"  2 Stunden  ", 120, 150, 300, 30},
    {"  5 Stunden  ", 300, 120, 360, 720},
    {" 10 Stunden  ", 600, 60, 360, 360},
    {" 20 Stunden  ", 14400, 90, 360, 360},
    {" 50 Stunden  ", 28800, 90, 180, 180},
    {"100 Stunden  ", 28800, 90, 180, 180},
}};

} // namespace

const DurationRow* DurationTableRow(int durationIndex)
{
    if (durationIndex < 1 || durationIndex > Plot::DurationCount)
        return nullptr;
    return &DurationRows[durationIndex - 1];
}

double PlotX(double seconds, qint32 durationMinutes)
{
    if (durationMinutes == 0)
        return 0;
    return double(Plot::Width) / durationMinutes / 60 * seconds;
}

QString AxisLabel(qint64 number)
{
    return ("    " + SignedNumberText(number)).right(3);
}

QString TimeLabel(double number, const QLocale& locale)
{
    QString digits = QString::number(std::abs(number), 'g', 7);
    if (digits.startsWith(QStringLiteral("0.")))
        digits.remove(0, 1);
    digits.replace(u'.', locale.decimalPoint());
    return (number < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + digits + u' ';
}

std::optional<QLineF> WithinTimeAxis(QPointF from, QPointF to)
{
    const double end = Plot::Width;
    if (from.x() > end && to.x() > end)
        return std::nullopt;
    const auto cut = [&](QPointF inside, QPointF beyond) {
        const double share = (end - inside.x()) / (beyond.x() - inside.x());
        return QPointF(end, inside.y() + share * (beyond.y() - inside.y()));
    };
    if (to.x() > end)
        return QLineF(from, cut(from, to));
    if (from.x() > end)
        return QLineF(cut(to, from), to);
    return QLineF(from, to);
}

float PlotOrdinate(double y)
{
    constexpr double Limit = 100000;
    return std::isnan(y) ? 0.0F : float(std::clamp(y, -Limit, Limit));
}
