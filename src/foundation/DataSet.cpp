#include "foundation/DataSet.h"

#include "foundation/DataModule.h"
#include "foundation/Database.h"
#include "foundation/Errors.h"
#include "foundation/UtilsCommon.h"
#include "foundation/UtilsDB.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlField>
#include <QSqlRecord>

namespace {

// The first FROM of the statement when a plain name follows it ("FROM (" gives none).
QString sourceOf(const QString& sql)
{
    static const QRegularExpression from(QStringLiteral("\\bFROM\\s+"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*"));
    const QRegularExpressionMatch match = from.match(sql);
    if (!match.hasMatch())
        return {};
    return name.match(sql.mid(match.capturedEnd())).captured(0);
}

// A column of a table or view of the schema.
} // namespace

// The first table or view named after any FROM, for labels of a select over a sub-select.
QString FirstSourceName(const QString& sql)
{
    static const QRegularExpression from(QStringLiteral("\\bFROM[\\s(]+([A-Za-z_][A-Za-z0-9_]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    for (auto it = from.globalMatch(sql); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (name.compare(QLatin1String("SELECT"), Qt::CaseInsensitive) != 0)
            return name;
    }
    return {};
}

namespace {

const ColumnDef* schemaColumn(const QString& tableOrView, const QString& column)
{
    const Schema& schema = Schema::instance();
    if (const TableDef* table = schema.table(tableOrView))
        return table->column(column);
    if (const ViewDef* view = schema.view(tableOrView)) {
        for (const ColumnDef& c : view->extraColumns) {
            if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                return &c;
        }
        if (!view->baseTable.isEmpty())
            return schemaColumn(view->baseTable, column);
        if (view->name == QLatin1String("LoanList_view")) {
            for (const char* table : {"LoanList_tab", "Books_tab", "Copies_tab", "Readers_tab", "ReaderCate_tab"}) {
                if (const ColumnDef* c = schemaColumn(QString::fromLatin1(table), column))
                    return c;
            }
        }
    }
    return nullptr;
}

const ColumnDef* anySchemaColumn(const QString& column)
{
    for (const TableDef& table : Schema::instance().tables()) {
        if (const ColumnDef* c = table.column(column))
            return c;
    }
    for (const ViewDef& view : Schema::instance().views()) {
        for (const ColumnDef& c : view.extraColumns) {
            if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                return &c;
        }
    }
    return nullptr;
}

ColumnType typeOfValue(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return ColumnType::Int;
    case QMetaType::Double:
    case QMetaType::Float: return ColumnType::Money;
    case QMetaType::QDate:
    case QMetaType::QDateTime: return ColumnType::DateTime;
    case QMetaType::QByteArray: return ColumnType::Blob;
    default: return ColumnType::Text;
    }
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    if (a.typeId() == QMetaType::QByteArray || b.typeId() == QMetaType::QByteArray)
        return a.toByteArray() == b.toByteArray();
    return ValueText(a) == ValueText(b);
}

const QString NotFoundForUpdate = QStringLiteral("找不到要保存的记录，它可能已被其他用户删除。");

} // namespace

QString FieldLiteral(const Dialect& dialect, ColumnType type, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    switch (type) {
    case ColumnType::DateTime: {
        QDateTime dateTime = value.toDateTime();
        if (value.typeId() == QMetaType::QString)
            dateTime = ParseDateTimeText(value.toString());
        else if (value.typeId() == QMetaType::QDate)
            dateTime = QDateTime(value.toDate(), QTime(0, 0));
        return dateTime.isValid() ? Dialect::quote(DateTimeText(dateTime)) : Dialect::quote(value.toString());
    }
    case ColumnType::Identity:
    case ColumnType::Int:
    case ColumnType::SmallInt:
    case ColumnType::Bool: {
        if (value.typeId() == QMetaType::Bool)
            return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        const QString text = ValueText(value).trimmed();
        return IsNumberText(text) ? text : Dialect::quote(text);
    }
    case ColumnType::Money: {
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed();
            return IsNumberText(text) ? text : Dialect::quote(text);
        }
        return QString::number(value.toDouble(), 'f', 4);
    }
    case ColumnType::Blob: return dialect.blobLiteral(value.toByteArray());
    case ColumnType::Text:
    case ColumnType::Memo: break;
    }
    return Dialect::quote(ValueText(value));
}

// ---- DataField ----

const DataFieldDef& DataField::def() const
{
    if (!isValid())
        throw AppError(QStringLiteral("字段不存在。"));
    return m_dataSet->m_fields[m_index];
}

QVariant DataField::value() const
{
    if (!isValid())
        return {};
    const QVariantList& values = m_dataSet->currentValues();
    return m_index < values.size() ? values[m_index] : QVariant();
}

QVariant DataField::oldValue() const
{
    if (!isValid() || m_dataSet->m_state == DataSetState::Insert)
        return {};
    const DataSet::Row* row = m_dataSet->currentRow();
    return row ? row->values.value(m_index) : QVariant();
}

void DataField::setValue(const QVariant& value)
{
    def();
    if (!m_dataSet->isEditing())
        throw AppError(QStringLiteral("数据集不在编辑状态。"));
    m_dataSet->m_buffer[m_index] = m_dataSet->normalised(m_index, value);
}

bool DataField::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QString DataField::asString() const
{
    return ValueText(value());
}

// ---- DataSet ----

DataSet::DataSet(const QString& name, ConnectionProvider connection, QObject* parent)
    : QObject(parent), m_connection(std::move(connection))
{
    setObjectName(name);
}

DataSet::~DataSet() = default;

Database& DataSet::connection() const
{
    if (m_connection)
        return m_connection();
    return SharedConnection();
}

void DataSet::setSQL(const QString& sql)
{
    if (isActive() && sql != m_sql)
        close();
    m_sql = sql;
}

QString DataSet::updateTable() const
{
    if (!m_updateTable.isEmpty())
        return m_updateTable;
    const QString source = sourceOf(m_sql);
    const Schema& schema = Schema::instance();
    if (const TableDef* table = schema.table(source))
        return table->name;
    if (const ViewDef* view = schema.view(source))
        return view->baseTable;
    return {};
}

const TableDef* DataSet::baseTable() const
{
    return Schema::instance().table(updateTable());
}

void DataSet::open()
{
    if (isActive())
        return;
    QSqlQuery query = ExecQuery(connection(), m_sql);
    m_fields = DescribeFields(m_sql, updateTable(), query.record());

    m_rows.clear();
    m_deleted.clear();
    const int count = int(m_fields.size());
    while (query.next()) {
        Row row;
        row.values.reserve(count);
        for (int i = 0; i < count; ++i)
            row.values.append(normalised(i, query.value(i)));
        row.id = m_nextId++;
        m_rows.append(std::move(row));
    }
    m_state = DataSetState::Browse;
    rebuildView();
    emit opened();
    emit stateChanged(m_state);
}

void DataSet::close()
{
    if (!isActive())
        return;
    m_rows.clear();
    m_deleted.clear();
    m_view.clear();
    m_buffer.clear();
    m_current = -1;
    m_eof = m_bof = true;
    m_state = DataSetState::Inactive;
    emit rowsReset();
    emit closed();
    emit stateChanged(m_state);
}

void DataSet::refresh()
{
    const QString key = keyFieldName();
    const QVariant keyValue = key.isEmpty() || isEmpty() ? QVariant() : value(key);
    const int row = m_current;
    close();
    open();
    if (!keyValue.isNull() && locate(key, keyValue))
        return;
    moveTo(qMin(row, recordCount() - 1));
}

QList<DataFieldDef> DescribeFields(const QString& sql, const QString& updateTable, const QSqlRecord& record)
{
    QString source = sourceOf(sql);
    if (source.isEmpty())
        source = FirstSourceName(sql);
    const TableDef* base = Schema::instance().table(updateTable);
    QList<QPair<QString, int>> columns;
    for (int i = 0; i < record.count(); ++i)
        columns.append({record.fieldName(i), record.field(i).metaType().id()});
    QList<DataFieldDef> fields;
    QSet<QString> used;
    for (const auto& [resultName, metaType] : columns) {
        const ColumnDef* column = nullptr;
        const qsizetype dot = resultName.indexOf('.');
        if (dot > 0)
            column = schemaColumn(resultName.left(dot), resultName.mid(dot + 1));
        if (!column && !source.isEmpty())
            column = schemaColumn(source, resultName);
        if (!column && dot < 0)
            column = anySchemaColumn(resultName);

        DataFieldDef field;
        field.name = (column && dot < 0) ? column->name : resultName;
        if (dot > 0 && column)
            field.name = Schema::instance().table(resultName.left(dot))
                             ? Schema::instance().table(resultName.left(dot))->name + '.' + column->name
                             : resultName;
        // Both tables of a join can have a column of the same name: the later one is renamed.
        if (used.contains(field.name.toLower())) {
            int n = 1;
            while (used.contains(QStringLiteral("%1_%2").arg(field.name).arg(n).toLower()))
                ++n;
            field.name = QStringLiteral("%1_%2").arg(field.name).arg(n);
            column = column && dot < 0 ? column : nullptr;
            field.posted = false;
        } else {
            field.posted = base && dot < 0 && base->column(field.name) != nullptr;
        }
        used.insert(field.name.toLower());

        field.type = column ? column->type : typeOfValue(QMetaType(metaType));
        if (column && column->type == ColumnType::Identity)
            field.type = ColumnType::Identity;
        field.label = column && !column->label.isEmpty() ? column->label : QString();
        field.visible = !column || !column->label.isEmpty();
        if (field.label.isEmpty())
            field.label = field.name;
        field.readOnly = !field.posted || field.type == ColumnType::Identity;
        fields.append(field);
    }
    return fields;
}

QVariant NormaliseValue(ColumnType type, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    // A blank entry in a number or date field means no value, as an empty edit box does.
    const bool typed = type != ColumnType::Text && type != ColumnType::Memo && type != ColumnType::Blob;
    if (typed && value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty())
        return QVariant();
    switch (type) {
    case ColumnType::DateTime:
        if (value.typeId() == QMetaType::QDateTime) {
            const QDateTime dt = value.toDateTime();
            return QDateTime(dt.date(), QTime(dt.time().hour(), dt.time().minute(), dt.time().second()));
        }
        if (value.typeId() == QMetaType::QDate)
            return QDateTime(value.toDate(), QTime(0, 0));
        if (value.typeId() == QMetaType::QString) {
            const QDateTime parsed = ParseDateTimeText(value.toString());
            return parsed.isValid() ? QVariant(parsed) : value;
        }
        return value;
    case ColumnType::Identity:
    case ColumnType::Int:
    case ColumnType::SmallInt:
    case ColumnType::Bool: {
        if (value.typeId() == QMetaType::Bool)
            return value.toBool() ? 1 : 0;
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        if (!ok)
            return value;
        if (number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max())
            return int(number);
        return number;
    }
    case ColumnType::Money: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        return ok ? QVariant(number) : value;
    }
    case ColumnType::Text:
    case ColumnType::Memo:
        return value.typeId() == QMetaType::QString ? value : QVariant(ValueText(value));
    case ColumnType::Blob: return value.toByteArray();
    }
    return value;
}

