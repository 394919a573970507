#include "numbers/value_format.h"

#include "numbers/field_reading.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace {

// A magnitude as decimal digits: value = 0.digits × 10^pointPosition.
struct DecimalDigits {
    std::string digits;
    int pointPosition = 0;
};

// The magnitude to 15 significant digits, the precision a double holds safely, so that a value
// typed as 1.005 counts as 1.005 and not as the 1.00499999... stored for it.
DecimalDigits SignificantDigits(double magnitude)
{
    char buffer[32];
    const auto written = std::to_chars(
        buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 14);
    const std::string_view text(buffer, written.ptr); // "d.ddddddddddddddde-xxx"
    const std::size_t exponentMark = text.find('e');
    std::string_view exponentText = text.substr(exponentMark + 1);
    if (exponentText.starts_with('+'))
        exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    DecimalDigits decimal;
    decimal.digits = text.substr(0, 1);
    decimal.digits += text.substr(2, exponentMark - 2);
    decimal.pointPosition = exponent + 1;
    return decimal;
}

// Adds one to a string of decimal digits.
void Increment(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The magnitude rounded to `decimals` places, halves up, as its digits without a point
// (1.25, 1 -> "13"); at least decimals + 1 digits long.
std::string RoundedDigits(double magnitude, int decimals)
{
    DecimalDigits decimal = SignificantDigits(magnitude);
    std::string& digits = decimal.digits;
    const qint64 kept = qint64(decimal.pointPosition) + decimals;
    if (kept < 0) {
        digits.clear();
    } else if (kept >= qint64(digits.size())) {
        digits.append(static_cast<std::size_t>(kept) - digits.size(), '0');
    } else {
        const bool roundUp = digits[kept] >= '5';
        digits.resize(kept);
        if (roundUp)
            Increment(digits);
    }
    const auto minimumLength = static_cast<std::size_t>(decimals) + 1;
    if (digits.size() < minimumLength)
        digits.insert(0, minimumLength - digits.size(), '0');
    return digits;
}

// The sign and the unsigned text ("12,3") of x with `decimals` decimals in the current locale.
struct FixedText {
    bool negative = false;
    QString body;
};

FixedText FormatFixed(double x, int decimals)
{
    if (!std::isfinite(x))
        x = 0.0;
    const std::string digits = RoundedDigits(std::fabs(x), decimals);
    QString body = QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size()));
    if (decimals > 0)
        body.insert(body.size() - decimals, QLocale().decimalPoint());
    const bool isZero = digits.find_first_not_of('0') == std::string::npos;
    return {x < 0 && !isZero, body};
}

qsizetype FieldWidth(int VK, int NK)
{
    return qsizetype(VK) + NK + (NK > 0 ? 1 : 0);
}

QString TwoDigits(qint64 n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

QString FFix(double x, int VK, int NK)
{
    const FixedText text = FormatFixed(x, qMax(NK, 0));
    const QString signedText = text.negative ? u'-' + text.body : text.body;
    return signedText.rightJustified(FieldWidth(VK, NK), u' ');
}

QString FFix0(double x, int VK, int NK)
{
    const FixedText text = FormatFixed(x, qMax(NK, 0));
    const QString padded = text.body.rightJustified(FieldWidth(VK, NK), u'0');
    return text.negative ? u'-' + padded : padded;
}

// Rounding the whole time equals rounding only its seconds part, as whole minutes are an even
// number of seconds; the carry of 60 s into the minute and of 60 min into the hour follows.
QString FZeit(double seconds)
{
    const qint64 total = std::isfinite(seconds) && seconds > 0 ? RoundHalfEven(seconds) : 0;
    return TwoDigits(total / 3600) + u':' + TwoDigits(total % 3600 / 60) + u':'
        + TwoDigits(total % 60);
}

QString SignedNumberText(qint64 n)
{
    const QString digits = QString::number(n);
    return n < 0 ? digits : u' ' + digits;
}

QString ShownNumber(double value)
{
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    if (QLocale().decimalPoint() == QStringLiteral(","))
        text.replace(u'.', u',');
    return text;
}

double ReadShownValue(const QString& field)
{
    QString number = field.chopped(qMin<qsizetype>(1, field.size()));
    const qsizetype comma = number.indexOf(u',');
    if (comma >= 0)
        number[comma] = u'.';
    return FieldValue(number);
}

QString MinuteStamp(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyyMMdd hh:mm"));
}

QString VersionText(const QDateTime& executableDate)
{
    const QDate date = executableDate.date();
    return FFix(date.year() % 100 - 9, 2, 0) + u'.' + FFix0(date.month(), 2, 0)
        + FFix0(date.day(), 2, 0);
}
