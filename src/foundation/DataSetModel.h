#pragma once

#include <QAbstractTableModel>
#include <QPointer>

class DataSet;

// Shows a data set's visible rows and fields to a view, following its opens, posts,
// deletes and filters. Editing goes through the data set (edit/post), not the model,
// so that its record rules always run.
class DataSetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit DataSetModel(DataSet* dataSet = nullptr, QObject* parent = nullptr);
    void setDataSet(DataSet* dataSet);
    DataSet* dataSet() const { return m_dataSet; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QPointer<DataSet> m_dataSet;
    QList<QMetaObject::Connection> m_connections;
};
