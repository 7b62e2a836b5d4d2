#pragma once

#include <QList>
#include <QPair>
#include <QString>

// A "Key = Value; Key = Value" connection string. Keys ignore case; a value may be
// double-quoted (inner quotes doubled) when it holds ';' or surrounding blanks.
class ConnectionString
{
public:
    static ConnectionString parse(const QString& text);

    QString value(const QString& key) const;
    bool contains(const QString& key) const;
    void set(const QString& key, const QString& value);
    void remove(const QString& key);
    QString provider() const { return value(QStringLiteral("Provider")); }
    QString toString() const;

private:
    QList<QPair<QString, QString>> m_items;
};
