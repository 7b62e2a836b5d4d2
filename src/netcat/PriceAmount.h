#pragma once

#include <QString>
#include <QtGlobal>

#include <compare>
#include <optional>

// A money amount with four decimal places, held exactly as ten-thousandths.
class TAmount
{
public:
    static constexpr qint64 Scale = 10000;

    constexpr TAmount() = default;
    static constexpr TAmount fromUnits(qint64 units) { return TAmount(units); }

    // Reads "12", "12.5", ".5", "5." with an optional sign; digits past the fourth decimal
    // round half away from zero. Empty when the text is no number or out of range.
    static std::optional<TAmount> fromDecimal(QStringView text);
    // Nearest amount; empty when the value is not finite or out of range.
    static std::optional<TAmount> fromDouble(double value);

    constexpr qint64 units() const { return m_units; }
    constexpr bool isZero() const { return m_units == 0; }
    double toDouble() const { return double(m_units) / Scale; }
    // Shortest decimal form: 25, 12.99, 1200, 0.0001.
    QString toString() const;

    friend constexpr auto operator<=>(TAmount, TAmount) = default;

private:
    constexpr explicit TAmount(qint64 units) : m_units(units) {}

    qint64 m_units = 0;
};
