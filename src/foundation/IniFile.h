#pragma once

#include <QString>

// A plain INI file read and written on every call: nothing is cached, so a value written
// by one window is seen at once by any other (and by another program on the same file).
// Section and key names ignore case; values are trimmed. Lines the reader does not
// understand are kept as they are when the file is rewritten. UTF-8, with or without BOM.
class IniFile
{
public:
    explicit IniFile(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    // A missing file, section or key gives std::nullopt.
    std::optional<QString> value(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;

    // False when the file could not be written; the old contents then stay untouched.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool deleteKey(const QString& section, const QString& key);

private:
    QString m_path;
};