int DataSet::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

DataField DataSet::fieldByName(const QString& name)
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw AppError(QStringLiteral("%1: 找不到字段 %2。").arg(objectName(), name));
    return DataField(this, index);
}

QVariant DataSet::value(const QString& fieldName) const
{
    const int index = fieldIndex(fieldName);
    if (index < 0)
        throw AppError(QStringLiteral("%1: 找不到字段 %2。").arg(objectName(), fieldName));
    return currentValues().value(index);
}

QVariant DataSet::value(int row, int column) const
{
    if (row < 0 || row >= m_view.size())
        return {};
    if (row == m_current && isEditing() && m_state == DataSetState::Edit)
        return m_buffer.value(column);
    return m_rows[m_view[row]].values.value(column);
}

QVariant DataSet::valueIn(const QVariantList& values, const QString& fieldName) const
{
    return values.value(fieldIndex(fieldName));
}

QString DataSet::keyFieldName() const
{
    const int key = keyField();
    return key < 0 ? QString() : m_fields[key].name;
}

int DataSet::keyField() const
{
    const TableDef* base = baseTable();
    if (!base)
        return -1;
    const QString key = base->keyColumn();
    if (key.isEmpty())
        return -1;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].posted && m_fields[i].name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const QVariantList& DataSet::currentValues() const
{
    static const QVariantList none;
    if (isEditing())
        return m_buffer;
    const Row* row = currentRow();
    return row ? row->values : none;
}

