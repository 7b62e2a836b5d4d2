#include "foundation/UtilsDB.h"

#include "foundation/DataModule.h"
#include "foundation/Database.h"
#include "foundation/Errors.h"
#include "foundation/Messages.h"
#include "foundation/Pictures.h"
#include "foundation/UserInfo.h"
#include "foundation/UtilsCommon.h"

#include <QSqlError>
#include <QSqlRecord>

namespace {

bool quotedType(ColumnType type)
{
    return type == ColumnType::Text || type == ColumnType::Memo || type == ColumnType::DateTime;
}

QString labelOf(const DataField& field, const QString& label)
{
    return label.isEmpty() ? field.displayLabel() : label;
}

[[noreturn]] void failRule(const DataField& field, const QString& message)
{
    ShowInfo(message);
    throw SilentAbort(field.name());
}

} // namespace

QSqlQuery ExecQuery(Database& database, const QString& sql)
{
    return database.exec(sql);
}

std::unique_ptr<DataSet> NewQuery()
{
    return std::make_unique<DataSet>(QStringLiteral("Query"));
}

void FreeQuery(std::unique_ptr<DataSet>& query)
{
    if (!query)
        return;
    query->close();
    query.reset();
}

void OpenSQL(DataSet& query, const QString& sql)
{
    query.close();
    query.setSQL(sql);
    query.clearFilter();
    query.open();
}

QString QueryScalar(Database& database, const QString& sql)
{
    QSqlQuery query = ExecQuery(database, sql);
    if (!query.next())
        return {};
    return ValueText(query.value(0));
}

QString QueryScalar(const QString& sql)
{
    return QueryScalar(SharedConnection(), sql);
}

void QueryList(Database& database, QStringList& list, const QString& sql, const QString& field)
{
    QSqlQuery query = ExecQuery(database, sql);
    int column = 0;
    if (!field.isEmpty()) {
        column = query.record().indexOf(field);  // ignores case
        if (column < 0)
            throw AppError(QStringLiteral("找不到字段 %1。").arg(field));
    }
    while (query.next())
        list.append(ValueText(query.value(column)));
}

void QueryList(QStringList& list, const QString& sql, const QString& field)
{
    QueryList(SharedConnection(), list, sql, field);
}

bool TableExists(const QString& name)
{
    return SharedConnection().tables().contains(name, Qt::CaseInsensitive);
}

bool RecordExists(const QString& value, const QString& field, const QString& table, const QString& condition,
                  bool quote)
{
    const QString literal = quote || !IsNumberText(value.trimmed()) ? Dialect::quote(value) : value.trimmed();
    QString sql = QStringLiteral("SELECT COUNT(%1) FROM %2 WHERE %1 = ").arg(field, table) + literal;
    if (!condition.isEmpty())
        sql += QStringLiteral(" AND ") + condition;
    return QueryScalar(sql).toLongLong() > 0;
}

void CheckRequired(const DataField& field, const QString& label)
{
    if (field.isNull() || field.asString().trimmed().isEmpty())
        failRule(field, QStringLiteral("%1不能为空。").arg(labelOf(field, label)));
}

void CheckUnique(const DataField& field, const QString& table, const QString& condition, const QString& label)
{
    const QString value = field.asString().trimmed();
    if (value.isEmpty())
        return;
    DataSet* dataSet = field.dataSet();
    QString where = condition;
    if (dataSet->state() == DataSetState::Edit) {
        const QString loaded = ValueText(field.oldValue()).trimmed();
        if (loaded.compare(value, Qt::CaseInsensitive) == 0)
            return;
        // A record is never a duplicate of itself, whatever else changed in it.
        const QString key = dataSet->keyFieldName();
        if (!key.isEmpty() && table.compare(dataSet->updateTable(), Qt::CaseInsensitive) == 0) {
            const DataField keyField = dataSet->findField(key);
            const QString self = key + QStringLiteral(" <> ") +
                                 FieldLiteral(dataSet->connection().dialect(), keyField.type(), keyField.oldValue());
            where = where.isEmpty() ? self : QStringLiteral("(%1) AND %2").arg(where, self);
        }
    }
    if (RecordExists(value, field.name(), table, where, quotedType(field.type())))
        failRule(field, QStringLiteral("您输入的%1已存在。").arg(labelOf(field, label)));
}

QDateTime ServerNow()
{
    Database& database = SharedConnection();
    QDateTime now;
    if (database.isFileDatabase()) {
        now = QDateTime::currentDateTime();
    } else {
        const QVariant value = database.scalar(QStringLiteral("SELECT ") + database.dialect().nowExpression());
        now = value.typeId() == QMetaType::QString ? ParseDateTimeText(value.toString()) : value.toDateTime();
    }
    return QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
}

QString ServerDateText(bool withTime)
{
    const QDateTime now = ServerNow();
    return withTime ? now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : DateText(now.date());
}

QString DateLiteral(const QDate& date)
{
    return Dialect::quote(DateText(date));
}

// Midnight is written as the date alone, the form dates are stored in on the file database.
QString DateTimeLiteral(const QDateTime& dateTime)
{
    return Dialect::quote(DateTimeText(dateTime));
}

QString ServerDateLiteral()
{
    return DateLiteral(ServerNow().date());
}

bool HasBookRoom()
{
    return !CurrentUser.BookRoom.trimmed().isEmpty();
}

QString BookRoomCondition(const QString& prefix, const QString& suffix, bool readers)
{
    if (!HasBookRoom())
        return {};
    const QString column = readers ? QStringLiteral("HomePhone") : QStringLiteral("BookRoom");
    return prefix + column + QStringLiteral(" = ") + Dialect::quote(CurrentUser.BookRoom) + suffix;
}

void ReopenQuery(DataSet& query, const QString& sql)
{
    BusyCursor busy;
    query.close();
    if (!sql.isEmpty())
        query.setSQL(sql);
    query.clearFilter();
    query.open();
}
