#include "session/UserLog.h"

#include "foundation/DataModule.h"
#include "foundation/Dialect.h"
#include "foundation/Errors.h"
#include "foundation/UserInfo.h"
#include "foundation/UtilsApp.h"
#include "foundation/UtilsCommon.h"
#include "foundation/UtilsDB.h"

#include <QDateTime>

namespace {

// Host names may be longer than the column; the log must not fail because of them.
constexpr int ComputerNameWidth = 20;

} // namespace

QString UserLogInsertSql(const QDateTime& now, const QString& WinName, const QString& OperateContent,
                         const QString& Memo, const QString& ComputerName)
{
    const bool loggedIn = !CurrentUser.UserCode.isEmpty();
    const QStringList values = {
        DateText(now.date()),
        now.time().toString(QStringLiteral("HH:mm:ss")),
        WinName,
        OperateContent,
        loggedIn ? CurrentUser.UserCode : NotLoggedInText,
        loggedIn ? CurrentUser.UserName : NotLoggedInText,
        Memo,
        ComputerName.left(ComputerNameWidth),
    };
    QStringList literals;
    for (const QString& value : values)
        literals << Dialect::quote(value);
    return QStringLiteral("INSERT INTO UserLog_tab(LogDate,LogTime,WinName,OperateContent,UserCode,UserName,[Memo],"
                          "ComputerName)VALUES(")
           + literals.join(QLatin1Char(',')) + QLatin1Char(')');
}

void WriteUserLog(const QString& WinName, const QString& OperateContent, const QString& Memo)
{
    SharedConnection().exec(UserLogInsertSql(ServerNow(), WinName, OperateContent, Memo, ComputerNameText()));
}
