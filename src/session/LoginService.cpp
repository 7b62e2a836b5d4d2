#include "session/LoginService.h"

#include "foundation/Configs.h"
#include "foundation/DataModule.h"
#include "foundation/Dialect.h"
#include "foundation/Errors.h"
#include "foundation/UserInfo.h"
#include "foundation/UtilsDB.h"
#include "session/PasswordDigest.h"
#include "session/Rights.h"
#include "session/SessionMessages.h"

namespace {

DataSet& pubQuery()
{
    return DataModule().PubQuery;
}

} // namespace

TLoginService::TLoginService(TConfigManager& config) : m_config(config) {}

QStringList TLoginService::LoadUserCodes()
{
    DataSet& query = pubQuery();
    OpenSQL(query, QStringLiteral("SELECT UserCode FROM Users_tab"));
    QStringList codes;
    for (int row = 0; row < query.recordCount(); ++row)
        codes << query.value(row, 0).toString().trimmed();
    if (!codes.contains(AdministratorCode, Qt::CaseInsensitive)) {
        DM1->CodexaConn().exec(
            QStringLiteral("INSERT INTO Users_tab(UserCode, UserName, UserPwd)VALUES('Admin', '管理员', ")
            + Dialect::quote(EmptyPasswordDigest()) + QLatin1Char(')'));
        codes << AdministratorCode;
    }
    return codes;
}

QString TLoginService::InitialUserCode(const QStringList& codes) const
{
    const QString last = m_config.ReadString(QStringLiteral("UI"), QStringLiteral("LastUserName"), AdministratorCode);
    for (const QString& code : codes) {
        if (code.compare(last, Qt::CaseInsensitive) == 0)
            return code;
    }
    return AdministratorCode;
}

bool TLoginService::AutomaticLoginAllowed(const QStringList& codes, const QString& userText, const QString& password)
{
    return codes.size() == 1 && userText == AdministratorCode && password.isEmpty()
           && QueryScalar(QStringLiteral("SELECT UserPwd FROM Users_tab WHERE UserCode = 'Admin'"))
                  == EmptyPasswordDigest();
}

TLoginService::Result TLoginService::Login(const QString& userText, const QString& password)
{
    if (userText.trimmed().isEmpty()) {
        ShowCaptioned(MessageKind::Info, InfoCaption, QStringLiteral("请输入您的用户名称!"));
        return Result::NoUserName;
    }
    DataSet& query = pubQuery();
    OpenSQL(query, QStringLiteral("SELECT * FROM Users_tab WHERE UserCode = ") + Dialect::quote(userText));
    if (query.isEmpty()) {
        ShowCaptioned(MessageKind::Error, ErrorCaption, QStringLiteral("您输入的用户名不存在!"));
        return Result::UnknownUser;
    }
    query.first();
    if (query.fieldByName(QStringLiteral("IsLock")).asBoolean()) {
        ShowCaptioned(MessageKind::Info, InfoCaption, QStringLiteral("该用户已被管理员锁定，无法登录。"));
        return Result::Locked;
    }
    if (!PasswordMatches(password, query.fieldByName(QStringLiteral("UserPwd")).asString())) {
        ShowCaptioned(MessageKind::Error, ErrorCaption, QStringLiteral("密码错误，请重新输入。"));
        return Result::WrongPassword;
    }
    TUserInfo user;
    user.UserID = query.fieldByName(QStringLiteral("UserID")).asInteger();
    user.UserCode = query.fieldByName(QStringLiteral("UserCode")).asString();
    user.UserPwd = query.fieldByName(QStringLiteral("UserPwd")).asString();
    user.UserName = query.fieldByName(QStringLiteral("UserName")).asString();
    user.BookRoom = query.fieldByName(QStringLiteral("Title")).asString();
    user.Dept = query.fieldByName(QStringLiteral("Dept")).asString();
    CurrentUser = user;
    m_config.WriteString(QStringLiteral("UI"), QStringLiteral("LastUserName"), user.UserCode);
    return Result::Success;
}

void TLoginService::Finish()
{
    if (DM1)
        DM1->PubQuery.close();
}
