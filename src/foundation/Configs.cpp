#include "foundation/Configs.h"

#include "foundation/UtilsApp.h"

#include <QFileInfo>

namespace {

std::optional<qint64> parseInteger(const QString& text)
{
    QString value = text.trimmed();
    bool negative = false;
    if (value.startsWith('-')) {
        negative = true;
        value.remove(0, 1);
    }
    bool ok = false;
    qint64 number = 0;
    if (value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        number = value.mid(2).toLongLong(&ok, 16);
    else if (value.startsWith('$'))
        number = value.mid(1).toLongLong(&ok, 16);
    else
        number = value.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return negative ? -number : number;
}

QString reversedCodePoints(const QList<uint>& codePoints, qsizetype from, qsizetype count)
{
    QList<uint> part = codePoints.mid(from, count);
    std::reverse(part.begin(), part.end());
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(part.constData()), part.size());
}

// Decodes, then keeps the text between `head` and `tail` characters, reversed.
QString unscramble(const QString& text, qsizetype head, qsizetype tail)
{
    if (text.isEmpty())
        return {};
    const QByteArray bytes = QByteArray::fromBase64(text.toLatin1());
    const QList<uint> codePoints = QString::fromUtf8(bytes).toUcs4();
    if (codePoints.size() < head + tail)
        return {};
    return reversedCodePoints(codePoints, head, codePoints.size() - head - tail);
}

bool hasFolderPart(const QString& name)
{
    return name.contains('/');
}

} // namespace

TConfigManager::TConfigManager(const QString& folder)
    : m_folder(folder.endsWith('/') ? folder : folder + '/')
    , FFile(m_folder + QStringLiteral("Config.ini"))
{
    FIsOEM = ReadBoolean(QStringLiteral("OEM"), QStringLiteral("IsOEM"), false);
}

QString TConfigManager::ReadString(const QString& Section, const QString& Ident, const QString& Default) const
{
    return FFile.readString(Section, Ident, Default);
}

void TConfigManager::WriteString(const QString& Section, const QString& Ident, const QString& Value)
{
    FFile.writeString(Section, Ident, Value);
}

int TConfigManager::ReadInteger(const QString& Section, const QString& Ident, int Default) const
{
    const auto text = FFile.value(Section, Ident);
    if (!text)
        return Default;
    const auto number = parseInteger(*text);
    if (!number || *number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max())
        return Default;
    return int(*number);
}

void TConfigManager::WriteInteger(const QString& Section, const QString& Ident, int Value)
{
    FFile.writeString(Section, Ident, QString::number(Value));
}

double TConfigManager::ReadFloat(const QString& Section, const QString& Name, double Default) const
{
    const auto text = FFile.value(Section, Name);
    if (!text || text->isEmpty())
        return Default;
    bool ok = false;
    const double value = text->toDouble(&ok);
    return ok ? value : Default;
}

void TConfigManager::WriteFloat(const QString& Section, const QString& Name, double Value)
{
    FFile.writeString(Section, Name, QString::number(Value, 'g', 15));
}

bool TConfigManager::ReadBoolean(const QString& Section, const QString& Ident, bool Default) const
{
    const auto text = FFile.value(Section, Ident);
    if (!text)
        return Default;
    const auto number = parseInteger(*text);
    return number ? *number != 0 : Default;
}

void TConfigManager::WriteBoolean(const QString& Section, const QString& Ident, bool Value)
{
    FFile.writeString(Section, Ident, Value ? QStringLiteral("1") : QStringLiteral("0"));
}

TProxyInfo TConfigManager::ReadProxyInfo() const
{
    const QString section = QStringLiteral("Proxy");
    TProxyInfo info;
    info.Server = ReadString(section, QStringLiteral("Server"), {});
    info.Port = ReadInteger(section, QStringLiteral("Port"), 0);
    info.UserName = ReadString(section, QStringLiteral("UserName"), {});
    info.Password = UnscrambleConfigText(ReadString(section, QStringLiteral("Password"), {}));
    return info;
}

void TConfigManager::WriteProxyInfo(const TProxyInfo& ProxyInfo)
{
    const QString section = QStringLiteral("Proxy");
    WriteString(section, QStringLiteral("Server"), ProxyInfo.Server);
    WriteInteger(section, QStringLiteral("Port"), ProxyInfo.Port);
    WriteString(section, QStringLiteral("UserName"), ProxyInfo.UserName);
    WriteString(section, QStringLiteral("Password"), ScrambleConfigText(ProxyInfo.Password));
}

