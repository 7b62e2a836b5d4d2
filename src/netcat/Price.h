#pragma once

#include "netcat/Marc.h"
#include "netcat/PriceAmount.h"

#include <QString>

// The amount of a price text that spells no number (a lone "." or ","), or one too large.
class PriceConversionError : public AppError
{
public:
    using AppError::AppError;
};

// Reads a free-text catalogue price such as "CNY25.00", "定价：28.00元" or "HK$45" into an
// amount, a currency code (CNY, HKD, USD, …; empty when none is named) and notes (the words
// around the amount). An unknown currency raises MarcError unless errors are ignored; then the
// currency stays empty. An amount that spells no number raises PriceConversionError unless
// errors are ignored; then it reads as 0.
void ParsePriceDetail(const QString& AText, TAmount& APrice, QString& ACurrency, QString& ANotes,
                      bool AIsIgnoreErrors);
