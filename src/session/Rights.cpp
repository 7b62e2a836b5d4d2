#include "session/Rights.h"

#include "foundation/DataModule.h"
#include "foundation/UserInfo.h"
#include "foundation/UtilsDB.h"

namespace {

std::optional<bool> flag(const DataSet& acc, int row, int column)
{
    if (column < 0)
        return std::nullopt;
    const QVariant value = acc.value(row, column);
    if (value.isNull())
        return std::nullopt;
    return value.toInt() != 0 || value.toBool();
}

} // namespace

bool IsAdministrator(const QString& userCode)
{
    return userCode.compare(AdministratorCode, Qt::CaseInsensitive) == 0;
}

bool CurrentUserIsAdministrator()
{
    return IsAdministrator(CurrentUser.UserCode);
}

QString AccTableSql(int userId, const QString& userCode)
{
    if (IsAdministrator(userCode))
        return QStringLiteral("SELECT ImgIndex,FunName,1 AS IsOpen,FunMemo,FunKey,FunCate,IsUsed,"
                              "1 AS IsOperate,1 AS IsPrint\r\n"
                              "FROM UserFun_tab\r\n"
                              "ORDER BY FunCate,FunCode");
    return QStringLiteral("SELECT ImgIndex,FunName,IsOpen,FunMemo,FunKey,FunCate,IsUsed,IsOperate,IsPrint\r\n"
                          "FROM UserFun_tab LEFT JOIN UserAccredit_tab\r\n"
                          "ON UserFun_tab.FunID=UserAccredit_tab.FunID\r\n"
                          "WHERE UserAccredit_tab.UserID=%1\r\n"
                          "ORDER BY FunCate,FunCode")
        .arg(userId);
}

void OpenAccTable()
{
    OpenSQL(DM1->AccQuery, AccTableSql(CurrentUser.UserID, CurrentUser.UserCode));
}

std::optional<TFunctionRights> FindFunctionRights(const DataSet& acc, int funKey)
{
    if (!acc.isActive())
        return std::nullopt;
    const int keyColumn = acc.fieldIndex(QStringLiteral("FunKey"));
    if (keyColumn < 0)
        return std::nullopt;
    for (int row = 0; row < acc.recordCount(); ++row) {
        const QVariant key = acc.value(row, keyColumn);
        if (key.isNull() || key.toInt() != funKey)
            continue;
        TFunctionRights rights;
        rights.IsOpen = flag(acc, row, acc.fieldIndex(QStringLiteral("IsOpen")));
        rights.IsOperate = flag(acc, row, acc.fieldIndex(QStringLiteral("IsOperate")));
        rights.IsPrint = flag(acc, row, acc.fieldIndex(QStringLiteral("IsPrint")));
        return rights;
    }
    return std::nullopt;
}

std::optional<TFunctionRights> FindFunctionRights(int funKey)
{
    if (!DM1)
        return std::nullopt;
    return FindFunctionRights(DM1->AccQuery, funKey);
}

bool CanOpenFunction(int funKey)
{
    if (funKey == 0)
        return false;
    if (CurrentUserIsAdministrator())
        return true;
    const std::optional<TFunctionRights> rights = FindFunctionRights(funKey);
    return rights && rights->IsOpen.value_or(false);
}
