#pragma once

#include <QString>

// The 20-character digest stored in Users_tab.UserPwd: digits 0, 2-9 and A-F only.
QString PasswordDigest(const QString& password);
bool PasswordMatches(const QString& password, const QString& digest);
// The digest of the empty password: the administrator's initial and every reset password.
QString EmptyPasswordDigest();
