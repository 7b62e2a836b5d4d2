// Feeds arbitrary text to the MARC parser, the price reader and the standard-number
// routines: none may crash, hang or read out of bounds.
#include "netcat/MarcParser.h"

#include <cstddef>
#include <cstdint>

namespace {

void ParseRecord(const TMarc& marc, bool isIgnoreErrors)
{
    try {
        const TMarcRecord record(marc, isIgnoreErrors);
        const TResource resource = MarcRecordToResource(record);
        (void)resource.Price.toString();
    } catch (const AppError&) {
        // Unknown data is reported as an error; that is a correct outcome here.
    }
}

void ReadPrice(const QString& text, bool isIgnoreErrors)
{
    try {
        TAmount price;
        QString currency;
        QString notes;
        ParsePriceDetail(text, price, currency, notes, isIgnoreErrors);
    } catch (const AppError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    TMarc marc;
    marc.Format = mfCNMarc;
    marc.append(text.split(u'\n'));
    ParseRecord(marc, true);
    ParseRecord(marc, false);

    for (const QString& line : std::as_const(marc)) {
        ReadPrice(line, true);
        ReadPrice(line, false);
        (void)NormalizeStandardNumber(line);
        (void)CleanSpaces(line);
    }
    return 0;
}
