#include "catalogue/inputcode/InputCode.h"

#include "catalogue/inputcode/GbkInputCode.h"
#include "catalogue/inputcode/InputCodeTables.h"

#include <array>

using namespace InputCodeTables;

namespace {

constexpr char NoInitial = 0;
constexpr uchar EuroSignGbk = 0x80;  // the one non-ASCII single byte of GBK
constexpr char16_t EuroSign = 0x20AC;

char initialOfSingleByte(uchar byte)
{
    return isKeptChar(byte) ? char(byte) : NoInitial;
}

char initialOfNumberSymbol(uchar trail)
{
    const int index = trail - GbkNumberSymbolFirstTrail;
    if (index < 0 || index >= int(std::size(GbkNumberSymbols)))
        return NoInitial;
    return GbkNumberSymbols[index][0];
}

// Full-width brackets, digits and letters read as their ASCII forms; other full-width
// signs are dropped.
char initialOfFullWidth(uchar trail)
{
    const bool passed = trail == 0xA8 || trail == 0xA9 || (trail >= 0xB0 && trail <= 0xB9)
                        || (trail >= 0xC1 && trail <= 0xDB) || trail == 0xDD
                        || (trail >= 0xE1 && trail <= 0xFA);
    return passed ? char(trail - 0x80) : NoInitial;
}

char initialOfGreek(uchar trail)
{
    if (trail >= 0xA1 && trail <= 0xB8)
        return GreekReadings[trail - 0xA1][0];
    if (trail >= 0xC1 && trail <= 0xD8)
        return GreekReadings[trail - 0xC1][0];
    return NoInitial;
}

int syllableNumberOf(uchar lead, uchar trail)
{
    if (lead < GbkLeadFirst || lead > GbkLeadLast || trail < GbkTrailFirst || trail > GbkTrailLast)
        return 0;
    return GbkReadingIndex[gbkSlot(lead, trail)];
}

char initialOfDoubleByte(uchar lead, uchar trail)
{
    if (trail < GbkTrailFirst)
        return initialOfSingleByte(lead);
    switch (lead) {
    case 0xA2:
        return initialOfNumberSymbol(trail);
    case 0xA3:
        return initialOfFullWidth(trail);
    case 0xA6:
        return initialOfGreek(trail);
    default: {
        const int number = syllableNumberOf(lead, trail);
        return number == 0 ? NoInitial : PinyinSyllables[number - 1].letters[0];
    }
    }
}

bool isLeadByte(uchar byte)
{
    return byte >= GbkLeadFirst && byte <= GbkLeadLast;
}

constexpr char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// What each UTF-16 code unit adds to an input code: 0 for nothing, otherwise the upper-cased
// initial, or '?' for a character GBK lacks. A low surrogate is marked, since only a pair
// (one character) or a lone surrogate decides whether it adds anything.
constexpr quint8 LowSurrogateMark = 0xFF;

// Built in place: a static table, not a 64 KiB temporary on the caller's stack.
struct InitialsMap
{
    InitialsMap();
    std::array<quint8, 0x10000> initial;
};

InitialsMap::InitialsMap()
{
    initial.fill('?');
    for (int unit = 0; unit < 0x80; ++unit)
        initial[unit] = quint8(asciiUpper(initialOfSingleByte(uchar(unit))));
    initial[EuroSign] = quint8(initialOfSingleByte(EuroSignGbk));
    for (int lead = GbkLeadFirst; lead <= GbkLeadLast; ++lead) {
        for (int trail = GbkTrailFirst; trail <= GbkTrailLast; ++trail) {
            const char16_t unit = GbkToUnicode[gbkSlot(lead, trail)];
            if (unit != 0)
                initial[unit] = quint8(asciiUpper(initialOfDoubleByte(uchar(lead), uchar(trail))));
        }
    }
    for (int unit = 0xDC00; unit <= 0xDFFF; ++unit)
        initial[unit] = LowSurrogateMark;
}

const InitialsMap& initialsMap()
{
    static const InitialsMap map;
    return map;
}

struct GbkCodeMap
{
    GbkCodeMap();
    std::array<qint32, 0x10000> code;
};

GbkCodeMap::GbkCodeMap()
{
    code.fill(-1);
    for (int unit = 0; unit < 0x80; ++unit)
        code[unit] = unit;
    code[EuroSign] = EuroSignGbk;
    for (int lead = GbkLeadFirst; lead <= GbkLeadLast; ++lead) {
        for (int trail = GbkTrailFirst; trail <= GbkTrailLast; ++trail) {
            if (const char16_t unit = GbkToUnicode[gbkSlot(lead, trail)])
                code[unit] = lead << 8 | trail;
        }
    }
}

} // namespace

QString MakeInputCode(const QString& text)
{
    const auto& initial = initialsMap().initial;
    const char16_t* const units = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype length = text.size();
    QString code(length, Qt::Uninitialized);
    char16_t* const out = reinterpret_cast<char16_t*>(code.data());
    qsizetype written = 0;
    for (qsizetype i = 0; i < length; ++i) {
        quint8 c = initial[units[i]];
        if (Q_UNLIKELY(c == LowSurrogateMark))  // the high surrogate before it gave the '?'
            c = i > 0 && QChar::isHighSurrogate(units[i - 1]) ? 0 : '?';
        out[written] = c;
        written += c != 0;
    }
    code.resize(written);
    return code;
}

QByteArray InputCodeOfGbk(QByteArrayView gbk)
{
    QByteArray code;
    code.reserve(gbk.size());
    for (qsizetype i = 0; i < gbk.size();) {
        const uchar first = uchar(gbk[i]);
        char initial;
        if (isLeadByte(first) && i + 1 < gbk.size()) {
            initial = initialOfDoubleByte(first, uchar(gbk[i + 1]));
            i += 2;
        } else {
            initial = initialOfSingleByte(first);
            i += 1;
        }
        if (initial != NoInitial)
            code.append(asciiUpper(initial));
    }
    return code;
}

int GbkCodeOf(char16_t unit)
{
    static const GbkCodeMap map;
    return map.code[unit];
}

QLatin1StringView PinyinOfGbk(int code)
{
    const int number = code > 0xFF && code <= 0xFFFF ? syllableNumberOf(uchar(code >> 8), uchar(code)) : 0;
    if (number == 0)
        return {};
    const PinyinSyllable& syllable = PinyinSyllables[number - 1];
    return QLatin1StringView(syllable.letters, syllable.length);
}
