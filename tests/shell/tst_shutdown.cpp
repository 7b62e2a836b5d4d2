#include "RecordingPresenter.h"

#include "foundation/Configs.h"
#include "foundation/Errors.h"
#include "shell/ExitFrm.h"
#include "shell/ShutdownService.h"

#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

// Closing the main window: the exit question and the closing steps.
class ShutdownTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TConfigManager> m_config;
    QStringList m_calls;

    TShutdownService::Hooks hooks(bool confirm, std::optional<TExitChoice> answer)
    {
        TShutdownService::Hooks h;
        h.isExitConfirm = [confirm] { return confirm; };
        h.askExit = [this, answer] {
            m_calls << "ask";
            return answer;
        };
        h.requestPower = [this](TExitChoice c) { m_calls << (c == TExitChoice::PowerOff ? "poweroff" : "restart"); };
        h.openBackupWindow = [this] { m_calls << "backup"; };
        h.writeExitLog = [this] { m_calls << "log"; };
        h.closeConnection = [this] { m_calls << "close"; };
        return h;
    }

private slots:
    void init()
    {
        QFile::remove(m_dir.filePath("Config.ini"));
        m_config = std::make_unique<TConfigManager>(m_dir.path());
        m_calls.clear();
    }

    void closeQuery_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("answer"); // -1 cancel, else TExitChoice
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("no confirmation") << false << -1 << true << QStringList{};
        QTest::newRow("cancelled") << true << -1 << false << QStringList{"ask"};
        QTest::newRow("quit") << true << int(TExitChoice::Quit) << true << QStringList{"ask"};
        QTest::newRow("power off") << true << int(TExitChoice::PowerOff) << true << QStringList{"ask", "poweroff"};
        QTest::newRow("restart") << true << int(TExitChoice::Restart) << true << QStringList{"ask", "restart"};
    }

    void closeQuery()
    {
        QFETCH(bool, confirm);
        QFETCH(int, answer);
        QFETCH(bool, allowed);
        QFETCH(QStringList, calls);
        const std::optional<TExitChoice> choice = answer < 0 ? std::nullopt : std::optional(TExitChoice(answer));
        TShutdownService shutdown(*m_config, hooks(confirm, choice));
        QCOMPARE(shutdown.CloseQuery(), allowed);
        QCOMPARE(m_calls, calls);
    }

    void failingQuestionIsShownAndClosingAllowed()
    {
        RecordingPresenter messages;
        auto h = hooks(true, std::nullopt);
        h.isExitConfirm = []() -> bool { throw DatabaseError("连接已断开"); };
        TShutdownService shutdown(*m_config, h);
        QVERIFY(shutdown.CloseQuery());
        QCOMPARE(messages.textsOf(MessageKind::Error), QStringList{"连接已断开"});
    }

    void backupReminderCountsExits_data()
    {
        QTest::addColumn<QString>("reminderCount"); // empty: key absent
        QTest::addColumn<QString>("pattern");       // one letter per exit: B = backup window, - = none
        QTest::newRow("default three") << "" << "--B--B";
        QTest::newRow("three") << "3" << "--B--B";
        QTest::newRow("zero") << "0" << "BBB";
        QTest::newRow("negative") << "-5" << "BB";
        QTest::newRow("one") << "1" << "BB";
        QTest::newRow("two hundred fifty is ninety-nine") << "250" << QString(98, '-') + "B";
    }

    void backupReminderCountsExits()
    {
        QFETCH(QString, reminderCount);
        QFETCH(QString, pattern);
        m_config->WriteBoolean("Backup", "Reminder", true);
        if (!reminderCount.isEmpty())
            m_config->WriteString("Backup", "ReminderCount", reminderCount);
        QString seen;
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            m_calls.clear();
            TShutdownService(*m_config, hooks(false, std::nullopt)).Close();
            seen += m_calls.contains("backup") ? 'B' : '-';
            QCOMPARE(m_calls.mid(m_calls.size() - 2), (QStringList{"log", "close"}));
        }
        QCOMPARE(seen, pattern);
        QCOMPARE(m_config->ReadInteger("Backup", "RunningTimes", -1), 0);
    }

    void noReminderLeavesTheCounterAlone()
    {
        TShutdownService(*m_config, hooks(false, std::nullopt)).Close();
        QCOMPARE(m_calls, (QStringList{"log", "close"}));
        QCOMPARE(m_config->ReadInteger("Backup", "RunningTimes", -1), -1);
    }

    void failingLogStillClosesTheConnection()
    {
        RecordingPresenter messages;
        auto h = hooks(false, std::nullopt);
        h.writeExitLog = []() { throw DatabaseError("日志写入失败"); };
        TShutdownService(*m_config, h).Close();
        QCOMPARE(m_calls, QStringList{"close"});
        QCOMPARE(messages.textsOf(MessageKind::Error), QStringList{"日志写入失败"});
    }

    void exitDialogStartsOnQuitAndCancelsOnEscape()
    {
        TExitForm dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("退出系统"));
        QCOMPARE(dialog.choice(), TExitChoice::Quit);
        dialog.setChoice(TExitChoice::Restart);
        QCOMPARE(dialog.choice(), TExitChoice::Restart);
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(ShutdownTest)
#include "tst_shutdown.moc"
