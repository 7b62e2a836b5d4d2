#include "foundation/PagedQueryModel.h"

#include "foundation/DataModule.h"
#include "foundation/Database.h"
#include "foundation/Errors.h"
#include "foundation/SQLBuilder.h"
#include "foundation/UtilsCommon.h"
#include "foundation/UtilsDB.h"

#include <QRegularExpression>
#include <QSqlRecord>
#include <QThread>

// Lets a worker's result reach the model only while the model is alive; touched on the
// model's thread only.
namespace {

// How pages of a SELECT fit together: ordered by the key of its first named table, when
// the result has that key and the SELECT is unordered (a server may start a scan anywhere
// in a large table) or ordered by that key alone on the builder's ORDER BY line.
struct PageOrder
{
    QString key;        // empty: the SELECT's own order, pages by offset only
    QString unordered;  // the SELECT without its order
};

PageOrder pageOrderOf(const QString& sql)
{
    static const QRegularExpression grouped(QStringLiteral("\\b(GROUP BY|DISTINCT|UNION|ORDER BY)\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QString unordered = TSQLBuilder::OrderBy(sql, {});
    if (grouped.match(unordered).hasMatch())
        return {{}, sql};
    const Schema& schema = Schema::instance();
    const QString source = FirstSourceName(sql);
    const TableDef* table = schema.table(source);
    if (const ViewDef* view = schema.view(source))
        table = schema.table(view->baseTable.isEmpty() ? QStringLiteral("LoanList_tab") : view->baseTable);
    if (!table)
        return {{}, sql};
    const QString key = table->keyColumn();
    if (unordered != sql) {
        for (const QString& line : sql.split(TSQLBuilder::LineBreak)) {
            if (line.startsWith(TSQLBuilder::OrderByPrefix) &&
                line.mid(TSQLBuilder::OrderByPrefix.size()).trimmed().compare(key, Qt::CaseInsensitive) != 0)
                return {{}, sql};
        }
    }
    // Only when the result has the key: all columns, or the key named in the select list.
    const qsizetype from = sql.indexOf(QStringLiteral(" FROM "), 0, Qt::CaseInsensitive);
    const QString selectList = sql.left(from).mid(TSQLBuilder::SelectPrefix.size()).trimmed();
    const QRegularExpression keyWord(QStringLiteral("\\b%1\\b").arg(key), QRegularExpression::CaseInsensitiveOption);
    const bool allColumns = selectList == QLatin1String("*") || selectList.startsWith(QLatin1String("*,")) ||
                            selectList.contains(QLatin1String(".*"));
    if (!allColumns && !keyWord.match(selectList).hasMatch())
        return {{}, sql};
    return {key, unordered};
}

// Counting workers still running; the application waits for them when it ends, so that
// none outlives it. Touched on the main thread only.
QList<QThread*>& countWorkers()
{
    static QList<QThread*> workers;
    return workers;
}

void waitForCountWorkers()
{
    const QList<QThread*> workers = std::exchange(countWorkers(), {});
    for (QThread* worker : workers) {
        worker->wait();
        delete worker;
    }
}

void trackCountWorker(QThread* worker)
{
    static const bool registered = [] {
        qAddPostRoutine(waitForCountWorkers);
        return true;
    }();
    Q_UNUSED(registered);
    countWorkers().append(worker);
    QObject::connect(worker, &QThread::finished, QCoreApplication::instance(), [worker] {
        if (countWorkers().removeOne(worker))
            worker->deleteLater();
    });
}

} // namespace

struct PagedQueryModel::Guard
{
    PagedQueryModel* model;
};

PagedQueryModel::PagedQueryModel(QObject* parent)
    : QAbstractTableModel(parent), m_guard(std::make_shared<Guard>(Guard{this}))
{
}

PagedQueryModel::~PagedQueryModel()
{
    m_guard->model = nullptr;
}

Database& PagedQueryModel::database() const
{
    if (m_database)
        return *m_database;
    return SharedConnection();
}

void PagedQueryModel::clear()
{
    beginResetModel();
    ++m_generation;
    m_sql.clear();
    m_pageSql.clear();
    m_unordered.clear();
    m_orderKey.clear();
    m_fields.clear();
    m_pages.clear();
    m_recent.clear();
    m_failedPages.clear();
    m_count = -1;
    m_visibleRows = 0;
    m_endReached = false;
    endResetModel();
}

void PagedQueryModel::setQuery(const QString& sql)
{
    clear();
    Database& db = database();
    const PageOrder order = pageOrderOf(sql);
    const QString pageSql =
        order.key.isEmpty() ? sql : order.unordered + TSQLBuilder::LineBreak + TSQLBuilder::OrderByPrefix + order.key;
    m_orderKey = order.key;
    m_unordered = order.unordered;
    QSqlQuery first = ExecQuery(db, db.dialect().pageSql(pageSql, 0, m_pageSize));
    beginResetModel();
    m_sql = sql;
    m_pageSql = pageSql;
    m_fields = DescribeFields(sql, QString(), first.record());
    Page rows;
    while (first.next()) {
        QVariantList values;
        values.reserve(m_fields.size());
        for (int i = 0; i < m_fields.size(); ++i)
            values.append(NormaliseValue(m_fields[i].type, first.value(i)));
        rows.append(values);
    }
    m_visibleRows = rows.size();
    m_endReached = rows.size() < m_pageSize;
    m_pages.insert(0, rows);
    m_recent.append(0);
    if (m_endReached)
        m_count = m_visibleRows;
    endResetModel();
    if (m_endReached)
        emit countReady(m_count);
    else
        startCount();
}

void PagedQueryModel::startCount()
{
    const quint64 generation = m_generation;
    // The order of the rows does not change their number.
    const QString countSql = database().dialect().countSql(TSQLBuilder::OrderBy(m_sql, {}));
    if (m_countConnection.isEmpty()) {
        try {
            applyCount(generation, database().scalar(countSql).toLongLong(), {});
        } catch (const AppError& error) {
            applyCount(generation, -1, error.message());
        }
        return;
    }
    const std::weak_ptr<Guard> guard = m_guard;
    const QString connection = m_countConnection;
    QThread* worker = QThread::create([guard, connection, countSql, generation] {
        qint64 count = -1;
        QString error;
        try {
            auto db = Database::open(connection);
            count = db->scalar(countSql).toLongLong();
        } catch (const AppError& e) {
            error = e.message();
        }
        QMetaObject::invokeMethod(QCoreApplication::instance(), [guard, generation, count, error] {
            if (auto alive = guard.lock(); alive && alive->model)
                alive->model->applyCount(generation, count, error);
        }, Qt::QueuedConnection);
    });
    trackCountWorker(worker);
    worker->start();
}

void PagedQueryModel::applyCount(quint64 generation, qint64 count, const QString& error)
{
    if (generation != m_generation)
        return;  // the answer to a query that has since been replaced
    if (!error.isEmpty()) {
        emit readFailed(error);
        return;
    }
    m_count = count;
    if (m_count > m_visibleRows) {
        beginInsertRows({}, int(m_visibleRows), int(qMin<qint64>(m_count, INT_MAX) - 1));
        m_visibleRows = qMin<qint64>(m_count, INT_MAX);
        endInsertRows();
    } else if (m_count < m_visibleRows) {
        beginRemoveRows({}, int(m_count), int(m_visibleRows - 1));
        m_visibleRows = m_count;
        endRemoveRows();
    }
    m_endReached = true;
    emit countReady(m_count);
}

PagedQueryModel::Page PagedQueryModel::readPage(qint64 index) const
{
    Database& db = database();
    QSqlQuery query = ExecQuery(db, pageText(index));
    Page rows;
    rows.reserve(m_pageSize);
    while (query.next()) {
        QVariantList values;
        values.reserve(m_fields.size());
        for (int i = 0; i < m_fields.size(); ++i)
            values.append(NormaliseValue(m_fields[i].type, query.value(i)));
        rows.append(values);
    }
    if (readsBackwards(index))
        std::reverse(rows.begin(), rows.end());
    return rows;
}

bool PagedQueryModel::readsBackwards(qint64 index) const
{
    return !m_orderKey.isEmpty() && countKnown() && index * m_pageSize > m_count / 2;
}

// A page of a result ordered by its key is reached from the nearer end, and a far one
// by first finding its first key: skipping keys alone is much cheaper than skipping rows.
QString PagedQueryModel::pageText(qint64 index) const
{
    const Dialect& dialect = database().dialect();
    const qint64 offset = index * m_pageSize;
    if (m_orderKey.isEmpty() || !countKnown())
        return dialect.pageSql(m_pageSql, offset, m_pageSize);
    const bool backwards = readsBackwards(index);
    const qint64 end = qMin(offset + m_pageSize, m_count);
    const qint64 skip = backwards ? m_count - end : offset;
    const int take = int(backwards ? end - offset : m_pageSize);
    const QString order = m_orderKey + (backwards ? QStringLiteral(" DESC") : QString());
    if (skip <= qint64(FarPages) * m_pageSize)
        return dialect.pageSql(m_unordered + TSQLBuilder::LineBreak + TSQLBuilder::OrderByPrefix + order, skip, take);
    const QString firstKey = dialect.pageSql(
        QStringLiteral("SELECT %1 FROM (%2) AS PagedKeys ORDER BY %3").arg(m_orderKey, m_unordered, order), skip, 1);
    return dialect.pageSql(QStringLiteral("SELECT * FROM (%1) AS PagedRows WHERE %2 %3 (%4) ORDER BY %5")
                               .arg(m_unordered, m_orderKey, backwards ? QStringLiteral("<=") : QStringLiteral(">="),
                                    firstKey, order),
                           0, take);
}

const PagedQueryModel::Page* PagedQueryModel::page(qint64 index) const
{
    auto found = m_pages.constFind(index);
    if (found != m_pages.constEnd()) {
        m_recent.removeOne(index);
        m_recent.append(index);
        return &found.value();
    }
    if (m_failedPages.contains(index))
        return nullptr;
    Page rows;
    try {
        rows = readPage(index);
    } catch (const AppError& error) {
        m_failedPages.insert(index);
        // Views ask for cells while painting: report, do not throw through the event loop.
        QMetaObject::invokeMethod(const_cast<PagedQueryModel*>(this),
                                  [this, message = error.message()] { emit const_cast<PagedQueryModel*>(this)->readFailed(message); },
                                  Qt::QueuedConnection);
        return nullptr;
    }
    while (m_recent.size() >= m_maxPages)
        m_pages.remove(m_recent.takeFirst());
    m_recent.append(index);
    return &m_pages.insert(index, rows).value();
}

QVariant PagedQueryModel::value(qint64 row, int column) const
{
    if (row < 0 || row >= m_visibleRows || column < 0 || column >= m_fields.size())
        return {};
    const Page* rows = page(row / m_pageSize);
    if (!rows)
        return {};
    const qint64 offset = row % m_pageSize;
    return offset < rows->size() ? rows->at(offset).value(column) : QVariant();
}

int PagedQueryModel::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int PagedQueryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_visibleRows);
}

int PagedQueryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant PagedQueryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return DisplayText(value(index.row(), index.column()), m_fields[index.column()].type);
    if (role == Qt::EditRole)
        return value(index.row(), index.column());
    return {};
}

QVariant PagedQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < m_fields.size() ? QVariant(m_fields[section].label) : QVariant();
}

bool PagedQueryModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !m_sql.isEmpty() && !m_endReached;
}

void PagedQueryModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    const qint64 next = m_visibleRows / m_pageSize;
    const Page* rows = page(next);
    if (!rows)
        return;
    if (rows->size() < m_pageSize)
        m_endReached = true;
    if (rows->isEmpty())
        return;
    beginInsertRows({}, int(m_visibleRows), int(m_visibleRows + rows->size() - 1));
    m_visibleRows += rows->size();
    endInsertRows();
}
