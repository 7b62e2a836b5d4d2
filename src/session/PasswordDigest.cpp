#include "session/PasswordDigest.h"

#include <QCryptographicHash>

namespace {

// The padding salts every password. It must never change: every workstation sharing a
// database compares the stored digests as text.
const QString DigestPrefix = QStringLiteral("[");
const QString DigestSuffix = QStringLiteral("]Vm");

} // namespace

QString PasswordDigest(const QString& password)
{
    const QString wrapped = DigestPrefix + password + DigestSuffix;
    const QByteArray md5 = QCryptographicHash::hash(wrapped.toUtf8(), QCryptographicHash::Md5);
    QString hex = QString::fromLatin1(md5.toHex().toUpper());
    hex.replace(QLatin1Char('1'), QLatin1Char('8'));
    return hex.mid(4, 20);
}

bool PasswordMatches(const QString& password, const QString& digest)
{
    return PasswordDigest(password) == digest;
}

QString EmptyPasswordDigest()
{
    return PasswordDigest(QString());
}