DataSet::Row* DataSet::currentRow()
{
    return m_current >= 0 && m_current < m_view.size() ? &m_rows[m_view[m_current]] : nullptr;
}

const DataSet::Row* DataSet::currentRow() const
{
    return m_current >= 0 && m_current < m_view.size() ? &m_rows[m_view[m_current]] : nullptr;
}

void DataSet::requireActive() const
{
    if (!isActive())
        throw AppError(QStringLiteral("%1: 数据集未打开。").arg(objectName()));
}

void DataSet::requireBrowse(const char* operation) const
{
    requireActive();
    if (isEditing())
        throw AppError(QStringLiteral("%1: 请先保存或取消正在编辑的记录（%2）。").arg(objectName(), QLatin1String(operation)));
}

void DataSet::setState(DataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void DataSet::setCurrent(int row)
{
    m_current = m_view.isEmpty() ? -1 : qBound(0, row, int(m_view.size()) - 1);
    emit currentChanged(m_current);
}

void DataSet::rebuildView()
{
    m_view.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        if (passesFilter(m_rows[i]))
            m_view.append(i);
    }
    emit rowsReset();
    m_bof = true;
    m_eof = m_view.isEmpty();
    setCurrent(0);
}

void DataSet::first()
{
    requireBrowse("First");
    setCurrent(0);
    m_bof = true;
    m_eof = m_view.isEmpty();
}

