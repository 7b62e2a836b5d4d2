#include "foundation/UtilsCommon.h"

#include "foundation/Schema.h"

#include <QRegularExpression>

QString DateText(const QDate& value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd"));
}

QString DateTimeText(const QDateTime& value)
{
    if (!value.isValid())
        return {};
    if (value.time() == QTime(0, 0))
        return DateText(value.date());
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime ParseDateTimeText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.size() == 10) {
        const QDate date = QDate::fromString(trimmed, QStringLiteral("yyyy-MM-dd"));
        return date.isValid() ? QDateTime(date, QTime(0, 0)) : QDateTime();
    }
    QString normalised = trimmed.left(19);
    if (normalised.size() > 10 && normalised[10] == 'T')
        normalised[10] = ' ';
    return QDateTime::fromString(normalised, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString ValueText(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::QDateTime: return DateTimeText(value.toDateTime());
    case QMetaType::QDate: return DateText(value.toDate());
    case QMetaType::QTime: return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Double:
    case QMetaType::Float: return QString::number(value.toDouble(), 'g', 15);
    default: return value.toString();
    }
}

QString DisplayText(const QVariant& value, ColumnType type)
{
    if (type == ColumnType::Money && !value.isNull() && value.isValid())
        return QString::number(value.toDouble(), 'f', 2);
    return ValueText(value);
}

bool IsNumberText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    return number.match(text).hasMatch();
}
