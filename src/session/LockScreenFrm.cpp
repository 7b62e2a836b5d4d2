#include "session/LockScreenFrm.h"

#include "foundation/UserInfo.h"
#include "foundation/UtilsApp.h"
#include "session/PasswordPromptFrm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace {

TLockScreenForm::PasswordAsker& passwordAsker()
{
    static TLockScreenForm::PasswordAsker asker;
    return asker;
}

int openLockScreens = 0;

class LockScreenKey final : public QObject
{
public:
    explicit LockScreenKey(std::function<void()> lock) : m_lock(std::move(lock)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F9 || key->modifiers() != Qt::NoModifier)
            return false;
        m_lock();
        return true;
    }

private:
    std::function<void()> m_lock;
};

QPointer<LockScreenKey> installedKey;

} // namespace

TLockScreenForm::TLockScreenForm(const QPixmap& background, const QPixmap& title, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_background(background)
{
    ApplySystemFont(this);
    setWindowTitle(QStringLiteral("锁屏"));

    TitlePicture = new QLabel(this);
    TitlePicture->setPixmap(title);
    TitlePicture->setAlignment(Qt::AlignCenter);
    UnlockIcon = new QLabel(this);
    UnlockIcon->setPixmap(unlockIcon());
    UnlockIcon->setAlignment(Qt::AlignCenter);
    UnlockLabel = new QLabel(QStringLiteral("点击屏幕解锁"), this);
    UnlockLabel->setAlignment(Qt::AlignCenter);
    QFont bold = UnlockLabel->font();
    bold.setBold(true);
    bold.setPointSize(14);
    UnlockLabel->setFont(bold);
    UnlockLabel->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    for (QLabel* clickable : {TitlePicture, UnlockIcon, UnlockLabel})
        clickable->installEventFilter(this);
    UnlockIcon->setCursor(Qt::PointingHandCursor);
    UnlockLabel->setCursor(Qt::PointingHandCursor);

    // The icon and its label stay near the top; the title picture is centred in resizeEvent.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 60, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(UnlockIcon, 0, Qt::AlignHCenter);
    layout->addWidget(UnlockLabel, 0, Qt::AlignHCenter);
    layout->addStretch();
    TitlePicture->adjustSize();

    if (QScreen* screen = QApplication::primaryScreen())
        setGeometry(screen->geometry());
    setWindowState(Qt::WindowMaximized);
}

void TLockScreenForm::SetPasswordAsker(PasswordAsker asker)
{
    passwordAsker() = std::move(asker);
}

void TLockScreenForm::RequestUnlock()
{
    if (m_unlocked)
        return;
    const bool right = passwordAsker() ? passwordAsker()(this) : AskPassword(this);
    if (!right)
        return;
    m_unlocked = true;
    accept();
}

void TLockScreenForm::reject()
{
    RequestUnlock();
}

void TLockScreenForm::closeEvent(QCloseEvent* event)
{
    if (m_unlocked) {
        event->accept();
        return;
    }
    event->ignore();
    RequestUnlock();
}

void TLockScreenForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    TitlePicture->adjustSize();
    TitlePicture->move((width() - TitlePicture->width()) / 2, (height() - TitlePicture->height()) / 2);
}

void TLockScreenForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_background.isNull())
        painter.fillRect(rect(), QColor(0x0b, 0x2a, 0x4a));
    else
        painter.drawPixmap(rect(), m_background);
}

bool TLockScreenForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && (watched == TitlePicture || watched == UnlockIcon || watched == UnlockLabel)) {
        RequestUnlock();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// An open padlock drawn in white, so that no picture file is needed.
QPixmap TLockScreenForm::unlockIcon()
{
    const int size = 72;
    QPixmap icon(size, size);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    shackle.moveTo(20, 34);
    shackle.lineTo(20, 22);
    shackle.arcTo(QRectF(20, 6, 28, 30), 180, -180);
    shackle.lineTo(48, 16);
    painter.drawPath(shackle);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(12, 34, 48, 32), 5, 5);
    painter.setBrush(QColor(0x1d, 0x4e, 0x89));
    painter.drawEllipse(QPointF(36, 47), 5, 5);
    painter.drawRect(QRectF(34, 49, 4, 10));
    return icon;
}

bool CanLockScreen()
{
    if (CurrentUser.UserCode.isEmpty() || openLockScreens > 0)
        return false;
    QWidget* active = QApplication::activeWindow();
    return !qobject_cast<TLockScreenForm*>(active) && !qobject_cast<TPwdInputForm*>(active);
}

void LockScreen(const QPixmap& background, const QPixmap& title)
{
    if (!CanLockScreen())
        return;
    ++openLockScreens;
    struct Count
    {
        ~Count() { --openLockScreens; }
    } count;
    TLockScreenForm form(background, title);
    form.exec();
}

void InstallLockScreenKey(std::function<void()> lock)
{
    RemoveLockScreenKey();
    installedKey = new LockScreenKey(std::move(lock));
    installedKey->setParent(qApp);
    qApp->installEventFilter(installedKey);
}

void RemoveLockScreenKey()
{
    if (installedKey) {
        qApp->removeEventFilter(installedKey);
        delete installedKey;
    }
}
