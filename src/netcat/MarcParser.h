#pragma once

#include "netcat/Marc.h"
#include "netcat/MarcResourceType.h"
#include "netcat/Price.h"
#include "netcat/Resource.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

// Missing values, empty texts, arrays and objects, and the number 0 count as empty; such
// values are never stored in a standard-number object.
bool IsEmptyJsonValue(const QJsonValue& value);

// A CNMARC record read into its parts. The JSON containers are Qt values, so a copy of a
// record is independent of the record it came from and nothing needs releasing by hand.
struct TMarcRecord
{
    TMarcRecord() = default;
    // Reads a record in the CNMARC format (a MARC 21 record reads as empty). Raises MarcError
    // for an unknown format, for standard-number fields 014, 018 and 073, for an unknown
    // 200 $b and for an unknown price currency, the last three unless IsIgnoreErrors.
    TMarcRecord(const TMarc& Marc, bool IsIgnoreErrors);

    static void ParsePriceDetail(const QString& AText, TAmount& APrice, QString& ACurrency,
                                 QString& ANotes, bool AIsIgnoreErrors)
    {
        ::ParsePriceDetail(AText, APrice, ACurrency, ANotes, AIsIgnoreErrors);
    }

    TMarcState State = msNormal;
    TResourceType ResourceType = rtUnknown;
    // Objects with "t" (1 ISBN, 2 ISSN, 3 ISRC, 4 CN number), "x" (canonical number), "a" (as
    // found), "b" (qualification), "d" (price amount), "c" (currency), "n" (price notes).
    QJsonArray StandardNumbers;
    QString TitleProper;
    QString TitleProperParallel;
    QString OtherTitle;
    QString OtherTitleParallel;
    QString PartName;
    QString PartNumber;
    QString Edition;
    // Objects with "a" (name), "b", "c", "f", "4" (relator term) and "t" (the tag).
    QJsonArray Responsibilities;
    QJsonArray Series;
    QJsonObject Publication; // "c" publishers, "a" places, "d" dates
    QJsonObject Physical;    // "a" extent, "d" dimensions, "e" accompanying material, "c" other details
    QJsonObject ClassNumber; // by classification: "g", "d", "h", "z" (Chinese Library Classification), "k", "q"
    QJsonObject Language;    // "a", "c", "e"
    QJsonArray Subjects;
    QString Summary;
    bool FIsIgnoreErrors = false;
};

TResource MarcRecordToResource(const TMarcRecord& record);
