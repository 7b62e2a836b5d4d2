#pragma once

#include "shell/ExitFrm.h"

#include <functional>

class TConfigManager;

// What happens when the main window closes, apart from any widget: the exit question,
// the backup reminder counters, the exit log entry and closing the connection.
class TShutdownService
{
public:
    struct Hooks
    {
        std::function<bool()> isExitConfirm;               // the library-wide parameter
        std::function<std::optional<TExitChoice>()> askExit; // nothing when cancelled
        std::function<void(TExitChoice)> requestPower;
        std::function<void()> openBackupWindow;
        std::function<void()> writeExitLog;
        std::function<void()> closeConnection;
    };

    TShutdownService(TConfigManager& config, Hooks hooks);

    // Whether the main window may close.
    bool CloseQuery();
    // The closing steps, once closing is allowed.
    void Close();

    // Counts one more exit; true when the backup window is due now.
    static bool BackupReminderDue(TConfigManager& config);
    static void ResetBackupReminder(TConfigManager& config);

private:
    TConfigManager& m_config;
    Hooks m_hooks;
};
