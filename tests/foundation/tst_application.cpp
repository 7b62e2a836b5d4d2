#include "RecordingPresenter.h"

#include "foundation/Application.h"
#include "foundation/Errors.h"
#include "foundation/SplashFrm.h"

#include <QTimer>
#include <QTemporaryDir>
#include <QtTest>

// The application object's error handler and the splash window.
class ApplicationTest : public QObject
{
    Q_OBJECT

private slots:
    void errorsReachingTheEventLoopAreShownAndTheProgramGoesOn()
    {
        RecordingPresenter messages;
        int clicks = 0;
        const auto handler = [&] {
            ++clicks;
            if (clicks == 1)
                throw AppError(QStringLiteral("书刊条码已存在。"));
            if (clicks == 2)
                throw SilentAbort(QStringLiteral("BookName"));
            throw std::runtime_error("disk full");
        };
        for (int i = 0; i < 3; ++i)
            QTimer::singleShot(0, handler); // delivered through the event loop, as user actions are
        QTRY_COMPARE(clicks, 3);
        QCOMPARE(clicks, 3);
        QCOMPARE(messages.textsOf(MessageKind::Error), (QStringList{"书刊条码已存在。", "disk full"}));
    }

    void splashShowsEachStepAndTakesItsPictureFromTheCurrentFolder()
    {
        TSplashForm builtIn;
        QCOMPARE(builtIn.size(), QSize(450, 250));
        builtIn.SetProgress(QStringLiteral("正在连接数据库"));
        QCOMPARE(builtIn.progressText(), QStringLiteral("正在连接数据库 ..."));

        QTemporaryDir folder;
        QImage red(450, 250, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(folder.filePath("Splash.bmp"), "BMP"));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        TSplashForm custom(TSplashForm::Style::PictureOnly);
        QDir::setCurrent(previous);
        QCOMPARE(custom.grab().toImage().pixelColor(200, 100), QColor(Qt::red));
        QVERIFY(custom.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(custom.progressText(), QString());
    }
};

int main(int argc, char* argv[])
{
    TVelmoraApplication app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_application.moc"
