#include "foundation/SplashFrm.h"

#include "foundation/Pictures.h"

#include <QApplication>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace {
const QSize SplashSize(450, 250);
}

TSplashForm::TSplashForm(Style style, QWidget* parent) : QWidget(parent)
{
    Qt::WindowFlags flags = Qt::SplashScreen | Qt::FramelessWindowHint;
    if (style == Style::PictureOnly)
        flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    setFixedSize(SplashSize);
    m_picture = PictureOverride(QStringLiteral("Splash.bmp"));
    if (m_picture.isNull())
        m_picture = builtInPicture(SplashSize);

    if (style == Style::WithProgress) {
        m_progress = new QLabel(this);
        m_progress->setStyleSheet(QStringLiteral("color: white; font-weight: bold; background: transparent;"));
        m_progress->setGeometry(16, height() - 40, width() - 32, 24);
    }
    if (QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSplashForm::SetProgress(const QString& text)
{
    if (!m_progress)
        return;
    m_progress->setText(text + QStringLiteral(" ..."));
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString TSplashForm::progressText() const
{
    return m_progress ? m_progress->text() : QString();
}

void TSplashForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_picture);
}

QPixmap TSplashForm::builtInPicture(const QSize& size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, size.width(), size.height());
    background.setColorAt(0, QColor(0x1d, 0x4e, 0x89));
    background.setColorAt(1, QColor(0x0b, 0x2a, 0x4a));
    painter.fillRect(picture.rect(), background);

    // A row of book spines along the bottom.
    const QList<QColor> spines = {QColor(0xe0, 0x7a, 0x5f), QColor(0xf2, 0xcc, 0x8f), QColor(0x81, 0xb2, 0x9a),
                                  QColor(0x3d, 0x85, 0xc6), QColor(0xf4, 0xf1, 0xde)};
    int x = size.width() - 190;
    for (int i = 0; i < 9; ++i) {
        const int w = 14 + (i * 7) % 9;
        const int h = 70 + (i * 23) % 45;
        painter.fillRect(QRect(x, size.height() - 60 - h, w, h), spines[i % spines.size()]);
        x += w + 3;
    }
    painter.setPen(Qt::white);
    QFont title = QApplication::font();
    title.setPointSize(22);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(28, 40, size.width() - 56, 50), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("图书馆管理系统"));
    QFont subtitle = QApplication::font();
    subtitle.setPointSize(11);
    painter.setFont(subtitle);
    painter.setPen(QColor(0xcf, 0xdd, 0xee));
    painter.drawText(QRect(30, 92, size.width() - 60, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("编目 · 流通 · 读者 · 统计"));
    return picture;
}
