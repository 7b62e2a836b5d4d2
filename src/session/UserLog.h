#pragma once

#include <QString>

// Writes one row of the operation log over the shared connection, stamped with the
// server's date and time, the logged-in user ("<未登录>" before any login) and this
// workstation's name. Throws DatabaseError when the row cannot be written (for instance a
// window name longer than the column).
void WriteUserLog(const QString& WinName, const QString& OperateContent, const QString& Memo = {});

// The statement WriteUserLog executes at `now`.
QString UserLogInsertSql(const QDateTime& now, const QString& WinName, const QString& OperateContent,
                         const QString& Memo, const QString& ComputerName);

inline const QString NotLoggedInText = QStringLiteral("<未登录>");
