#include "finder/FinderColumnsModel.h"

#include "foundation/PagedQueryModel.h"

TFinderColumnsModel::TFinderColumnsModel(PagedQueryModel* source, QList<FinderColumn> columns, QObject* parent)
    : QIdentityProxyModel(parent), m_source(source), m_columns(std::move(columns))
{
    setSourceModel(source);
}

int TFinderColumnsModel::columnOf(const QString& field) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int TFinderColumnsModel::sourceColumn(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return -1;
    // Every new query of the source may bring its fields in another order.
    if (m_sourceColumns.isEmpty() || m_mappedGeneration != m_source->generation()) {
        m_sourceColumns.clear();
        for (const FinderColumn& shown : m_columns)
            m_sourceColumns.append(m_source->fieldIndex(shown.field));
        m_mappedGeneration = m_source->generation();
    }
    return m_sourceColumns[column];
}

int TFinderColumnsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QModelIndex TFinderColumnsModel::index(int row, int column, const QModelIndex& parent) const
{
    return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
}

QModelIndex TFinderColumnsModel::sibling(int row, int column, const QModelIndex& index) const
{
    return this->index(row, column, index.parent());
}

QModelIndex TFinderColumnsModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid() || proxyIndex.model() != this)
        return {};
    const int column = sourceColumn(proxyIndex.column());
    return column < 0 ? QModelIndex() : m_source->index(proxyIndex.row(), column);
}

QModelIndex TFinderColumnsModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid())
        return {};
    for (int column = 0; column < m_columns.size(); ++column) {
        if (sourceColumn(column) == sourceIndex.column())
            return createIndex(sourceIndex.row(), column);
    }
    return {};
}

QVariant TFinderColumnsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
            return m_columns[section].caption;
        return {};
    }
    return QIdentityProxyModel::headerData(section, orientation, role);
}

Qt::ItemFlags TFinderColumnsModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
