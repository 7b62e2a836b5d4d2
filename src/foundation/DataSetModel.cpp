#include "foundation/DataSetModel.h"

#include "foundation/DataSet.h"
#include "foundation/UtilsCommon.h"

DataSetModel::DataSetModel(DataSet* dataSet, QObject* parent) : QAbstractTableModel(parent)
{
    setDataSet(dataSet);
}

void DataSetModel::setDataSet(DataSet* dataSet)
{
    beginResetModel();
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_dataSet = dataSet;
    if (dataSet) {
        const auto reset = [this] {
            beginResetModel();
            endResetModel();
        };
        m_connections = {
            connect(dataSet, &DataSet::rowsReset, this, reset),
            connect(dataSet, &DataSet::opened, this, reset),
            connect(dataSet, &DataSet::rowInserted, this, reset),
            connect(dataSet, &DataSet::rowRemoved, this, reset),
            connect(dataSet, &DataSet::rowChanged, this,
                    [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); }),
        };
    }
    endResetModel();
}

int DataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_dataSet || !m_dataSet->isActive() ? 0 : m_dataSet->recordCount();
}

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_dataSet || !m_dataSet->isActive() ? 0 : m_dataSet->fieldCount();
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_dataSet)
        return {};
    if (role == Qt::DisplayRole)
        return DisplayText(m_dataSet->value(index.row(), index.column()), m_dataSet->fieldDefs()[index.column()].type);
    if (role == Qt::EditRole)
        return m_dataSet->value(index.row(), index.column());
    return {};
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !m_dataSet)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < m_dataSet->fieldCount() ? QVariant(m_dataSet->fieldDefs()[section].label) : QVariant();
}
