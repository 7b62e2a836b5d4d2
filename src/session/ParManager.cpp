#include "session/ParManager.h"

#include "foundation/DataModule.h"
#include "foundation/Errors.h"
#include "foundation/UtilsDB.h"

#include <QCoreApplication>
#include <QRegularExpression>

TParManager::TParManager(ConnectionProvider connection) : FConnection(std::move(connection)) {}

QString TParManager::read(const QString& ParName)
{
    // The name becomes part of the statement, so only a plain column name is accepted.
    static const QRegularExpression columnName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!columnName.match(ParName).hasMatch())
        throw AppError(QStringLiteral("无效的系统参数名称：%1").arg(ParName));
    const QString sql = QStringLiteral("SELECT %1 FROM Par_tab").arg(ParName);
    if (FConnection)
        return QueryScalar(FConnection(), sql);
    return QueryScalar(sql);
}

QString TParManager::AsString(const QString& ParName, const QString& DefaultValue)
{
    const QString value = read(ParName);
    return value.trimmed().isEmpty() ? DefaultValue : value;
}

int TParManager::AsInteger(const QString& ParName, int DefaultValue)
{
    const QString value = read(ParName);
    if (value.isEmpty())
        return DefaultValue;
    return int(value.toDouble());
}

bool TParManager::AsBoolean(const QString& ParName, bool DefaultValue)
{
    const QString value = read(ParName);
    if (value.isEmpty())
        return DefaultValue;
    return value.toDouble() != 0;
}

QString TParManager::SystemName()
{
    return AsString(QStringLiteral("SystemName"), QCoreApplication::applicationName());
}

QString TParManager::CorpName()
{
    return AsString(QStringLiteral("CorpName"), CorpNameNotSet);
}

bool TParManager::IsExitConfirm()
{
    return AsBoolean(QStringLiteral("IsExitConfirm"), false);
}

bool TParManager::IsShowUserListOnLogin()
{
    return AsBoolean(QStringLiteral("IsShowUserListOnLogin"), true);
}

bool TParManager::IsMaxBookManager()
{
    return AsBoolean(QStringLiteral("IsMaxBookManager"), true);
}

TParManager& ParManager()
{
    static TParManager manager;
    return manager;
}
