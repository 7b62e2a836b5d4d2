#pragma once

#include <QString>
#include <optional>

class DataSet;

// The rights of the logged-in user on one function, as loaded into AccQuery. A NULL flag
// stays unset: it neither grants nor restricts.
struct TFunctionRights
{
    std::optional<bool> IsOpen;
    std::optional<bool> IsOperate;
    std::optional<bool> IsPrint;
};

// The built-in administrator, compared ignoring case wherever the program asks.
inline const QString AdministratorCode = QStringLiteral("Admin");
bool IsAdministrator(const QString& userCode);
bool CurrentUserIsAdministrator();

// The statement that loads a user's rights, one row per function ordered by FunCate, FunCode.
// The administrator gets every function with full rights and needs no rows of its own.
QString AccTableSql(int userId, const QString& userCode);

// Loads the logged-in user's rights into the shared AccQuery.
void OpenAccTable();

// The rights row of `funKey` in `acc` (AccQuery by default); nothing when the function is
// missing. Never raises: a closed data set has no rows.
std::optional<TFunctionRights> FindFunctionRights(int funKey);
std::optional<TFunctionRights> FindFunctionRights(const DataSet& acc, int funKey);

// What the main window may open: everything for the administrator, otherwise a function
// whose rights row has IsOpen true. FunKey 0 opens nothing.
bool CanOpenFunction(int funKey);
