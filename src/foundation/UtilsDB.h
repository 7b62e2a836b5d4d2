#pragma once

#include "foundation/DataSet.h"

#include <QDate>
#include <QDateTime>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <memory>

class Database;

// Runs `sql` as text (colons are not parameter markers) with numbers fetched as doubles
// on every engine. Throws DatabaseError with the driver's message.
QSqlQuery ExecQuery(Database& database, const QString& sql);

// Free-standing queries on the shared connection.
std::unique_ptr<DataSet> NewQuery();
void FreeQuery(std::unique_ptr<DataSet>& query);
// Closes, sets the SQL, switches client-side filtering off and opens.
void OpenSQL(DataSet& query, const QString& sql);

// The first value of the first row as text: empty for no row or NULL, "1"/"0" for a boolean.
QString QueryScalar(const QString& sql);
QString QueryScalar(Database& database, const QString& sql);
// Appends the text of `field` (the first column when empty) of every row, in row order.
void QueryList(QStringList& list, const QString& sql, const QString& field = {});
void QueryList(Database& database, QStringList& list, const QString& sql, const QString& field = {});

bool TableExists(const QString& name);
// "SELECT COUNT(field) FROM table WHERE field = value [AND condition]" > 0. An unquoted
// value that is not a plain number is quoted all the same: no text reaches SQL unquoted.
bool RecordExists(const QString& value, const QString& field, const QString& table, const QString& condition = {},
                  bool quote = true);

// Record rules: on failure an information box, then SilentAbort naming the field.
void CheckRequired(const DataField& field, const QString& label = {});
void CheckUnique(const DataField& field, const QString& table, const QString& condition = {},
                 const QString& label = {});

// The database server's clock (the workstation's for the file database), to the second.
QDateTime ServerNow();
QString ServerDateText(bool withTime = false);

QString DateLiteral(const QDate& date);
QString DateTimeLiteral(const QDateTime& dateTime);
QString ServerDateLiteral();

// The logged-in user is bound to a book room.
bool HasBookRoom();
// prefix + (HomePhone or BookRoom) + " = " + the quoted room + suffix; empty when not bound.
QString BookRoomCondition(const QString& prefix = {}, const QString& suffix = {}, bool readers = false);

// Shows the busy cursor while it reopens `query` (with `sql` when given) unfiltered.
void ReopenQuery(DataSet& query, const QString& sql = {});
