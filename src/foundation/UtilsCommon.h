#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

enum class ColumnType;

// Date-time values are written as ISO text, the date alone when the time is midnight, so
// that a date stored on the file database compares equal to a date literal.
QString DateTimeText(const QDateTime& value);
QString DateText(const QDate& value);
// Reads "yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss" (or with 'T'); invalid for anything else.
QDateTime ParseDateTimeText(const QString& text);

// The text form of a database value: empty for NULL, "1"/"0" for booleans, ISO dates,
// numbers without trailing zeros, and everything else as its own text.
QString ValueText(const QVariant& value);

// A value as grids show it: ValueText, with money always in two decimals ("90.20").
QString DisplayText(const QVariant& value, ColumnType type);

// True for a plain decimal number ("12", "-3.5"), the only text placed in SQL unquoted.
bool IsNumberText(const QString& text);
