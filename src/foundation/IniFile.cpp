#include "foundation/IniFile.h"

#include <QFile>
#include <QSaveFile>

namespace {

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

std::optional<QString> sectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith('[') && trimmed.endsWith(']'))
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    return std::nullopt;
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<QString> keyOf(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(';') || trimmed.startsWith('#'))
        return std::nullopt;
    const qsizetype equals = line.indexOf('=');
    if (equals <= 0)
        return std::nullopt;
    const QString key = line.left(equals).trimmed();
    if (key.isEmpty())
        return std::nullopt;
    return key;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the key's line within the section, and the index where the section ends
// (where a new key would go); -1 for a section that does not exist.
struct Location
{
    qsizetype sectionLine = -1;
    qsizetype keyLine = -1;
    qsizetype sectionEnd = -1;
};

Location locate(const QStringList& lines, const QString& section, const QString& key)
{
    Location location;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            if (inSection)
                break;
            inSection = sameName(*name, section);
            if (inSection && location.sectionLine < 0) {
                location.sectionLine = i;
                location.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].trimmed().isEmpty())
            location.sectionEnd = i + 1;
        const auto lineKey = keyOf(lines[i]);
        if (lineKey && sameName(*lineKey, key) && location.keyLine < 0)
            location.keyLine = i;
    }
    return location;
}

bool writeLines(const QString& path, const QStringList& lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray data;
    for (const QString& line : lines) {
        data += line.toUtf8();
        data += '\n';
    }
    file.write(data);
    return file.commit();
}

} // namespace

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    const QStringList lines = readLines(m_path);
    const Location location = locate(lines, section, key);
    if (location.keyLine < 0)
        return std::nullopt;
    const QString& line = lines[location.keyLine];
    return line.mid(line.indexOf('=') + 1).trimmed();
}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    QStringList lines = readLines(m_path);
    const Location location = locate(lines, section, key);
    QString flat = value;
    flat.replace('\r', ' ').replace('\n', ' ');
    const QString entry = key + '=' + flat;
    if (location.keyLine >= 0) {
        lines[location.keyLine] = entry;
    } else if (location.sectionLine >= 0) {
        lines.insert(location.sectionEnd, entry);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append('[' + section + ']');
        lines.append(entry);
    }
    return writeLines(m_path, lines);
}

bool IniFile::deleteKey(const QString& section, const QString& key)
{
    QStringList lines = readLines(m_path);
    const Location location = locate(lines, section, key);
    if (location.keyLine < 0)
        return true;
    lines.removeAt(location.keyLine);
    return writeLines(m_path, lines);
}
