#pragma once

#include "foundation/Errors.h"

#include <QString>
#include <QStringList>

// A catalogue record as MARC field lines, one field a line: a three-digit tag, then
// indicators up to the first "|", then subfields "|<code><value>".

enum TMarcState : int { msNormal = 0, msIncomplete = 1 };

enum TMarcFormat : int { mfUnknown = 0, mfCNMarc = 1, mfMarc21 = 2 };

class TMarc : public QStringList
{
public:
    TMarcState State = msNormal;
    TMarcFormat Format = mfUnknown;

    bool IsEmpty() const { return isEmpty(); }
};

// Raised for catalogue data the parser does not know how to read.
class MarcError : public AppError
{
public:
    using AppError::AppError;
};

// Standard numbers: ISBN, ISSN, ISRC and the Chinese "CN" serial numbers.
bool IsDigitsOnly(QStringView text);
bool IsIsbn(QStringView text);
bool IsIssn(QStringView text);
QString ToIsbn13(const QString& text);
QString ToIssn8(const QString& text);
QString NormalizeStandardNumber(const QString& text);

// Turns no-break and ideographic spaces into plain ones and trims the text.
QString CleanSpaces(const QString& text);

// Removes leading and trailing characters at or below the space (control characters too).
QString TrimLowChars(QStringView text);
// Upper case for ASCII letters only; catalogue codes never depend on other scripts' case.
QString AsciiUpper(QString text);