TReaderSyncParams TConfigManager::ReadReaderSyncParams() const
{
    const QString section = QStringLiteral("ReaderSync");
    TReaderSyncParams params;
    params.DBSrcConnString = UnscrambleConfigText(ReadString(section, QStringLiteral("DBSrcConnString"), {}));
    params.IsShowOnStartup = ReadBoolean(section, QStringLiteral("IsShowOnStartup"), false);
    return params;
}

void TConfigManager::WriteReaderSyncParams(const TReaderSyncParams& ReaderSyncParams)
{
    const QString section = QStringLiteral("ReaderSync");
    WriteString(section, QStringLiteral("DBSrcConnString"), ScrambleConfigText(ReaderSyncParams.DBSrcConnString));
    WriteBoolean(section, QStringLiteral("IsShowOnStartup"), ReaderSyncParams.IsShowOnStartup);
}

TCurrentDBInfo TConfigManager::ReadCurrentDBInfo()
{
    TCurrentDBInfo info;
    info.CurrentDBIsFile = ReadInteger(QStringLiteral("Database"), QStringLiteral("DBType"), 0) == 0;
    if (!info.CurrentDBIsFile) {
        const QString section = QStringLiteral("Server");
        const QString user = ReadString(section, QStringLiteral("User"), {});
        const QString password = UnscrambleConfigText(ReadString(section, QStringLiteral("Password"), {}));
        const int port = ReadInteger(section, QStringLiteral("Port"), 5432);
        info.CurrentDBType = QStringLiteral("PostgreSQL");
        info.CurrentDBName = ReadString(section, QStringLiteral("DBName"), DefaultServerDatabaseName);
        info.CurrentDBServer = ReadString(section, QStringLiteral("Server"), QStringLiteral("localhost"));
        // An empty user and password leave the login to the operating-system user.
        info.ConnectionString =
            QStringLiteral("Provider = PostgreSQL; Data Source = %1; Port = %2; Initial Catalog = %3; User ID = %4; Password = %5")
                .arg(ConnectionStringValue(info.CurrentDBServer), QString::number(port),
                     ConnectionStringValue(info.CurrentDBName), ConnectionStringValue(user),
                     ConnectionStringValue(password));
        return info;
    }

    const QString section = QStringLiteral("File");
    QString name = ReadString(section, QStringLiteral("FileName"), DefaultDatabaseFileName).trimmed();
    name.replace('\\', '/'); // names written on other systems
    if (!hasFolderPart(name))
        name = m_folder + name;
    if (name.compare(m_folder + LegacyDatabaseFileName, Qt::CaseInsensitive) == 0) {
        name = m_folder + DefaultDatabaseFileName;
        Delete(section, QStringLiteral("FileName"));
    }
    info.CurrentDBType = QStringLiteral("文件数据库");
    info.CurrentDBName = name;
    info.ConnectionString = QStringLiteral("Provider = SQLite; Data Source = %1").arg(ConnectionStringValue(name));
    return info;
}

void TConfigManager::Delete(const QString& ASection, const QString& AIdent)
{
    FFile.deleteKey(ASection, AIdent);
}

TConfigManager& ConfigManager()
{
    static TConfigManager manager(ProgramFolder());
    return manager;
}

QString ScrambleConfigText(const QString& text)
{
    if (text.isEmpty())
        return {};
    const QList<uint> codePoints = text.toUcs4();
    const QString first = QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()), 1);
    const QString s = QStringLiteral("0") + first + reversedCodePoints(codePoints, 0, codePoints.size())
                      + QStringLiteral("001");
    return QString::fromLatin1(s.toUtf8().toBase64());
}

QString UnscrambleConfigText(const QString& text)
{
    return unscramble(text, 2, 3);
}

QString UnscrambleSourceText(const QString& text)
{
    return unscramble(text, 6, 6);
}

QString ConnectionStringValue(const QString& value)
{
    const bool needsQuotes = value.contains(';') || value.contains('"') || value != value.trimmed();
    if (!needsQuotes)
        return value;
    QString quoted = value;
    quoted.replace('"', QLatin1String("\"\""));
    return '"' + quoted + '"';
}
