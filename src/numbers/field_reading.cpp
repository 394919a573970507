#include "numbers/field_reading.h"

#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

// Walks a field character by character, passing over blanks wherever they stand.
class FieldCursor {
public:
    explicit FieldCursor(QStringView field)
        : text(field)
    {
        skipBlanks();
    }

    bool atDigit() const { return pos < text.size() && isAsciiDigit(text[pos]); }
    bool at(char c) const { return pos < text.size() && text[pos] == QLatin1Char(c); }
    char current() const { return static_cast<char>(text[pos].unicode()); }

    void advance()
    {
        ++pos;
        skipBlanks();
    }

private:
    static bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }
    static bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

    void skipBlanks()
    {
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
    }

    QStringView text;
    qsizetype pos = 0;
};

using NumberText = QVarLengthArray<char, 64>;

// Copies the digits at the cursor; returns how many there were.
qsizetype TakeDigits(FieldCursor& cursor, NumberText& out)
{
    qsizetype count = 0;
    for (; cursor.atDigit(); cursor.advance(), ++count)
        out.append(cursor.current());
    return count;
}

// Copies an exponent ("e", optional sign, digits) to out; an exponent without digits is dropped.
void TakeExponent(FieldCursor& cursor, NumberText& out)
{
    if (!cursor.at('e') && !cursor.at('E'))
        return;
    cursor.advance();
    NumberText exponent {'e'};
    if (cursor.at('+') || cursor.at('-')) {
        exponent.append(cursor.current());
        cursor.advance();
    }
    if (TakeDigits(cursor, exponent) > 0)
        out.append(exponent.constData(), exponent.size());
}

} // namespace

std::optional<double> FieldNumber(QStringView field)
{
    FieldCursor cursor(field);
    const bool negative = cursor.at('-');
    if (negative || cursor.at('+'))
        cursor.advance();

    NumberText number;
    qsizetype mantissaDigits = TakeDigits(cursor, number);
    if (cursor.at('.')) {
        number.append('.');
        cursor.advance();
        mantissaDigits += TakeDigits(cursor, number);
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    TakeExponent(cursor, number);

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.begin(), number.end(), value);
    if (error != std::errc() || !std::isfinite(value))
        return std::nullopt;
    if (value == 0.0)
        return 0.0;
    return negative ? -value : value;
}

double FieldValue(QStringView field)
{
    return FieldNumber(field).value_or(0.0);
}

qint64 RoundHalfEven(double x)
{
    if (std::isnan(x))
        return 0;
    double rounded = std::floor(x);
    const double fraction = x - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (rounded >= limit)
        return std::numeric_limits<qint64>::max();
    if (rounded < -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(rounded);
}

namespace {

template <typename Int> Int RoundHalfEvenTo(double x)
{
    return static_cast<Int>(std::clamp<qint64>(
        RoundHalfEven(x), std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max()));
}

} // namespace

qint16 RoundHalfEven16(double x)
{
    return RoundHalfEvenTo<qint16>(x);
}

qint32 RoundHalfEven32(double x)
{
    return RoundHalfEvenTo<qint32>(x);
}
