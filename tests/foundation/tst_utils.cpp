#include "RecordingPresenter.h"
#include "TestDatabase.h"

#include "foundation/DataModule.h"
#include "foundation/Errors.h"
#include "foundation/MessageDialogs.h"
#include "foundation/Messages.h"
#include "foundation/UtilsApp.h"
#include "foundation/UtilsDB.h"

#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrlQuery>
#include <QtTest>

// Workstation utilities and the message facade with its two input dialogs.
class UtilsTest : public QObject
{
    Q_OBJECT

private:
    // Runs `action` on the next modal dialog once it is shown.
    template <typename Dialog>
    void whenShown(std::function<void(Dialog*)> action)
    {
        QTimer::singleShot(0, this, [this, action] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                whenShown<Dialog>(action);
                return;
            }
            action(dialog);
        });
    }

    static void makeExecutable(const QString& path)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(file.permissions() | QFile::ExeOwner);
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName("图书馆管理系统"); }

    void debugModeIsTheExactFirstArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("debug");
        QTest::newRow("none") << QStringList{"velmora"} << false;
        QTest::newRow("first") << QStringList{"velmora", "-debug"} << true;
        QTest::newRow("capitals") << QStringList{"velmora", "-DEBUG"} << false;
        QTest::newRow("second") << QStringList{"velmora", "x", "-debug"} << false;
        QTest::newRow("blank around") << QStringList{"velmora", " -debug"} << false;
    }
    void debugModeIsTheExactFirstArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, debug);
        QCOMPARE(IsDebugMode(arguments), debug);
    }

    void programFolderAndComputerName()
    {
        QVERIFY(ProgramFolder().endsWith('/'));
        QCOMPARE(ProgramFolder(), QCoreApplication::applicationDirPath() + '/');
        QVERIFY(!ComputerNameText().isEmpty());
        QVERIFY(ComputerNameText().size() <= 256);
    }

    void versionOfOwnFilesOnly()
    {
        QTemporaryDir dir;
        const QString own = dir.filePath("velmora");
        const QString other = dir.filePath("other-program");
        makeExecutable(own);
        makeExecutable(other);
        const QDateTime stamp(QDate(2024, 3, 9), QTime(10, 0));
        QFile file(own);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
        file.close();

        const QString version = FileVersionText(own);
        QVERIFY(QRegularExpression("^\\d+\\.\\d+\\.\\d+\\.\\d+$").match(version).hasMatch());
        QCOMPARE(VersionStamp(own), version + ".240309");
        QCOMPARE(FileVersionText(other), QString());
        QCOMPARE(FileVersionText(dir.filePath("missing")), QString());
    }

    void helpTopicAddresses()
    {
        const QUrl online = HelpTopicUrl("import", false);
        QCOMPARE(online.scheme(), QString("https"));
        QCOMPARE(QUrlQuery(online).queryItemValue("topic"), QString("import"));
        QVERIFY(QUrlQuery(HelpTopicUrl({}, false)).hasQueryItem("topic"));
        const QUrl manual = HelpTopicUrl("import", true);
        QVERIFY(manual.isLocalFile());
        QCOMPARE(manual.toLocalFile(), ProgramFolder() + "Orvanna.doc");
    }

    void windowsAccessoriesMapToDesktopPrograms()
    {
        QTemporaryDir bin;
        makeExecutable(bin.filePath("mousepad"));
        makeExecutable(bin.filePath("onboard"));
        makeExecutable(bin.filePath("some-tool"));
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());

        QCOMPARE(ResolveProgram("notepad.exe", "a.txt").program, bin.filePath("mousepad"));
        QCOMPARE(ResolveProgram("NOTEPAD.EXE", "a.txt").arguments, QStringList{"a.txt"});
        QCOMPARE(ResolveProgram("osk.exe").program, bin.filePath("onboard"));
        QVERIFY(ResolveProgram("calc.exe").program.isEmpty());  // none installed
        QCOMPARE(ResolveProgram("some-tool", "-x \"two words\"").arguments, (QStringList{"-x", "two words"}));
        QCOMPARE(ResolveProgram("https://example.org/a?b=1").url, QUrl("https://example.org/a?b=1"));
        QCOMPARE(ResolveProgram("www.example.org").url.host(), QString("www.example.org"));
        QTemporaryDir docs;
        QFile doc(docs.filePath("manual.doc"));
        QVERIFY(doc.open(QIODevice::WriteOnly));
        doc.close();
        QCOMPARE(ResolveProgram(doc.fileName()).url, QUrl::fromLocalFile(doc.fileName()));
        QVERIFY(ResolveProgram("no-such-program").program.isEmpty());
        qputenv("PATH", savedPath);
    }

    void systemFontIsNinePoints()
    {
        QWidget form;
        ApplySystemFont(&form);
        QCOMPARE(form.font().pointSize(), 9);
        QVERIFY(form.font().families().contains("Noto Sans CJK SC"));
    }

    void messagesCarryTheTitleAndAbortSilently()
    {
        RecordingPresenter messages;
        ShowInfo("已保存。");
        QVERIFY_THROWS_EXCEPTION(SilentAbort, ShowWarning("超期。", true));
        QVERIFY_THROWS_EXCEPTION(SilentAbort, ShowError("失败。", true));
        messages.answers.enqueue(false);
        QVERIFY(!Confirm("删除吗？"));
        QVERIFY(Confirm("再删除吗？"));
        QCOMPARE(messages.messages.size(), 5);
        for (const auto& message : messages.messages)
            QCOMPARE(message.caption, QString("图书馆管理系统"));
        QCOMPARE(messages.messages[1].kind, MessageKind::Warning);
        QCOMPARE(messages.messages[2].kind, MessageKind::Error);
        QCOMPARE(messages.textsOf(MessageKind::Question), (QStringList{"删除吗？", "再删除吗？"}));
    }

    void reopenRestoresTheCursorAlsoOnError()
    {
        auto test = TestDatabase::create();
        auto dm = InstallDataModule(*test);
        QVERIFY(!QGuiApplication::overrideCursor());
        ReopenQuery(dm->ItemsQuery, "SELECT * FROM Items_tab");
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, ReopenQuery(dm->ItemsQuery, "SELECT * FROM Nowhere"));
        QVERIFY(!QGuiApplication::overrideCursor());
        DM1 = nullptr;
    }

    void inputTextDialog()
    {
        TInputTextForm plain({}, {}, "旧值");
        QCOMPARE(plain.windowTitle(), QString("输入"));
        QCOMPARE(plain.PromptLabel->text(), QString("请输入内容："));
        QCOMPARE(plain.OkButton->text(), QString("确定(&O)"));
        QCOMPARE(plain.CancelButton->text(), QString("取消(&C)"));

        QString value = "旧值";
        whenShown<TInputTextForm>([](TInputTextForm* dialog) {
            QCOMPARE(dialog->windowTitle(), QString("重复条件"));
            QCOMPARE(dialog->PromptLabel->text(), QString("请输入条件："));
            QCOMPARE(dialog->ValueEdit->text(), QString("旧值"));
            dialog->ValueEdit->setText("新值");
            QTest::keyClick(dialog->ValueEdit, Qt::Key_Return);  // Enter presses OK
        });
        QVERIFY(InputText("重复条件", "请输入条件：", value));
        QCOMPARE(value, QString("新值"));

        whenShown<TInputTextForm>([](TInputTextForm* dialog) {
            dialog->ValueEdit->setText("丢弃");
            dialog->CancelButton->click();
        });
        QVERIFY(!InputText({}, {}, value));
        QCOMPARE(value, QString("新值"));
    }

    void pickDateDialog()
    {
        TPickDateForm form("请选择应还日期：", QDate(2024, 5, 6));
        const qreal scale = form.logicalDpiX() / 96.0;
        QCOMPARE(form.windowTitle(), QString("选择日期"));
        QCOMPARE(form.size(), QSize(qRound(313 * scale), qRound(200 * scale)));
        QCOMPARE(form.OkButton->size(), QSize(qRound(75 * scale), qRound(25 * scale)));
        QVERIFY(form.OkButton->isDefault());
        QVERIFY(form.PromptLabel->wordWrap());
        QCOMPARE(form.date(), QDate(2024, 5, 6));

        QDate date(2024, 5, 6);
        whenShown<TPickDateForm>([](TPickDateForm* dialog) {
            dialog->DateEdit->setDate(QDate(2024, 6, 1));
            dialog->OkButton->click();
        });
        QVERIFY(PickDate("请选择应还日期：", date));
        QCOMPARE(date, QDate(2024, 6, 1));

        whenShown<TPickDateForm>([](TPickDateForm* dialog) {
            dialog->DateEdit->setDate(QDate(2030, 1, 1));
            dialog->CancelButton->click();
        });
        QVERIFY(!PickDate("x", date));
        QCOMPARE(date, QDate(2024, 6, 1));
    }
};

QTEST_MAIN(UtilsTest)
#include "tst_utils.moc"
