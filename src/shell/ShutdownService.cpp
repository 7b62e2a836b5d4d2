#include "shell/ShutdownService.h"

#include "foundation/Application.h"
#include "foundation/Configs.h"

TShutdownService::TShutdownService(TConfigManager& config, Hooks hooks) : m_config(config), m_hooks(std::move(hooks)) {}

bool TShutdownService::CloseQuery()
{
    try {
        if (!m_hooks.isExitConfirm || !m_hooks.isExitConfirm())
            return true;
        const std::optional<TExitChoice> choice = m_hooks.askExit();
        if (!choice)
            return false;
        if (*choice != TExitChoice::Quit && m_hooks.requestPower)
            m_hooks.requestPower(*choice);
    } catch (...) {
        TVelmoraApplication::HandleException(std::current_exception());
    }
    return true;
}

void TShutdownService::Close()
{
    if (BackupReminderDue(m_config)) {
        if (m_hooks.openBackupWindow)
            m_hooks.openBackupWindow();
        ResetBackupReminder(m_config);
    }
    for (const auto& step : {m_hooks.writeExitLog, m_hooks.closeConnection}) {
        try {
            if (step)
                step();
        } catch (...) {
            TVelmoraApplication::HandleException(std::current_exception());
        }
    }
}

bool TShutdownService::BackupReminderDue(TConfigManager& config)
{
    const QString section = QStringLiteral("Backup");
    if (!config.ReadBoolean(section, QStringLiteral("Reminder"), false))
        return false;
    const int count = config.ReadInteger(section, QStringLiteral("RunningTimes"), 0) + 1;
    int limit = config.ReadInteger(section, QStringLiteral("ReminderCount"), 3);
    if (limit <= 0)
        limit = 1;
    else if (limit >= 100)
        limit = 99;
    if (count < limit) {
        config.WriteInteger(section, QStringLiteral("RunningTimes"), count);
        return false;
    }
    return true;
}

void TShutdownService::ResetBackupReminder(TConfigManager& config)
{
    config.WriteInteger(QStringLiteral("Backup"), QStringLiteral("RunningTimes"), 0);
}
