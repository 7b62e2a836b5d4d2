#include "FinderFixture.h"
#include "RecordingPresenter.h"

#include "finder/FinderService.h"
#include "finder/QuillonFrm.h"
#include "finder/QuillonStartup.h"
#include "foundation/Application.h"
#include "foundation/ConnectionString.h"
#include "foundation/DataModule.h"
#include "foundation/PagedQueryModel.h"
#include "foundation/Schema.h"

#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

// The kiosk window on each engine, driven through its controls.
class QuillonFormTest : public QObject
{
    Q_OBJECT

private:
    static QStringList headers(const QTableView* grid)
    {
        QStringList captions;
        for (int column = 0; column < grid->model()->columnCount(); ++column)
            captions.append(grid->model()->headerData(column, Qt::Horizontal).toString());
        return captions;
    }

    static QString cell(const QTableView* grid, int row, const QString& caption)
    {
        const int column = int(headers(grid).indexOf(caption));
        return grid->model()->index(row, column).data().toString();
    }

    static QList<int> sectionSizes(const QTableView* grid)
    {
        QList<int> sizes;
        for (int column = 0; column < grid->horizontalHeader()->count(); ++column)
            sizes.append(grid->horizontalHeader()->sectionSize(column));
        return sizes;
    }

    static void chooseField(TQuillonForm& form, const QString& name)
    {
        form.searchFieldBox()->setCurrentIndex(form.searchFieldBox()->findData(name));
    }

