#include "shell/AboutFrm.h"

#include "foundation/Configs.h"
#include "foundation/Messages.h"
#include "foundation/UtilsApp.h"
#include "session/ParManager.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QStringList SystemInformationTools = {
    QStringLiteral("hardinfo"),           QStringLiteral("gnome-system-monitor"), QStringLiteral("plasma-systemmonitor"),
    QStringLiteral("ksysguard"),          QStringLiteral("mate-system-monitor"),  QStringLiteral("xfce4-taskmanager"),
    QStringLiteral("lxtask"),
};

// The application's icon, or a drawn book when the program has none.
QPixmap programIcon()
{
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull() && !icon.availableSizes().isEmpty())
        return icon.pixmap(48, 48);
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1d, 0x4e, 0x89));
    painter.drawRoundedRect(QRectF(6, 4, 36, 40), 4, 4);
    painter.setBrush(QColor(0xf4, 0xf1, 0xde));
    painter.drawRect(QRectF(12, 36, 30, 6));
    painter.setBrush(QColor(0xe0, 0x7a, 0x5f));
    painter.drawRect(QRectF(30, 4, 6, 18));
    return pixmap;
}

void openAddress(const QString& address)
{
    if (!address.trimmed().isEmpty())
        QDesktopServices::openUrl(QUrl::fromUserInput(address.trimmed()));
}

} // namespace

TWebLabel::TWebLabel(const QString& address, QWidget* parent) : QLabel(address, parent)
{
    setCursor(Qt::PointingHandCursor);
    setHovered(false);
}

void TWebLabel::setHovered(bool hovered)
{
    m_hovered = hovered;
    QFont f = font();
    f.setUnderline(!hovered);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, hovered ? Qt::red : Qt::blue);
    setPalette(p);
}

void TWebLabel::enterEvent(QEnterEvent* event)
{
    setHovered(true);
    QLabel::enterEvent(event);
}

void TWebLabel::leaveEvent(QEvent* event)
{
    setHovered(false);
    QLabel::leaveEvent(event);
}

void TWebLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

TAboutForm::TAboutForm(QWidget* parent) : TAboutForm(ConfigManager(), parent) {}

TAboutForm::TAboutForm(TConfigManager& config, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("关于"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ApplySystemFont(this);

    const bool rebranded = config.IsOEM();
    IconLabel = new QLabel(this);
    IconLabel->setPixmap(programIcon());
    IconLabel->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    NameLabel = new QLabel(QStringLiteral("软件名称：") + QApplication::applicationName(), this);
    VersionLabel = new QLabel(QStringLiteral("软件版本：") + VersionStamp(QCoreApplication::applicationFilePath()), this);

    auto* corpPanel = new QFrame(this);
    corpPanel->setFrameShape(QFrame::StyledPanel);
    corpPanel->setFrameShadow(QFrame::Sunken);
    CorpNameLabel = new QLabel(ParManager().CorpName(), corpPanel);
    CorpNameLabel->setAlignment(Qt::AlignCenter);
    CorpNameLabel->setWordWrap(true);
    QFont corpFont = CorpNameLabel->font();
    corpFont.setBold(true);
    corpFont.setPointSize(corpFont.pointSize() + 2);
    CorpNameLabel->setFont(corpFont);
    auto* corpLayout = new QVBoxLayout(corpPanel);
    corpLayout->setContentsMargins(12, 14, 12, 14);
    corpLayout->addWidget(CorpNameLabel);

    if (rebranded) {
        SupportLabel = new QLabel(QStringLiteral("技术支持：") + config.ReadString("OEM", "CorpName", {}), this);
        m_webAddress = config.ReadString("OEM", "OfficialWeb", {});
    } else {
        SupportLabel = new QLabel(MakerNotice, this);
        m_webAddress = MakerWebAddress;
    }
    WebLabel = new TWebLabel(m_webAddress, this);
    connect(WebLabel, &TWebLabel::clicked, this, [this] { openAddress(m_webAddress); });

    SystemInfoButton = new QPushButton(QStringLiteral("系统信息(&S)"), this);
    SystemInfoButton->setAutoDefault(false);
    OkButton = new QPushButton(QStringLiteral("确定(&O)"), this);
    OkButton->setDefault(true);
    connect(SystemInfoButton, &QPushButton::clicked, this, [] { RunSystemInformationTool(); });
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(8);
    texts->addWidget(NameLabel);
    texts->addWidget(VersionLabel);
    texts->addWidget(corpPanel);
    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(IconLabel, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SystemInfoButton);
    buttons->addStretch();
    buttons->addWidget(OkButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addWidget(SupportLabel);
    layout->addWidget(WebLabel);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    setMinimumWidth(420);
}

QString FindSystemInformationTool()
{
    for (const QString& tool : SystemInformationTools) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

void RunSystemInformationTool()
{
    const QString tool = FindSystemInformationTool();
    if (tool.isEmpty() || !QProcess::startDetached(tool, {}))
        ShowInfo(QStringLiteral("本机没有找到可用的系统信息工具。"));
}
