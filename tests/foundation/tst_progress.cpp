#include "foundation/ProgressFrm.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

// The progress window as the long loops drive it.
class ProgressTest : public QObject
{
    Q_OBJECT

private:
    static QString percent() { return ProgressService().form()->PercentLabel->text(); }
    static QString count() { return ProgressService().form()->CountLabel->text(); }

    // The loop every long operation runs; `stopAt` presses Stop before that item.
    static int runLoop(int items, int stopAt = -1, bool escape = false)
    {
        TProgressService& progress = ProgressService();
        progress.SetTitle("正在导入");
        progress.SetMax(items);
        progress.Start();
        int done = 0;
        for (int i = 0; i < items; ++i) {
            if (i == stopAt) {
                if (escape)
                    QTest::keyClick(progress.form(), Qt::Key_Escape);
                else
                    progress.form()->StopButton->click();
            }
            QCoreApplication::processEvents();
            if (progress.IsStoped())
                break;
            ++done;
            progress.StepIt();
        }
        return done;
    }

private slots:
    void windowLayout()
    {
        TProgressForm* form = ProgressService().form();
        QCOMPARE(&ProgressService(), &ProgressService());
        QCOMPARE(form->windowTitle(), QString("进度"));
        QCOMPARE(form->WaitLabel->text(), QString("请稍等..."));
        QCOMPARE(form->StopButton->text(), QString("停止(&S)"));
        QCOMPARE(form->ProgressBar->minimum(), 0);
        QVERIFY(!form->isModal());
        ProgressService().SetTitle("正在生成条码");
        QCOMPARE(form->TitleLabel->text(), QString("正在生成条码"));
    }

    void maximumZeroShowsNothingToDo()
    {
        TProgressService& progress = ProgressService();
        progress.SetMax(0);
        progress.Start();
        QCOMPARE(percent(), QString("0%"));
        QCOMPARE(count(), QString("0/0"));
        QVERIFY(progress.form()->isHidden());
        QVERIFY(!progress.IsStoped());
    }

    void figuresFollowEveryStep()
    {
        TProgressService& progress = ProgressService();
        progress.SetMax(3);
        progress.Start();
        QVERIFY(progress.form()->isVisible());
        QCOMPARE(percent(), QString("0%"));
        progress.StepIt();
        QCOMPARE(percent(), QString("33%"));  // the integer part
        QCOMPARE(count(), QString("1/3"));
        progress.StepIt();
        QCOMPARE(percent(), QString("66%"));
        QVERIFY(!progress.IsStoped());
        progress.StepIt();
        QCOMPARE(percent(), QString("100%"));
        QCOMPARE(count(), QString("3/3"));
        QVERIFY(progress.form()->isHidden());  // closes itself at the maximum
        QVERIFY(!progress.IsStoped());
    }

    void loopRunsToTheEnd()
    {
        QCOMPARE(runLoop(5), 5);
        QVERIFY(!ProgressService().IsStoped());
        QCOMPARE(ProgressService().Title(), QString("正在导入"));
    }

    void stopEndsTheLoopAndKeepsTheWorkDone_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("button") << false;
        QTest::newRow("escape") << true;
    }
    void stopEndsTheLoopAndKeepsTheWorkDone()
    {
        QFETCH(bool, escape);
        QCOMPARE(runLoop(10, 4, escape), 4);
        QVERIFY(ProgressService().IsStoped());
        QCOMPARE(count(), QString("4/10"));
        // A new loop starts afresh.
        QCOMPARE(runLoop(2), 2);
        QVERIFY(!ProgressService().IsStoped());
    }
};

QTEST_MAIN(ProgressTest)
#include "tst_progress.moc"