void DataSet::last()
{
    requireBrowse("Last");
    setCurrent(int(m_view.size()) - 1);
    m_eof = true;
    m_bof = m_view.isEmpty();
}

void DataSet::next()
{
    requireBrowse("Next");
    m_bof = false;
    if (m_current + 1 >= m_view.size()) {
        m_eof = true;
        return;
    }
    m_eof = false;
    setCurrent(m_current + 1);
}

void DataSet::prior()
{
    requireBrowse("Prior");
    m_eof = false;
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    m_bof = false;
    setCurrent(m_current - 1);
}

bool DataSet::moveTo(int row)
{
    requireBrowse("MoveTo");
    if (row < 0 || row >= m_view.size())
        return false;
    m_bof = m_eof = false;
    setCurrent(row);
    return true;
}

void DataSet::requireWritable() const
{
    if (m_readOnly)
        throw AppError(QStringLiteral("%1: 数据集是只读的。").arg(objectName()));
}

void DataSet::startNewRecord(bool atCurrent)
{
    requireBrowse("Insert");
    requireWritable();
    m_buffer = QVariantList(m_fields.size());
    m_insertAt = atCurrent && m_current >= 0 ? m_view[m_current] : int(m_rows.size());
    setState(DataSetState::Insert);
    if (onNewRecord) {
        try {
            onNewRecord(*this);
        } catch (...) {
            cancel();
            throw;
        }
    }
}

void DataSet::append()
{
    startNewRecord(false);
}

void DataSet::insert()
{
    startNewRecord(true);
}

void DataSet::edit()
{
    if (isEditing())
        return;
    requireBrowse("Edit");
    requireWritable();
    const Row* row = currentRow();
    if (!row)
        throw AppError(QStringLiteral("%1: 没有可以编辑的记录。").arg(objectName()));
    m_buffer = row->values;
    setState(DataSetState::Edit);
}

void DataSet::cancel()
{
    if (!isEditing())
        return;
    m_buffer.clear();
    m_insertAt = -1;
    setState(DataSetState::Browse);
    emit currentChanged(m_current);
}

void DataSet::post()
{
    if (!isEditing())
        return;
    if (beforePost)
        beforePost(*this);

    if (m_state == DataSetState::Insert) {
        Row row;
        row.values = m_buffer;
        row.id = m_nextId++;
        if (m_cachedUpdates) {
            row.status = RowStatus::Inserted;
        } else {
            const QVariant key = insertRow(row.values);
            if (const int k = keyField(); k >= 0 && !key.isNull())
                row.values[k] = normalised(k, key);
            refreshRow(row);
        }
        const int at = qBound(0, m_insertAt, int(m_rows.size()));
        m_rows.insert(at, std::move(row));
        m_buffer.clear();
        m_insertAt = -1;
        m_state = DataSetState::Browse;
        // The new record stays current even when a filter would hide it.
        const Bookmark id = m_rows[at].id;
        m_view.clear();
        for (int i = 0; i < m_rows.size(); ++i) {
            if (m_rows[i].id == id || passesFilter(m_rows[i]))
                m_view.append(i);
        }
        const int visible = int(m_view.indexOf(at));
        m_current = visible;
        m_bof = m_eof = false;
        emit rowInserted(visible);
        emit currentChanged(visible);
    } else {
        Row& row = *currentRow();
        if (m_cachedUpdates) {
            if (row.status == RowStatus::Unchanged) {
                row.original = row.values;
                row.status = RowStatus::Modified;
            }
            row.values = m_buffer;
        } else {
            updateRow(m_buffer, row.values);
            row.values = m_buffer;
            refreshRow(row);
        }
        m_buffer.clear();
        m_state = DataSetState::Browse;
        emit rowChanged(m_current);
    }
    emit stateChanged(m_state);
    if (afterPost)
        afterPost(*this);
}

