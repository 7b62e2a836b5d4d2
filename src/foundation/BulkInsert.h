#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

class Database;

// Inserts many rows as multi-row INSERT statements of `batchRows` rows each; values go
// through the dialect's literal quoting. Call flush() (or let the destructor do it only
// when nothing failed) before committing.
class BulkInsert
{
public:
    BulkInsert(Database& database, const QString& table, const QStringList& columns, int batchRows = 500);
    ~BulkInsert();

    void add(const QVariantList& values);
    void flush();
    qint64 rowCount() const { return m_rowCount; }

private:
    Database& m_database;
    QString m_head;
    int m_columnCount;
    int m_batchRows;
    QStringList m_pending;
    qint64 m_rowCount = 0;
};
