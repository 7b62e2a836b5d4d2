#include "TestDatabase.h"

#include "foundation/Errors.h"
#include "session/ParManager.h"

#include <QCoreApplication>
#include <QtTest>

// Library-wide parameters read from Par_tab on every call.
class ParManagerTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_test;
    std::unique_ptr<TParManager> m_par;

    void set(const QString& assignments) { m_test->db().exec(QStringLiteral("UPDATE Par_tab SET ") + assignments); }

private slots:
    void init()
    {
        m_test = TestDatabase::create();
        m_par = std::make_unique<TParManager>([this]() -> Database& { return m_test->db(); });
        QCoreApplication::setApplicationName(QStringLiteral("应用标题"));
    }

    void defaultsForNullAndBlank_data()
    {
        QTest::addColumn<bool>("emptyTable");
        QTest::newRow("NULL columns") << false;
        QTest::newRow("no row") << true;
    }

    void defaultsForNullAndBlank()
    {
        QFETCH(bool, emptyTable);
        if (emptyTable)
            m_test->db().exec(QStringLiteral("DELETE FROM Par_tab"));
        else
            set(QStringLiteral("SystemName = '   ', CorpName = NULL, IsExitConfirm = NULL, "
                               "IsShowUserListOnLogin = NULL, IsMaxBookManager = NULL"));
        QCOMPARE(m_par->SystemName(), QStringLiteral("应用标题"));
        QCOMPARE(m_par->CorpName(), QStringLiteral("<使用单位名称未设置>"));
        QCOMPARE(m_par->IsExitConfirm(), false);
        QCOMPARE(m_par->IsShowUserListOnLogin(), true);
        QCOMPARE(m_par->IsMaxBookManager(), true);
        QCOMPARE(m_par->AsInteger(QStringLiteral("IsExitConfirm"), 7), 7);
    }

    void storedValuesWinAndAreNotTrimmed()
    {
        set(QStringLiteral("SystemName = ' 某某中学图书馆 ', CorpName = '某某中学', IsExitConfirm = 1, "
                           "IsShowUserListOnLogin = 0, IsMaxBookManager = 0"));
        QCOMPARE(m_par->SystemName(), QStringLiteral(" 某某中学图书馆 "));
        QCOMPARE(m_par->CorpName(), QStringLiteral("某某中学"));
        QCOMPARE(m_par->IsExitConfirm(), true);
        QCOMPARE(m_par->IsShowUserListOnLogin(), false);
        QCOMPARE(m_par->IsMaxBookManager(), false);
        // Zero is a value, not a missing one.
        QCOMPARE(m_par->AsInteger(QStringLiteral("IsShowUserListOnLogin"), 5), 0);
        QCOMPARE(m_par->AsBoolean(QStringLiteral("IsShowUserListOnLogin"), true), false);
    }

    void everyCallReadsTheTable()
    {
        set(QStringLiteral("IsExitConfirm = 0"));
        QCOMPARE(m_par->IsExitConfirm(), false);
        set(QStringLiteral("IsExitConfirm = 1"));
        QCOMPARE(m_par->IsExitConfirm(), true);
    }

    void badNamesAndMissingTableRaise()
    {
        QVERIFY_THROWS_EXCEPTION(AppError, m_par->AsString(QStringLiteral("CorpName FROM Par_tab; DROP TABLE Par_tab --"), {}));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, m_par->AsString(QStringLiteral("NoSuchColumn"), {}));
        m_test->db().exec(QStringLiteral("DROP TABLE Par_tab"));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, m_par->IsExitConfirm());
    }
};

QTEST_GUILESS_MAIN(ParManagerTest)
#include "tst_parmanager.moc"
