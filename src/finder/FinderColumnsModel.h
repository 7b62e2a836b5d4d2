#pragma once

#include "finder/FinderService.h"

#include <QIdentityProxyModel>

class PagedQueryModel;

// Shows chosen fields of a paged list in the kiosk's order and with its captions; the
// other fields stay loaded but hidden. Rows, paging and fetching are the source's.
class TFinderColumnsModel : public QIdentityProxyModel
{
    Q_OBJECT

public:
    TFinderColumnsModel(PagedQueryModel* source, QList<FinderColumn> columns, QObject* parent = nullptr);

    const QList<FinderColumn>& columns() const { return m_columns; }
    int columnOf(const QString& field) const;

    int columnCount(const QModelIndex& parent = {}) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& index) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int sourceColumn(int column) const;

    PagedQueryModel* m_source;
    QList<FinderColumn> m_columns;
    // Source column of each shown column, for the source's current query.
    mutable QList<int> m_sourceColumns;
    mutable quint64 m_mappedGeneration = 0;
};
