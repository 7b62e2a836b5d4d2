#pragma once

#include <QString>
#include <QStringList>

class TConfigManager;

// The login without its dialog: the user list (with the built-in administrator inserted
// when missing), the preselected user, the automatic login of a fresh database and the
// checks of the login action with their messages.
class TLoginService
{
public:
    enum class Result { Success, NoUserName, UnknownUser, Locked, WrongPassword };

    explicit TLoginService(TConfigManager& config);

    // Reads the user codes (blanks trimmed, in the order returned) and inserts "Admin" with
    // the empty password's digest when the list lacks it.
    QStringList LoadUserCodes();
    // The code to preselect: [UI] LastUserName when it is in the list, otherwise "Admin".
    QString InitialUserCode(const QStringList& codes) const;
    // Only one user, "Admin" as typed, an empty password and Admin's stored digest still that
    // of the empty password.
    static bool AutomaticLoginAllowed(const QStringList& codes, const QString& userText, const QString& password);
    // Checks in order; a failure shows its box and leaves the session as it was. Success
    // fills CurrentUser and remembers the code as [UI] LastUserName.
    Result Login(const QString& userText, const QString& password);
    // Closes the shared query the login used.
    static void Finish();

private:
    TConfigManager& m_config;
};
