#pragma once

#include "foundation/IniFile.h"

#include <QString>

// The database in use, as derived from Config.ini.
struct TCurrentDBInfo
{
    QString CurrentDBType;     // "PostgreSQL" or "文件数据库"
    QString CurrentDBName;     // database name on the server, or the full path of the file
    QString CurrentDBServer;   // empty for the file database
    bool CurrentDBIsFile = true;
    QString ConnectionString;
};

struct TProxyInfo
{
    QString Server;
    int Port = 0;
    QString UserName;
    QString Password;
};

struct TReaderSyncParams
{
    QString DBSrcConnString;
    bool IsShowOnStartup = false;
};

// The workstation's Config.ini beside the program. Every read and write goes to the file.
class TConfigManager
{
public:
    // `folder` holds Config.ini and stands for the program's folder (it ends with '/').
    explicit TConfigManager(const QString& folder);

    bool IsOEM() const { return FIsOEM; }
    const QString& folder() const { return m_folder; }
    QString fileName() const { return FFile.path(); }

    QString ReadString(const QString& Section, const QString& Ident, const QString& Default) const;
    void WriteString(const QString& Section, const QString& Ident, const QString& Value);
    int ReadInteger(const QString& Section, const QString& Ident, int Default) const;
    void WriteInteger(const QString& Section, const QString& Ident, int Value);
    double ReadFloat(const QString& Section, const QString& Name, double Default) const;
    void WriteFloat(const QString& Section, const QString& Name, double Value);
    bool ReadBoolean(const QString& Section, const QString& Ident, bool Default) const;
    void WriteBoolean(const QString& Section, const QString& Ident, bool Value);

    TProxyInfo ReadProxyInfo() const;
    void WriteProxyInfo(const TProxyInfo& ProxyInfo);
    TReaderSyncParams ReadReaderSyncParams() const;
    void WriteReaderSyncParams(const TReaderSyncParams& ReaderSyncParams);

    TCurrentDBInfo ReadCurrentDBInfo();
    void Delete(const QString& ASection, const QString& AIdent);

private:
    QString m_folder;
    IniFile FFile;
    bool FIsOEM = false;
};

// The process-wide configuration of the running program (Config.ini in ProgramFolder()).
TConfigManager& ConfigManager();

// Reversible scrambling of passwords and connection strings in the file (not encryption).
QString ScrambleConfigText(const QString& text);
QString UnscrambleConfigText(const QString& text);
// The variant used for remote catalogue source parameters; it has no scrambler.
QString UnscrambleSourceText(const QString& text);

// Builds "Key = Value; …" text; values that would break the form are double-quoted.
QString ConnectionStringValue(const QString& value);

inline const QString LegacyDatabaseFileName = QStringLiteral("Codexa.MDB");
inline const QString DefaultDatabaseFileName = QStringLiteral("Codexa.DB");
inline const QString DefaultServerDatabaseName = QStringLiteral("CodexaDB");
