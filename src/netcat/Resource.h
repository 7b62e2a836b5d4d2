#pragma once

#include "netcat/PriceAmount.h"

#include <QList>
#include <QString>

// One catalogue resource as every catalogue source delivers it; the book editor fills its
// columns from it.
struct TResource
{
    QString Title;
    QString Responsibility;
    QString Publisher;
    QString PublicationDate;
    QString URL; // the resource's identifier at the online service; empty for other sources
    QString PublicationPlace;
    QString StandardNumber;
    QString ResourceType; // a Chinese type name such as "图书", "期刊", "光盘"
    TAmount Price;
    QString Edition;
    QString Series;
    QString Physical;
    QString Accompanying;
    QString Language;
    QString ClassNumber;
    QString Subjects;
    QString Summary;

    friend bool operator==(const TResource&, const TResource&) = default;
};

using TResources = QList<TResource>;

enum TSearchField : int { sfStandardNumber = 0, sfTitle = 1 };
