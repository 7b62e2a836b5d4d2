#include "SessionFixture.h"

#include "foundation/Application.h"
#include "foundation/Errors.h"
#include "foundation/UtilsApp.h"
#include "foundation/UtilsDB.h"
#include "session/FunctionWindow.h"
#include "session/Rights.h"
#include "session/UserLog.h"

#include <QAction>
#include <QDialog>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A function window with one action of each rights tag, one of them on a tool bar.
class SampleWindow : public QDialog, public TStartParameterTarget
{
public:
    explicit SampleWindow(const QString& caption = QStringLiteral("书刊信息维护"))
    {
        setWindowTitle(caption);
        auto* bar = new QToolBar(this);
        (new QVBoxLayout(this))->addWidget(bar);
        view = new QAction(QStringLiteral("刷新(&R)"), this);
        add = new QAction(QStringLiteral("新增(&A)"), this);
        SetRightsTag(add, rtOperate);
        print = new QAction(QStringLiteral("打印(&P)"), this);
        SetRightsTag(print, rtPrint);
        // Parented elsewhere, reachable only through the tool bar.
        remove = new QAction(QStringLiteral("删除(&D)"), bar);
        SetRightsTag(remove, rtOperate);
        bar->addActions({view, add, print, remove});
    }
    void ApplyStartParameter(const QString& param) override { startParameters << param; }
    void showEvent(QShowEvent* event) override
    {
        QDialog::showEvent(event);
        ++shown;
        ++shownTotal;
        visibleOnShow = {view->isVisible(), add->isVisible(), print->isVisible(), remove->isVisible()};
        QTimer::singleShot(0, this, &QDialog::accept);
    }

    QAction* view;
    QAction* add;
    QAction* print;
    QAction* remove;
    QStringList startParameters;
    int shown = 0;
    static inline int shownTotal = 0;
    QList<bool> visibleOnShow;
};

} // namespace

// Rights loaded at login, the function window opener and the operation log.
class RightsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SessionFixture> f;

    void logIn(const QString& code)
    {
        if (!f->userId(code))
            f->addUser(code, QString());
        CurrentUser.UserID = f->userId(code);
        CurrentUser.UserCode = code;
        CurrentUser.UserName = QStringLiteral("姓名") + code;
        OpenAccTable();
    }
    void grant(const QString& code, int funKey, const QString& open, const QString& operate, const QString& print)
    {
        f->db().exec(QStringLiteral("INSERT INTO UserAccredit_tab(UserID, FunID, IsOpen, IsOperate, IsPrint) "
                                    "SELECT %1, FunID, %3, %4, %5 FROM UserFun_tab WHERE FunKey = %2")
                         .arg(f->userId(code))
                         .arg(funKey)
                         .arg(open, operate, print));
    }
    QStringList logRows()
    {
        QStringList rows;
        QSqlQuery q = f->db().exec("SELECT WinName, OperateContent, UserCode, UserName FROM UserLog_tab ORDER BY UserLogID");
        while (q.next())
            rows << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()}.join('|');
        return rows;
    }

