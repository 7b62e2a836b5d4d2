#pragma once

#include "foundation/Schema.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class Database;
class QSqlRecord;
class DataSet;

enum class DataSetState { Inactive, Browse, Edit, Insert };

struct DataFieldDef
{
    QString name;         // as the schema spells it, whatever case the engine returned
    QString label;        // display label; the name when the schema has none
    ColumnType type = ColumnType::Text;
    bool visible = true;
    bool readOnly = false;
    bool posted = false;  // a column of the table the data set posts to
};

// A handle on one field of a data set's current record (the edit buffer while editing).
class DataField
{
public:
    DataField() = default;
    DataField(DataSet* dataSet, int index) : m_dataSet(dataSet), m_index(index) {}

    bool isValid() const { return m_dataSet != nullptr && m_index >= 0; }
    int index() const { return m_index; }
    DataSet* dataSet() const { return m_dataSet; }
    const DataFieldDef& def() const;
    const QString& name() const { return def().name; }
    const QString& displayLabel() const { return def().label; }
    ColumnType type() const { return def().type; }

    QVariant value() const;
    // The value as fetched (before the current edit); NULL for a record being inserted.
    QVariant oldValue() const;
    void setValue(const QVariant& value);
    void clear() { setValue(QVariant()); }

    bool isNull() const;
    QString asString() const;
    int asInteger() const { return value().toInt(); }
    double asFloat() const { return value().toDouble(); }
    bool asBoolean() const { return value().toInt() != 0 || value().toBool(); }
    QDateTime asDateTime() const { return value().toDateTime(); }

private:
    DataSet* m_dataSet = nullptr;
    int m_index = -1;
};

// The program's dataset: SQL text, the fetched rows with a current row, field access by
// name ignoring case, and browse/edit/insert states with record-rule hooks. Posting writes
// the base table of the SQL (a row of Books_view posts to Books_tab, only its columns),
// keyed by the table's identity column. With cached updates, posts and deletes are held
// until applyUpdates() writes them in one transaction.
//
// Values are presented the same on both engines: date-times as QDateTime, booleans and
// integers as int, money as double, text as QString.
class DataSet : public QObject
{
    Q_OBJECT

public:
    using ConnectionProvider = std::function<Database&()>;
    using Hook = std::function<void(DataSet&)>;
    // Decides on a fetched row's values whether it is visible; see valueIn().
    using RecordFilter = std::function<bool(const DataSet&, const QVariantList& values)>;
    using Bookmark = quint64;  // 0 is no bookmark

    // Without a provider the data set works on the program's shared connection.
    explicit DataSet(const QString& name = {}, ConnectionProvider connection = {}, QObject* parent = nullptr);
    ~DataSet() override;

    QString name() const { return objectName(); }
    Database& connection() const;
    void setConnection(ConnectionProvider connection) { m_connection = std::move(connection); }

    // Changing the SQL of an open data set closes it.
    const QString& sql() const { return m_sql; }
    void setSQL(const QString& sql);
    // The table posts go to; derived from the SQL's first FROM unless set.
    QString updateTable() const;
    void setUpdateTable(const QString& table) { m_updateTable = table; }
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool cachedUpdates() const { return m_cachedUpdates; }
    void setCachedUpdates(bool cached) { m_cachedUpdates = cached; }

    // Throws DatabaseError; the data set stays closed then.
    void open();
    void close();
    bool isActive() const { return m_state != DataSetState::Inactive; }
    // Reopens and returns to the same record when it is still there.
    void refresh();

    DataSetState state() const { return m_state; }
    bool isEditing() const { return m_state == DataSetState::Edit || m_state == DataSetState::Insert; }

    // Rows that pass the filter, in fetched order.
    int recordCount() const { return int(m_view.size()); }
    bool isEmpty() const { return m_view.isEmpty(); }
    int recNo() const { return m_current; }  // 0-based; -1 when empty
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    void first();
    void last();
    void next();
    void prior();
    bool moveTo(int row);

    int fieldCount() const { return int(m_fields.size()); }
    const QList<DataFieldDef>& fieldDefs() const { return m_fields; }
    DataFieldDef& fieldDef(int index) { return m_fields[index]; }
    // The identity column of the update table when the data set has it as a field.
    QString keyFieldName() const;
    int fieldIndex(const QString& name) const;  // -1 when absent; ignores case
    DataField field(int index) { return DataField(this, index); }
    DataField findField(const QString& name) { return DataField(this, fieldIndex(name)); }
    // Throws AppError when the data set has no such field.
    DataField fieldByName(const QString& name);
    QVariant value(const QString& fieldName) const;
    // A visible row's value, for models and grids.
    QVariant value(int row, int column) const;

