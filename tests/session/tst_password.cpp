#include "session/PasswordDigest.h"

#include <QRegularExpression>
#include <QtTest>

// The stored password digest.
class PasswordTest : public QObject
{
    Q_OBJECT

private slots:
    void digestShape_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("empty") << QString();
        QTest::newRow("ascii") << QStringLiteral("secret");
        QTest::newRow("chinese") << QStringLiteral("图书馆密码");
        QTest::newRow("quote") << QStringLiteral("it's");
        QTest::newRow("blanks") << QStringLiteral("  ");
        QTest::newRow("long") << QString(500, QLatin1Char('x'));
    }

    void digestShape()
    {
        QFETCH(QString, password);
        const QString digest = PasswordDigest(password);
        static const QRegularExpression shape(QStringLiteral("^[02-9A-F]{20}$"));
        QVERIFY2(shape.match(digest).hasMatch(), qPrintable(digest));
        QVERIFY(PasswordMatches(password, digest));
        QVERIFY(!PasswordMatches(password + QLatin1Char('1'), digest));
    }

    // Many passwords: no "1" ever survives and the digits of the hex text are all used.
    void noDigitOneOverManyPasswords()
    {
        QSet<QChar> seen;
        for (int i = 0; i < 2000; ++i) {
            const QString digest = PasswordDigest(QString::number(i));
            QCOMPARE(digest.size(), 20);
            QVERIFY(!digest.contains(QLatin1Char('1')));
            for (QChar c : digest)
                seen.insert(c);
        }
        QCOMPARE(seen.size(), 15);
    }

    // Stored digests are compared as text across workstations: the padding must never change.
    void digestIsStable()
    {
        QCOMPARE(EmptyPasswordDigest(), PasswordDigest(QString()));
        QCOMPARE(EmptyPasswordDigest(), QStringLiteral("C948DA93E47775A69446"));
        QVERIFY(PasswordDigest(QStringLiteral("Admin")) != PasswordDigest(QStringLiteral("admin")));
    }

    void matchingIsExact()
    {
        const QString digest = PasswordDigest(QStringLiteral("abc"));
        QVERIFY(!PasswordMatches(QStringLiteral("abc"), digest.toLower()));
        QVERIFY(!PasswordMatches(QStringLiteral("abc"), digest + QLatin1Char(' ')));
        QVERIFY(!PasswordMatches(QStringLiteral("abc "), digest));
    }
};

QTEST_GUILESS_MAIN(PasswordTest)
#include "tst_password.moc"