void DataSet::remove()
{
    requireBrowse("Delete");
    requireWritable();
    Row* row = currentRow();
    if (!row)
        throw AppError(QStringLiteral("%1: 没有可以删除的记录。").arg(objectName()));
    if (beforeDelete)
        beforeDelete(*this);
    if (m_cachedUpdates) {
        if (row->status != RowStatus::Inserted) {
            Row held = *row;
            if (held.status == RowStatus::Modified)
                held.values = held.original;
            m_deleted.append(held);
        }
    } else {
        deleteRow(row->values);
    }
    const int removed = m_current;
    m_rows.removeAt(m_view[removed]);
    m_view.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        if (passesFilter(m_rows[i]))
            m_view.append(i);
    }
    emit rowRemoved(removed);
    m_eof = m_view.isEmpty();
    setCurrent(qMin(removed, int(m_view.size()) - 1));
}

QString DataSet::literalOf(int field, const QVariant& value) const
{
    return FieldLiteral(connection().dialect(), m_fields[field].type, value);
}

QVariant DataSet::insertRow(const QVariantList& values)
{
    requireWritable();
    const TableDef* base = baseTable();
    if (!base)
        throw AppError(QStringLiteral("%1: 无法确定要保存到的数据表。").arg(objectName()));
    QStringList columns;
    QStringList literals;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (!m_fields[i].posted || values.value(i).isNull())
            continue;
        columns.append(m_fields[i].name);
        literals.append(literalOf(i, values[i]));
    }
    QString sql = columns.isEmpty()
                      ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(base->name)
                      : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(base->name, columns.join(QStringLiteral(", ")), literals.join(QStringLiteral(", ")));
    const QString key = base->keyColumn();
    if (key.isEmpty()) {
        ExecQuery(connection(), sql);
        return {};
    }
    QSqlQuery query = ExecQuery(connection(), sql + QStringLiteral(" RETURNING ") + key);
    return query.next() ? query.value(0) : QVariant();
}

void DataSet::updateRow(const QVariantList& values, const QVariantList& original)
{
    requireWritable();
    const TableDef* base = baseTable();
    const int key = keyField();
    if (!base || key < 0)
        throw AppError(QStringLiteral("%1: 无法确定要保存的记录。").arg(objectName()));
    QStringList assignments;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (!m_fields[i].posted || i == key || sameValue(values.value(i), original.value(i)))
            continue;
        assignments.append(m_fields[i].name + QStringLiteral(" = ") + literalOf(i, values[i]));
    }
    if (assignments.isEmpty())
        return;
    QSqlQuery query = ExecQuery(connection(), QStringLiteral("UPDATE %1 SET %2 WHERE %3 = %4")
                                                  .arg(base->name, assignments.join(QStringLiteral(", ")),
                                                       m_fields[key].name, literalOf(key, original[key])));
    if (query.numRowsAffected() == 0)
        throw DatabaseError(NotFoundForUpdate);
}

void DataSet::deleteRow(const QVariantList& values)
{
    requireWritable();
    const TableDef* base = baseTable();
    const int key = keyField();
    if (!base || key < 0)
        throw AppError(QStringLiteral("%1: 无法确定要删除的记录。").arg(objectName()));
    ExecQuery(connection(), QStringLiteral("DELETE FROM %1 WHERE %2 = %3")
                                .arg(base->name, m_fields[key].name, literalOf(key, values[key])));
}

// Re-reads a posted record from the table or view the SQL selects from, so that defaults
// and computed columns (RemainCount, ReaderCateName) show what the database holds.
void DataSet::refreshRow(Row& row)
{
    const int key = keyField();
    const QString source = sourceOf(m_sql);
    if (key < 0 || source.isEmpty() || row.values.value(key).isNull())
        return;
    QSqlQuery query = ExecQuery(connection(), QStringLiteral("SELECT * FROM %1 WHERE %2 = %3")
                                                  .arg(source, m_fields[key].name, literalOf(key, row.values[key])));
    if (!query.next())
        return;
    const QSqlRecord record = query.record();
    QSet<QString> seen;
    for (int i = 0; i < m_fields.size(); ++i) {
        const int column = record.indexOf(m_fields[i].name);
        if (column >= 0 && !seen.contains(m_fields[i].name.toLower())) {
            seen.insert(m_fields[i].name.toLower());
            row.values[i] = normalised(i, query.value(column));
        }
    }
}