    void append();
    void insert();
    void edit();
    // Runs beforePost (a failing record rule throws SilentAbort and the record stays in
    // edit mode), then writes the record. Database errors propagate unchanged, also
    // leaving the record in edit mode.
    void post();
    void cancel();
    // Deletes the current record (held until applyUpdates with cached updates).
    void remove();

    // Held changes of a data set with cached updates.
    bool updatesPending() const;
    // Writes every held change in one transaction of its own; with `ownTransaction` false
    // the caller's transaction covers them. On error nothing is marked as applied.
    void applyUpdates(bool ownTransaction = true);
    void cancelUpdates();

    enum LocateOption { CaseInsensitive = 1, PartialKey = 2 };
    bool locate(const QString& fieldName, const QVariant& value, int options = 0);

    Bookmark bookmark() const;
    bool gotoBookmark(Bookmark bookmark);
    bool bookmarkValid(Bookmark bookmark) const;

    // Client-side filtering: only rows for which the handler returns true are visible.
    void setFilter(RecordFilter filter);
    QVariant valueIn(const QVariantList& values, const QString& fieldName) const;
    void setFilterBookmarks(const QList<Bookmark>& bookmarks);
    void clearFilter();
    bool isFiltered() const { return bool(m_filter) || m_bookmarkFilter.has_value(); }

    Hook onNewRecord;
    Hook beforePost;
    Hook afterPost;
    Hook beforeDelete;

signals:
    void opened();
    void closed();
    void rowsReset();                 // rows replaced (open, filter)
    void rowChanged(int row);
    void rowInserted(int row);
    void rowRemoved(int row);
    void currentChanged(int row);
    void stateChanged(DataSetState state);

private:
    friend class DataField;
    enum class RowStatus { Unchanged, Modified, Inserted };
    struct Row
    {
        QVariantList values;
        QVariantList original;
        Bookmark id = 0;
        RowStatus status = RowStatus::Unchanged;
    };

    void requireActive() const;
    void requireBrowse(const char* operation) const;
    void setState(DataSetState state);
    void setCurrent(int row);
    void rebuildView();
    bool passesFilter(const Row& row) const;
    QVariant normalised(int field, const QVariant& value) const;
    const QVariantList& currentValues() const;
    Row* currentRow();
    const Row* currentRow() const;
    int keyField() const;
    const TableDef* baseTable() const;
    void requireWritable() const;
    void startNewRecord(bool atCurrent);
    QString literalOf(int field, const QVariant& value) const;
    QVariant insertRow(const QVariantList& values);
    void updateRow(const QVariantList& values, const QVariantList& original);
    void deleteRow(const QVariantList& values);
    void refreshRow(Row& row);

    ConnectionProvider m_connection;
    QString m_sql;
    QString m_updateTable;
    bool m_readOnly = false;
    bool m_cachedUpdates = false;

    DataSetState m_state = DataSetState::Inactive;
    QList<DataFieldDef> m_fields;
    QList<Row> m_rows;
    QList<Row> m_deleted;       // held deletes
    QList<int> m_view;          // indexes into m_rows that pass the filter
    RecordFilter m_filter;
    std::optional<QSet<Bookmark>> m_bookmarkFilter;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    Bookmark m_nextId = 1;

    QVariantList m_buffer;      // the record being edited or inserted
    int m_insertAt = -1;        // position in m_rows for the record being inserted
};

// The fields of a result: names as the schema spells them (later duplicates renamed
// "<name>_1"), labels, types, and which columns post to `updateTable`.
QList<DataFieldDef> DescribeFields(const QString& sql, const QString& updateTable, const QSqlRecord& record);
// The first table or view a SELECT names after a FROM, looking into sub-selects.
QString FirstSourceName(const QString& sql);
// A fetched or assigned value in the one form both engines present it in.
QVariant NormaliseValue(ColumnType type, const QVariant& value);

// The text SQL of `value` as the literal for a column of `type` (the one quoting path).
QString FieldLiteral(const Dialect& dialect, ColumnType type, const QVariant& value);