    static void writeConfig(const QString& folder, const TestDatabase& test)
    {
        const ConnectionString settings = ConnectionString::parse(test.connectionString());
        QFile file(folder + "Config.ini");
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        if (test.isPostgres()) {
            file.write(QStringLiteral("[Database]\nDBType=1\n[Server]\nServer=%1\nPort=%2\nDBName=%3\nUser=%4\n")
                           .arg(settings.value("Data Source"), settings.value("Port"),
                                settings.value("Initial Catalog"), settings.value("User ID"))
                           .toUtf8());
        } else {
            file.write(("[File]\nFileName=" + settings.value("Data Source") + "\n").toUtf8());
        }
    }

private slots:
    // Start-up runs first: it owns the event loop, which later closed windows would end.
    void startupShowsTheKioskUntilItIsClosed()
    {
        FinderFixture fixture;
        QTemporaryDir folder;
        writeConfig(folder.path() + '/', *fixture.test);
        TConfigManager config(folder.path() + '/');
        RecordingPresenter messages;

        QString statusSeen;
        bool wasOnTop = false;
        QTimer poll;
        int waited = 0;
        connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* form = qobject_cast<TQuillonForm*>(window);
                if (!form || !form->isVisible())
                    continue;
                wasOnTop = form->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                statusSeen = form->statusText()->text();
                if (!statusSeen.isEmpty() || ++waited > 200)
                    form->closeButton()->click();
            }
        });
        poll.start(25);
        QCOMPARE(RunQuillon(*qobject_cast<TVelmoraApplication*>(qApp), config), 0);
        QVERIFY(messages.messages.isEmpty());
        QVERIFY(wasOnTop);
        QCOMPARE(statusSeen, FinderStatusText(fixture.totalTitles));
        QCOMPARE(DM1, nullptr);
    }

    void unreachableDatabaseEndsAfterOneErrorBox()
    {
        QTemporaryDir folder;
        QFile file(folder.path() + "/Config.ini");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(testEngine() == "postgres" ? "[Database]\nDBType=1\n[Server]\nServer=/nonexistent-socket-folder\nPort=1\n"
                                              : "[File]\nFileName=missing.db\n");
        file.close();
        TConfigManager config(folder.path() + '/');
        RecordingPresenter messages;
        QCOMPARE(RunQuillon(*qobject_cast<TVelmoraApplication*>(qApp), config), 1);
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages.first().kind, MessageKind::Error);
        QVERIFY(messages.messages.first().text.startsWith("连接数据库失败。"));
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<TQuillonForm*>(window));
    }

    void openingListsEveryTitle()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        RecordingPresenter messages;
        TQuillonForm form(&service);

        QCOMPARE(form.windowTitle(), "Aurel图书馆公共查询 - 桌面版");
        QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(form.windowState().testFlag(Qt::WindowMaximized));
        QCOMPARE(form.headerPicture()->pixmap().height(), 100);

        QStringList captions;
        for (int i = 0; i < form.searchFieldBox()->count(); ++i)
            captions.append(form.searchFieldBox()->itemText(i));
        QCOMPARE(captions, QStringList({"书刊名称", "输入码", "主题词", "索书号", "丛编名", "书刊条码", "ISBN\\ISSN",
                                        "著者", "书刊类别", "馆藏类型", "出版单位"}));
        QCOMPARE(form.selectedFieldName(), "BookName");
        QCOMPARE(form.searchFieldBox()->maxVisibleItems(), 20);

        QCOMPARE(form.statusText()->text(), "找到书刊信息：" + QString::number(fixture.totalTitles) + " 条");
        QCOMPARE(form.titlesGrid()->model()->rowCount(), fixture.totalTitles);
        QCOMPARE(form.titlesGrid()->currentIndex().row(), 0);
        QCOMPARE(headers(form.titlesGrid()),
                 QStringList({"ISBN\\ISSN", "书刊名称", "输入码", "著者", "馆藏类型", "分类号", "分类名称", "出版单位",
                              "出版地", "出版日期", "书刊定价", "总册数", "借出册数", "剩余册数", "主题词", "丛编名",
                              "书刊版次", "书刊语言", "载体形态", "附件", "CN 刊号", "出版周期", "主办单位", "备注",
                              "登记日期", "操作员"}));
        QCOMPARE(headers(form.copiesGrid()), QStringList({"书刊条码 (自编号)", "状态", "索书号", "所在书室", "书刊架位",
                                                          "卷册期信息", "卷册期价格", "登记日期", "操作员"}));
        const QString firstTitle = cell(form.titlesGrid(), 0, "书刊名称");
        const qint64 firstId = fixture.db()
                                   .scalar("SELECT BookID FROM Books_tab WHERE BookName = " + Dialect::quote(firstTitle))
                                   .toLongLong();
        QCOMPARE(form.copiesGrid()->model()->rowCount(), fixture.copiesOf(firstId));
        QVERIFY(messages.messages.isEmpty());
    }

    void finderBmpReplacesTheHeader()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        QTemporaryDir folder;
        const QString previous = QDir::currentPath();
        QImage picture(321, 64, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(folder.path() + "/Finder.bmp", "BMP"));
        QDir::setCurrent(folder.path());
        TQuillonForm form(&service);
        QDir::setCurrent(previous);
        QCOMPARE(form.headerPicture()->pixmap().size(), QSize(321, 64));
    }

    void enterAndButtonSearch()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        RecordingPresenter messages;
        TQuillonForm form(&service);

        chooseField(form, "Author");
        QTest::keyClicks(form.searchTextEdit(), "O'Brien");
        QTest::keyClick(form.searchTextEdit(), Qt::Key_Return);
        QCOMPARE(form.statusText()->text(), "找到书刊信息：1 条");
        QCOMPARE(cell(form.titlesGrid(), 0, "书刊名称"), "尤利西斯导读");
        QCOMPARE(form.copiesGrid()->model()->rowCount(), 3);

        chooseField(form, "BookBarCode");
        form.searchTextEdit()->setText("QB-0100");
        QTest::mouseClick(form.searchButton(), Qt::LeftButton);
        QCOMPARE(form.statusText()->text(), "找到书刊信息：1 条");
        QCOMPARE(cell(form.copiesGrid(), 0, "书刊条码 (自编号)"), "QB-0100");

        form.searchTextEdit()->setText("没有这样的书");
        QTest::keyClick(form.searchTextEdit(), Qt::Key_Enter);
        QCOMPARE(form.statusText()->text(), "找到书刊信息：0 条");
        QCOMPARE(form.titlesGrid()->model()->rowCount(), 0);
        QCOMPARE(form.copiesGrid()->model()->rowCount(), 0);
        QVERIFY(messages.messages.isEmpty());
    }

    void clickingATitleShowsItsCopies()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        TQuillonForm form(&service);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTableView* titles = form.titlesGrid();
        const QModelIndex third = titles->model()->index(2, 1);
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, titles->visualRect(third).center());
        QCOMPARE(titles->currentIndex().row(), 2);
        const qint64 bookId = service.BooksQuery()->value(2, service.BooksQuery()->fieldIndex("BookID")).toLongLong();
        QCOMPARE(form.copiesGrid()->model()->rowCount(), fixture.copiesOf(bookId));
        PagedQueryModel* copies = service.CopiesQuery();
        QCOMPARE(copies->value(0, copies->fieldIndex("BookID")).toLongLong(), bookId);
    }

    void keyboardButtonStartsTheOnScreenKeyboard()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        TQuillonForm form(&service);
        QStringList started;
        form.setProgramRunner([&](const QString& file, const QString& params) { started << file + '|' + params; });
        QTest::mouseClick(form.keyboardButton(), Qt::LeftButton);
        QCOMPARE(started, QStringList{"osk.exe|"});
    }

    void closeButtonClosesTheWindow()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        TQuillonForm form(&service);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.closeButton(), Qt::LeftButton);
        QVERIFY(!form.isVisible());
    }

    void searchErrorIsShownAndTheWindowStaysUsable()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        RecordingPresenter messages;
        TQuillonForm form(&service);
        fixture.db().exec("DROP VIEW Books_view");
        form.Search();
        QCOMPARE(messages.textsOf(MessageKind::Error).size(), 1);

        const ViewDef* view = Schema::instance().view("Books_view");
        fixture.db().exec("CREATE VIEW Books_view AS " + view->sql(fixture.db().dialect()));
        form.searchTextEdit()->setText("尤利西斯");
        QTest::keyClick(form.searchTextEdit(), Qt::Key_Return);
        QCOMPARE(form.statusText()->text(), "找到书刊信息：1 条");
        QCOMPARE(messages.messages.size(), 1);
    }

    void columnWidthsSurviveSearches()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        TQuillonForm form(&service);
        QHeaderView* header = form.titlesGrid()->horizontalHeader();
        // Widths in characters: 书刊名称 30, 出版地 7.
        QVERIFY(header->sectionSize(1) > 4 * header->sectionSize(8));
        header->resizeSection(1, 333);
        form.searchTextEdit()->setText("尤利西斯");
        form.Search();
        QCOMPARE(form.titlesGrid()->model()->rowCount(), 1);
        QCOMPARE(header->sectionSize(1), 333);
    }

    void unreadablePagesShowOneBoxPerSearch()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        RecordingPresenter messages;
        TQuillonForm form(&service);
        form.setWindowState(Qt::WindowNoState);
        form.resize(1000, 700);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        fixture.db().exec("DROP VIEW Books_view");
        QTableView* titles = form.titlesGrid();
        for (int row : {int(fixture.totalTitles) - 1, 300, int(fixture.totalTitles) - 1}) {
            titles->scrollTo(titles->model()->index(row, 0));
            titles->viewport()->grab();
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(messages.textsOf(MessageKind::Error).size(), 1);
        QTest::qWait(50);
        QCOMPARE(messages.messages.size(), 1);
    }

    // Narrowing never leaves the copies wider than the grid; widening spreads the spare
    // width; every column moves by the same amount and a reload keeps the fitted widths.
    void copiesColumnsFollowTheWindowWidth()
    {
        FinderFixture fixture;
        TFinderService service(&fixture.db());
        TQuillonForm form(&service);
        form.setWindowState(Qt::WindowNoState);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTableView* copies = form.copiesGrid();
        const int scrollBar = copies->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, copies->verticalScrollBar());
        const QList<int> before = sectionSizes(copies);
        const int k = int(before.size());

        for (int width : {900, 1500, 1000}) {
            form.resize(width, 700);
            QTRY_COMPARE(form.width(), width);
            const QList<int> sizes = sectionSizes(copies);
            int total = 0;
            for (int i = 0; i < k; ++i) {
                total += sizes[i];
                QCOMPARE(sizes[i] - before[i], sizes[0] - before[0]);
            }
            const int available = copies->width() - scrollBar - 4;
            QVERIFY2(total <= available && available - total < k,
                     qPrintable(QStringLiteral("%1 of %2").arg(total).arg(available)));
            QCOMPARE(copies->horizontalScrollBar()->maximum(), 0);
        }

        const QList<int> fitted = sectionSizes(copies);
        form.titlesGrid()->setCurrentIndex(form.titlesGrid()->model()->index(3, 0));
        QCOMPARE(sectionSizes(copies), fitted);
    }
};

int main(int argc, char* argv[])
{
    TVelmoraApplication app(argc, argv);
    QuillonFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_quillonform.moc"
