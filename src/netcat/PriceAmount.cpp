#include "netcat/PriceAmount.h"

#include <cmath>
#include <limits>

std::optional<TAmount> TAmount::fromDecimal(QStringView text)
{
    qsizetype pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+'))
        negative = text[pos++] == u'-';

    constexpr qint64 limit = std::numeric_limits<qint64>::max();
    qint64 units = 0;
    int digits = 0;
    int decimals = -1; // -1 while before the decimal point
    bool roundUp = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (c == u'.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c.unicode() - u'0';
        ++digits;
        if (decimals >= 4) {
            if (decimals == 4)
                roundUp = digit >= 5;
            ++decimals;
            continue;
        }
        if (units > (limit - digit) / 10)
            return std::nullopt;
        units = units * 10 + digit;
        if (decimals >= 0)
            ++decimals;
    }
    if (digits == 0)
        return std::nullopt;
    for (int d = std::max(decimals, 0); d < 4; ++d) {
        if (units > limit / 10)
            return std::nullopt;
        units *= 10;
    }
    if (roundUp) {
        if (units == limit)
            return std::nullopt;
        ++units;
    }
    return TAmount(negative ? -units : units);
}

std::optional<TAmount> TAmount::fromDouble(double value)
{
    const double scaled = std::round(value * Scale);
    // 2^63 is exactly representable; anything at or past it does not fit.
    constexpr double bound = 9223372036854775808.0;
    if (!std::isfinite(scaled) || scaled >= bound || scaled < -bound)
        return std::nullopt;
    return TAmount(qint64(scaled));
}

QString TAmount::toString() const
{
    const bool negative = m_units < 0;
    // Work in unsigned so that the most negative amount prints too.
    const quint64 magnitude = negative ? quint64(0) - quint64(m_units) : quint64(m_units);
    QString text = QString::number(magnitude / Scale);
    quint64 fraction = magnitude % Scale;
    if (fraction != 0) {
        QString decimals = QString::number(fraction).rightJustified(4, u'0');
        while (decimals.endsWith(u'0'))
            decimals.chop(1);
        text += u'.' + decimals;
    }
    return negative ? u'-' + text : text;
}