private slots:
    void init() { f = std::make_unique<SessionFixture>(); }
    void cleanup() { f.reset(); }

    void administratorHasEveryFunctionWithoutRows()
    {
        f->addUser("lib1", QString());
        grant("lib1", 11, "0", "0", "0");
        logIn("admin");  // the administrator is recognised in any case
        DataSet& acc = DM1->AccQuery;
        QCOMPARE(acc.recordCount(), 15);
        QList<int> keys;
        for (int row = 0; row < acc.recordCount(); ++row) {
            keys << acc.value(row, acc.fieldIndex("FunKey")).toInt();
            for (const char* flag : {"IsOpen", "IsOperate", "IsPrint"})
                QCOMPARE(acc.value(row, acc.fieldIndex(flag)).toInt(), 1);
        }
        QCOMPARE(keys, (QList<int>{11, 12, 13, 21, 22, 23, 31, 32, 41, 42, 51, 52, 53, 54, 55}));
        for (const char* column : {"ImgIndex", "FunName", "FunMemo", "FunCate", "IsUsed"})
            QVERIFY2(acc.fieldIndex(column) >= 0, column);
        QVERIFY(CanOpenFunction(11));
        QVERIFY(CanOpenFunction(99));
        QVERIFY(!CanOpenFunction(0));
    }

    void userRightsComeFromTheirOwnRows()
    {
        f->addUser("lib1", QString());
        f->addUser("lib2", QString());
        grant("lib1", 11, "1", "0", "1");
        grant("lib1", 21, "0", "1", "1");
        grant("lib1", 31, "NULL", "NULL", "NULL");
        grant("lib2", 12, "1", "1", "1");
        logIn("lib1");
        QCOMPARE(DM1->AccQuery.recordCount(), 3);
        const auto rights = FindFunctionRights(11);
        QVERIFY(rights);
        QCOMPARE(rights->IsOpen, std::optional<bool>(true));
        QCOMPARE(rights->IsOperate, std::optional<bool>(false));
        QCOMPARE(rights->IsPrint, std::optional<bool>(true));
        QVERIFY(!FindFunctionRights(31)->IsOpen.has_value());
        QVERIFY(!FindFunctionRights(12));
        QVERIFY(CanOpenFunction(11));
        QVERIFY(!CanOpenFunction(21));
        QVERIFY(!CanOpenFunction(31));  // NULL is not a right
        QVERIFY(!CanOpenFunction(12));  // another user's right
    }

    void openerAppliesTheRights_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("funKey");
        QTest::addColumn<QList<bool>>("visible"); // view, add, print, remove
        QTest::newRow("open without operate") << "lib1" << 11 << QList<bool>{true, false, true, false};
        QTest::newRow("open without print") << "lib1" << 12 << QList<bool>{true, true, false, true};
        QTest::newRow("NULL flags restrict nothing") << "lib1" << 13 << QList<bool>{true, true, true, true};
        QTest::newRow("function without rights row") << "lib1" << 21 << QList<bool>{true, true, true, true};
        QTest::newRow("no right needed") << "lib1" << -1 << QList<bool>{true, true, true, true};
        QTest::newRow("administrator") << "Admin" << 11 << QList<bool>{true, true, true, true};
    }

    void openerAppliesTheRights()
    {
        QFETCH(QString, user);
        QFETCH(int, funKey);
        QFETCH(QList<bool>, visible);
        f->addUser("lib1", QString());
        grant("lib1", 11, "1", "0", "1");
        grant("lib1", 12, "1", "1", "0");
        grant("lib1", 13, "NULL", "NULL", "NULL");
        f->addUser("Admin", QString());
        grant("Admin", 11, "0", "0", "0");  // rows of the administrator are never read
        logIn(user);
        auto window = std::make_unique<SampleWindow>();
        SampleWindow* sample = window.get();
        QPointer<QDialog> alive(sample);
        // The window is freed by the opener, so its state is read while it is shown.
        QList<bool> seen;
        QObject::connect(sample, &QDialog::accepted, [&] { seen = sample->visibleOnShow; });
        QVERIFY(OpenFunctionWindow(std::move(window), funKey, QStringLiteral("Add")));
        QVERIFY(alive.isNull());
        QCOMPARE(seen, visible);
        QCOMPARE(logRows(), (QStringList{"书刊信息维护|打开|" + user + "|姓名" + user,
                                         "书刊信息维护|关闭|" + user + "|姓名" + user}));
    }

    void hiddenActionsAreDisabledAndMarked()
    {
        SampleWindow window;
        HideActionsByTag(&window, rtOperate);
        for (QAction* action : {window.add, window.remove}) {
            QVERIFY(!action->isVisible());
            QVERIFY(!action->isEnabled());
            QVERIFY(IsHiddenByRights(action));
        }
        for (QAction* action : {window.view, window.print}) {
            QVERIFY(action->isVisible());
            QVERIFY(action->isEnabled());
            QVERIFY(!IsHiddenByRights(action));
        }
    }

    void closedFunctionShowsAndLogsNothing()
    {
        f->addUser("lib1", QString());
        grant("lib1", 11, "0", "1", "1");
        logIn("lib1");
        auto window = std::make_unique<SampleWindow>();
        QPointer<QDialog> alive(window.get());
        QVERIFY(!OpenFunctionWindow(std::move(window), 11));
        QVERIFY(alive.isNull());
        QVERIFY(logRows().isEmpty());
    }

    void startParameterReachesTheWindow()
    {
        logIn("Admin");
        auto window = std::make_unique<SampleWindow>();
        QStringList parameters;
        SampleWindow* sample = window.get();
        QObject::connect(sample, &QDialog::accepted, [&] { parameters = sample->startParameters; });
        OpenFunctionWindow(std::move(window), 31, QStringLiteral("Return"));
        QCOMPARE(parameters, QStringList{"Return"});
    }

    void captionTooLongForTheLogStopsTheWindow()
    {
        logIn("Admin");
        auto window = std::make_unique<SampleWindow>(QStringLiteral("一二三四五六七八九十一二三四五六七"));  // 17
        SampleWindow* sample = window.get();
        QPointer<QDialog> alive(sample);
        const int shownBefore = SampleWindow::shownTotal;
        QVERIFY_THROWS_EXCEPTION(DatabaseError, OpenFunctionWindow(std::move(window), 11));
        QVERIFY(alive.isNull());
        QCOMPARE(SampleWindow::shownTotal, shownBefore);
        QVERIFY(logRows().isEmpty());
    }

    void logBeforeLoginIsAnonymous()
    {
        QVERIFY(!DM1->AccQuery.isActive());
        WriteUserLog(QStringLiteral("进入系统"), QStringLiteral("打开"), QStringLiteral("it's"));
        QSqlQuery q = f->db().exec("SELECT LogDate, LogTime, UserCode, UserName, Memo, ComputerName FROM UserLog_tab");
        QVERIFY(q.next());
        QCOMPARE(q.value(2).toString(), QStringLiteral("<未登录>"));
        QCOMPARE(q.value(3).toString(), QStringLiteral("<未登录>"));
        QCOMPARE(q.value(4).toString(), QStringLiteral("it's"));
        QCOMPARE(q.value(5).toString(), ComputerNameText().left(20));
        QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(q.value(1).toString()).hasMatch());
        const QVariant date = q.value(0);
        const QString logged = date.typeId() == QMetaType::QString ? date.toString().left(10)
                                                                   : date.toDateTime().date().toString(Qt::ISODate);
        QCOMPARE(logged, ServerNow().date().toString(Qt::ISODate));
    }

    void logStatementQuotesEveryValue()
    {
        CurrentUser.UserCode = "o'neil";
        CurrentUser.UserName = "欧'尼尔";
        const QString sql = UserLogInsertSql(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)), "窗'口", "打开", "",
                                             QString(40, 'h'));
        QCOMPARE(sql, QStringLiteral("INSERT INTO UserLog_tab(LogDate,LogTime,WinName,OperateContent,UserCode,"
                                     "UserName,[Memo],ComputerName)VALUES('2026-03-04','05:06:07','窗''口','打开',"
                                     "'o''neil','欧''尼尔','','%1')")
                          .arg(QString(20, 'h')));
        f->db().exec(sql);
        QCOMPARE(f->scalar("SELECT UserCode FROM UserLog_tab").toString(), QStringLiteral("o'neil"));
    }
};

int main(int argc, char* argv[])
{
    TVelmoraApplication app(argc, argv);
    RightsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_rights.moc"