bool DataSet::updatesPending() const
{
    if (!m_deleted.isEmpty())
        return true;
    for (const Row& row : m_rows) {
        if (row.status != RowStatus::Unchanged)
            return true;
    }
    return false;
}

void DataSet::applyUpdates(bool ownTransaction)
{
    requireBrowse("ApplyUpdates");
    Database& database = connection();
    std::optional<TransactionGuard> transaction;
    if (ownTransaction)
        transaction.emplace(database);
    for (const Row& row : std::as_const(m_deleted))
        deleteRow(row.values);
    QList<QPair<int, QVariant>> newKeys;
    for (int i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        if (row.status == RowStatus::Modified)
            updateRow(row.values, row.original);
        else if (row.status == RowStatus::Inserted)
            newKeys.append({i, insertRow(row.values)});
    }
    if (transaction)
        transaction->commit();

    // Only now, with everything written, do the held changes count as applied.
    const int key = keyField();
    for (const auto& [index, keyValue] : newKeys) {
        if (key >= 0 && !keyValue.isNull())
            m_rows[index].values[key] = normalised(key, keyValue);
    }
    for (Row& row : m_rows) {
        row.status = RowStatus::Unchanged;
        row.original.clear();
    }
    m_deleted.clear();
    emit rowsReset();
}

void DataSet::cancelUpdates()
{
    if (isEditing())
        cancel();
    QList<Row> kept;
    for (Row& row : m_rows) {
        if (row.status == RowStatus::Inserted)
            continue;
        if (row.status == RowStatus::Modified)
            row.values = row.original;
        row.status = RowStatus::Unchanged;
        row.original.clear();
        kept.append(row);
    }
    for (const Row& row : std::as_const(m_deleted))
        kept.append(row);
    std::sort(kept.begin(), kept.end(), [](const Row& a, const Row& b) { return a.id < b.id; });
    m_rows = kept;
    m_deleted.clear();
    rebuildView();
}

bool DataSet::locate(const QString& fieldName, const QVariant& value, int options)
{
    requireBrowse("Locate");
    const int index = fieldIndex(fieldName);
    if (index < 0)
        throw AppError(QStringLiteral("%1: 找不到字段 %2。").arg(objectName(), fieldName));
    const QString wanted = ValueText(normalised(index, value));
    const Qt::CaseSensitivity cs = (options & CaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int row = 0; row < m_view.size(); ++row) {
        const QVariant candidate = m_rows[m_view[row]].values.value(index);
        if (value.isNull() ? candidate.isNull() : false) {
            moveTo(row);
            return true;
        }
        if (candidate.isNull() || value.isNull())
            continue;
        const QString text = ValueText(candidate);
        const bool match = (options & PartialKey) ? text.startsWith(wanted, cs) : text.compare(wanted, cs) == 0;
        if (match) {
            moveTo(row);
            return true;
        }
    }
    return false;
}

DataSet::Bookmark DataSet::bookmark() const
{
    const Row* row = currentRow();
    return row ? row->id : 0;
}

bool DataSet::bookmarkValid(Bookmark bookmark) const
{
    for (int index : m_view) {
        if (m_rows[index].id == bookmark)
            return true;
    }
    return false;
}

bool DataSet::gotoBookmark(Bookmark bookmark)
{
    for (int row = 0; row < m_view.size(); ++row) {
        if (m_rows[m_view[row]].id == bookmark)
            return moveTo(row);
    }
    return false;
}

QVariant DataSet::normalised(int index, const QVariant& value) const
{
    return NormaliseValue(m_fields[index].type, value);
}

bool DataSet::passesFilter(const Row& row) const
{
    if (m_bookmarkFilter && !m_bookmarkFilter->contains(row.id))
        return false;
    return !m_filter || m_filter(*this, row.values);
}

void DataSet::setFilter(RecordFilter filter)
{
    if (isEditing())
        cancel();
    m_filter = std::move(filter);
    rebuildView();
}

void DataSet::setFilterBookmarks(const QList<Bookmark>& bookmarks)
{
    if (isEditing())
        cancel();
    m_bookmarkFilter = QSet<Bookmark>(bookmarks.begin(), bookmarks.end());
    rebuildView();
}

void DataSet::clearFilter()
{
    if (!isFiltered())
        return;
    if (isEditing())
        cancel();
    m_filter = {};
    m_bookmarkFilter.reset();
    rebuildView();
}
