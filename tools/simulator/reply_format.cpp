#include "reply_format.h"

#include <algorithm>
#include <cmath>

namespace {

QByteArray digits(qint64 value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

QByteArray temperatureField(std::optional<double> celsius)
{
    const double tenths = std::round(celsius.value_or(0.0) * 10.0);
    const auto clamped = static_cast<qint64>(std::clamp(tenths, 0.0, 9999.0));
    return digits(clamped / 10, 3) + '.' + QByteArray::number(clamped % 10);
}

} // namespace

QByteArray elapsedReply(qint64 seconds)
{
    return "*I" + digits(std::clamp<qint64>(seconds, 0, 99999999), 8);
}

QByteArray dataReply(int viscosityTenths, std::optional<double> temperature)
{
    return "*A000000" + digits(std::clamp(viscosityTenths, 0, 1000), 5)
        + temperatureField(temperature);
}

QByteArray startReply()
{
    return "*S11";
}

QByteArray endReply()
{
    return "*E11";
}
