#include "RecordingPresenter.h"
#include "TestDatabase.h"

#include "foundation/Application.h"
#include "foundation/Configs.h"
#include "foundation/DataModule.h"
#include "foundation/UserInfo.h"
#include "session/ChangePasswordFrm.h"
#include "session/LockScreenFrm.h"
#include "session/LoginFrm.h"
#include "session/PasswordPromptFrm.h"
#include "shell/AboutFrm.h"
#include "shell/MainFrm.h"
#include "shell/ParametersFrm.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

namespace {

// Every visible label, button and check box of `window` has room for its text.
QStringList clippedTexts(QWidget* window)
{
    QStringList clipped;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible())
            continue;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap() && label->pixmap().isNull())
            text = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            text = button->text();
        if (text.isEmpty())
            continue;
        if (widget->width() < widget->minimumSizeHint().width() || widget->height() < widget->minimumSizeHint().height())
            clipped << text;
    }
    return clipped;
}

// With VELMORA_SCREENSHOTS set, the windows are also saved there for a person to look at.
void saveScreenshot(QWidget* window, const QString& name)
{
    const QString folder = qEnvironmentVariable("VELMORA_SCREENSHOTS");
    if (!folder.isEmpty())
        window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

} // namespace

// "系统参数设置" and "关于".
class ParametersTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_test;
    std::unique_ptr<TDM1> m_dm;
    QTemporaryDir m_dir;
    std::unique_ptr<TConfigManager> m_config;

    QVariant par(const QString& column) { return m_test->db().scalar("SELECT " + column + " FROM Par_tab"); }
    void writeIni(const QString& text)
    {
        QFile file(m_dir.filePath("Config.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
        file.close();
        m_config = std::make_unique<TConfigManager>(m_dir.path() + '/');
    }

private slots:
    void init()
    {
        m_test = TestDatabase::create();
        m_dm = InstallDataModule(*m_test);
        writeIni({});
        QApplication::setApplicationName(QStringLiteral("Aurel图书馆管理系统 2022"));
    }
    void cleanup()
    {
        DM1 = nullptr;
        m_dm.reset();
        m_test.reset();
    }

    void showsAndSavesTheParameters()
    {
        m_test->db().exec("UPDATE Par_tab SET SystemName = '某某中学图书馆', CorpName = '某某中学', IsExitConfirm = 1, "
                          "IsShowUserListOnLogin = NULL, IsMaxBookManager = 0");
        TParForm form(*m_config);
        QCOMPARE(form.windowTitle(), QStringLiteral("系统参数设置"));
        QCOMPARE(form.Pages->tabText(0), QStringLiteral("基本信息"));
        QCOMPARE(form.SystemNameEdit->text(), QStringLiteral("某某中学图书馆"));
        QCOMPARE(form.CorpNameEdit->text(), QStringLiteral("某某中学"));
        QVERIFY(form.ExitConfirmCheck->isChecked());
        QVERIFY(form.UserListCheck->isChecked());  // NULL shows what the login does with it
        QVERIFY(!form.MaxBookManagerCheck->isChecked());
        QCOMPARE(form.SystemNameEdit->maxLength(), 50);

        form.CorpNameEdit->setText("实验小学");
        form.ExitConfirmCheck->setChecked(false);
        form.UserListCheck->setChecked(false);
        form.SaveButton->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(par("CorpName").toString(), QStringLiteral("实验小学"));
        QCOMPARE(par("IsExitConfirm").toInt(), 0);
        QCOMPARE(par("IsShowUserListOnLogin").toInt(), 0);
        QCOMPARE(par("IsMaxBookManager").toInt(), 0);
        QCOMPARE(m_test->db().scalar("SELECT COUNT(*) FROM Par_tab").toInt(), 1);
    }

    void emptyTableGetsItsRowOnSave()
    {
        m_test->db().exec("DELETE FROM Par_tab");
        {
            TParForm form(*m_config);
            QVERIFY(form.SystemNameEdit->text().isEmpty());
            QVERIFY(!form.ExitConfirmCheck->isChecked());
            QVERIFY(form.UserListCheck->isChecked());
            QVERIFY(form.MaxBookManagerCheck->isChecked());
            form.SystemNameEdit->setText("新馆");
            form.Save();
        }
        QCOMPARE(m_test->db().scalar("SELECT COUNT(*) FROM Par_tab").toInt(), 1);
        QCOMPARE(par("SystemName").toString(), QStringLiteral("新馆"));
        QCOMPARE(par("IsShowUserListOnLogin").toInt(), 1);
    }

    void closingWithoutSaveDiscards()
    {
        {
            TParForm form(*m_config);
            form.show();
            form.CorpNameEdit->setText("不保存");
            QTest::keyClick(&form, Qt::Key_Escape);
            QVERIFY(!form.isVisible());
        }
        QVERIFY(!DM1->ParQuery.isActive());
        QCOMPARE(par("CorpName").toString(), QString());
        TParForm cancelled(*m_config);
        cancelled.CorpNameEdit->setText("也不保存");
        cancelled.CancelButton->click();
    }

    void rebrandedInstallationKeepsItsTitle()
    {
        writeIni("[OEM]\nIsOEM=1\nSystemName=某品牌系统\nCorpName=某某科技\nOfficialWeb=www.example.org\n");
        {
            TParForm form(*m_config);
            QVERIFY(!form.SystemNameEdit->isEnabled());
            form.SystemNameEdit->setText("忽略");
            form.CorpNameEdit->setText("某某中学");
            form.Save();
        }
        QCOMPARE(par("SystemName").toString(), QStringLiteral("图书馆管理系统"));
        QCOMPARE(par("CorpName").toString(), QStringLiteral("某某中学"));
    }

    void aboutBox_data()
    {
        QTest::addColumn<bool>("rebranded");
        QTest::addColumn<QString>("corpName");
        QTest::addColumn<QString>("corpShown");
        QTest::newRow("own, blank library name") << false << "  " << "<使用单位名称未设置>";
        QTest::newRow("rebranded") << true << "某某中学" << "某某中学";
    }

    void aboutBox()
    {
        QFETCH(bool, rebranded);
        QFETCH(QString, corpName);
        QFETCH(QString, corpShown);
        if (rebranded)
            writeIni("[OEM]\nIsOEM=1\nCorpName=某某科技\nOfficialWeb=www.example.org\n");
        m_test->db().exec("UPDATE Par_tab SET CorpName = '" + corpName + "'");
        TAboutForm about(*m_config);
        QCOMPARE(about.windowTitle(), QStringLiteral("关于"));
        QCOMPARE(about.NameLabel->text(), QStringLiteral("软件名称：Aurel图书馆管理系统 2022"));
        QVERIFY(about.VersionLabel->text().startsWith(QStringLiteral("软件版本：")));
        QCOMPARE(about.CorpNameLabel->text(), corpShown);
        QCOMPARE(about.SupportLabel->text(), rebranded ? QStringLiteral("技术支持：某某科技") : MakerNotice);
        QCOMPARE(about.webAddress(), rebranded ? QStringLiteral("www.example.org") : MakerWebAddress);
        QCOMPARE(about.WebLabel->text(), about.webAddress());
        QCOMPARE(about.SystemInfoButton->text(), QStringLiteral("系统信息(&S)"));
    }

    void webLabelColours()
    {
        TWebLabel label("www.example.org");
        QVERIFY(label.font().underline());
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(Qt::blue));
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&label, &enter);
        QVERIFY(!label.font().underline());
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(Qt::red));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&label, &leave);
        QVERIFY(label.font().underline());
    }

    void missingSystemInformationToolIsSaid()
    {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", m_dir.path().toLocal8Bit());
        RecordingPresenter messages;
        QVERIFY(FindSystemInformationTool().isEmpty());
        RunSystemInformationTool();
        qputenv("PATH", path);
        QCOMPARE(messages.textsOf(MessageKind::Info).size(), 1);
    }

    void windowsShowTheirTextsWhole()
    {
        m_test->db().exec("UPDATE Par_tab SET CorpName = '某某市第一实验中学图书馆'");
        CurrentUser = TUserInfo();
        CurrentUser.UserCode = "Admin";
        auto check = [](QWidget* window, const QString& name) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            saveScreenshot(window, name);
            QCOMPARE(clippedTexts(window), QStringList());
        };
        TParForm parameters(*m_config);
        check(&parameters, "parameters");
        TAboutForm about(*m_config);
        check(&about, "about");
        {
            RecordingPresenter messages;
            TLoginForm login(*m_config);
            check(&login, "login");
            m_test->db().exec("UPDATE Par_tab SET IsShowUserListOnLogin = 1");
            TLoginForm loginWithList(*m_config);
            check(&loginWithList, "login-list");
        }
        TModPwdForm changePassword;
        check(&changePassword, "change-password");
        TPwdInputForm prompt;
        check(&prompt, "password-prompt");
        TLockScreenForm lock(TMainForm::BackgroundPicture(), TMainForm::TitlePicture());
        lock.resize(1024, 700);
        check(&lock, "lockscreen");
        CurrentUser = TUserInfo();
    }
};

int main(int argc, char* argv[])
{
    TVelmoraApplication app(argc, argv);
    ParametersTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_parameters.moc"
