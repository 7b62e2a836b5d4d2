#pragma once

#include "foundation/DataSet.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSet>
#include <memory>

class Database;

// A read-only list over any SELECT that never holds the whole result: rows are fetched
// in pages as a view asks for them (LIMIT/OFFSET, ORDER BY kept), the exact number of
// rows comes from COUNT(*), and only a bounded number of pages is kept. Every setQuery
// starts a new generation; results that belong to an older one are dropped.
//
// With a counting connection string the count runs on a worker thread over a connection
// of its own, so the first screen shows before a slow count finishes; until then the
// model grows page by page (canFetchMore/fetchMore).
class PagedQueryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit PagedQueryModel(QObject* parent = nullptr);
    ~PagedQueryModel() override;

    // Pages are read on this connection (the shared one when none is set).
    void setConnection(Database* database) { m_database = database; }
    // Empty: count on the calling thread inside setQuery.
    void setBackgroundCount(const QString& connectionString) { m_countConnection = connectionString; }
    void setPageSize(int rows) { m_pageSize = qMax(1, rows); }
    int pageSize() const { return m_pageSize; }
    void setMaxCachedPages(int pages) { m_maxPages = qMax(2, pages); }

    // Reads the first page at once (errors propagate) and starts the count.
    void setQuery(const QString& sql);
    const QString& query() const { return m_sql; }
    void clear();
    quint64 generation() const { return m_generation; }

    bool countKnown() const { return m_count >= 0; }
    qint64 exactCount() const { return m_count; }
    int cachedPageCount() const { return int(m_pages.size()); }

    const QList<DataFieldDef>& fields() const { return m_fields; }
    int fieldIndex(const QString& name) const;
    // The value of a cell, reading its page when it is not cached; NULL on a read error.
    QVariant value(qint64 row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;

signals:
    void countReady(qint64 count);
    // A page or the count could not be read (the view shows empty cells meanwhile).
    void readFailed(const QString& message);

private:
    struct Guard;
    using Page = QList<QVariantList>;

    Database& database() const;
    const Page* page(qint64 index) const;
    Page readPage(qint64 index) const;
    QString pageText(qint64 index) const;
    bool readsBackwards(qint64 index) const;
    static constexpr int FarPages = 10;
    void startCount();
    void applyCount(quint64 generation, qint64 count, const QString& error);

    Database* m_database = nullptr;
    QString m_countConnection;
    QString m_sql;
    QString m_pageSql;  // m_sql with an order that keeps pages apart
    QString m_orderKey;   // the key pages are ordered by, when they are read by key
    QString m_unordered;  // m_sql without its order
    int m_pageSize = 200;
    int m_maxPages = 64;
    quint64 m_generation = 0;
    qint64 m_count = -1;
    qint64 m_visibleRows = 0;
    bool m_endReached = false;
    QList<DataFieldDef> m_fields;
    mutable QHash<qint64, Page> m_pages;
    mutable QList<qint64> m_recent;  // least recently used first
    // Pages whose read failed are not read again for every painted cell, only after the
    // next open or refresh.
    mutable QSet<qint64> m_failedPages;
    std::shared_ptr<Guard> m_guard;
};
