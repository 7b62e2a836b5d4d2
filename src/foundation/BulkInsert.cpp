#include "foundation/BulkInsert.h"

#include "foundation/Database.h"
#include "foundation/Errors.h"

BulkInsert::BulkInsert(Database& database, const QString& table, const QStringList& columns, int batchRows)
    : m_database(database)
    , m_head(QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, columns.join(QStringLiteral(", "))))
    , m_columnCount(int(columns.size()))
    , m_batchRows(batchRows)
{
    m_pending.reserve(batchRows);
}

BulkInsert::~BulkInsert()
{
    if (std::uncaught_exceptions() == 0 && !m_pending.isEmpty()) {
        try {
            flush();
        } catch (...) {
        }
    }
}

void BulkInsert::add(const QVariantList& values)
{
    Q_ASSERT(values.size() == m_columnCount);
    QString row;
    row.reserve(16 * m_columnCount);
    row += '(';
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            row += QLatin1String(", ");
        row += m_database.dialect().literal(values[i]);
    }
    row += ')';
    m_pending.append(row);
    ++m_rowCount;
    if (m_pending.size() >= m_batchRows)
        flush();
}

void BulkInsert::flush()
{
    if (m_pending.isEmpty())
        return;
    const QString sql = m_head + m_pending.join(QStringLiteral(",\n"));
    m_pending.clear();
    m_database.exec(sql);
}
