#pragma once

#include <QString>
#include <functional>

class Database;

// The library-wide parameters in the single row of Par_tab. Nothing is cached: every call
// reads the table, so a saved change is seen by the next call. An empty Par_tab yields every
// default; a missing table raises.
class TParManager
{
public:
    using ConnectionProvider = std::function<Database&()>;

    // Without a provider the parameters are read over the program's shared connection.
    explicit TParManager(ConnectionProvider connection = {});

    // The default when the value is NULL or blank after trimming, otherwise the value untrimmed.
    QString AsString(const QString& ParName, const QString& DefaultValue);
    // The default only when the value is NULL (or there is no row).
    int AsInteger(const QString& ParName, int DefaultValue);
    bool AsBoolean(const QString& ParName, bool DefaultValue);

    // Defaults to the application title at the time of reading.
    QString SystemName();
    QString CorpName();
    bool IsExitConfirm();
    bool IsShowUserListOnLogin();
    bool IsMaxBookManager();

private:
    // The stored text of the parameter; empty for NULL or no row.
    QString read(const QString& ParName);

    ConnectionProvider FConnection;
};

// The process-wide parameters of the running program.
TParManager& ParManager();

inline const QString CorpNameNotSet = QStringLiteral("<使用单位名称未设置>");
