#pragma once

#include <QString>

#include <optional>

// The kind of a catalogue record, decided from field 200 $b. The ordinals are stored and
// exchanged, so reserved values keep their places.
enum TResourceType : int {
    rtUnknown = 0,
    rtBookChinese,
    rtBookChineseOverseas,
    rtBookChineseMinority,
    rtBookChineseAncient,
    rtCBook3,
    rtCBook4,
    rtCBook5,
    rtBookWestern,
    rtBookJapanese,
    rtBookRussian,
    rtBookFrench,
    rtBookGerman,
    rtBookKorean,
    rtBook5,
    rtBook6,
    rtSerialChinese,
    rtSerialWestern,
    rtSerialJapanese,
    rtSerialRussian,
    rtSerial2,
    rtSerial3,
    rtSerialElectronic,
    rtSerial5,
    rtNewspaperChinese,
    rtn1,
    rtn2,
    rtn3,
    rtn4,
    rtn5,
    rtn6,
    rtCD,
    rtRecording,
    rtMusic,
    rtFilm,
    rtTape,
    rtThesis,
    rtMicroform,
};
inline constexpr int ResourceTypeCount = rtMicroform + 1;
static_assert(ResourceTypeCount == 38 && rtSerialChinese == 16 && rtCD == 31);

// The type a 200 $b text names, letter case ignored; empty for a text no type uses.
std::optional<TResourceType> ResourceTypeFromText(const QString& text);
// The enumerator's name, such as "rtBookChinese"; empty for a value outside the enumeration.
QString ResourceTypeName(TResourceType type);
