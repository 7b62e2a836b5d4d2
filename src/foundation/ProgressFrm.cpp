#include "foundation/ProgressFrm.h"

#include "foundation/UtilsApp.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TProgressForm::TProgressForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(QStringLiteral("进度"));
    setModal(false);
    TitleLabel = new QLabel(this);
    WaitLabel = new QLabel(QStringLiteral("请稍等..."), this);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setMinimum(0);
    ProgressBar->setTextVisible(false);
    PercentLabel = new QLabel(this);
    CountLabel = new QLabel(this);
    StopButton = new QPushButton(QStringLiteral("停止(&S)"), this);

    auto* figures = new QHBoxLayout;
    figures->addWidget(PercentLabel);
    figures->addStretch();
    figures->addWidget(CountLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(StopButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TitleLabel);
    layout->addWidget(WaitLabel);
    layout->addWidget(ProgressBar);
    layout->addLayout(figures);
    layout->addLayout(buttons);
    setMinimumWidth(360);
    ApplySystemFont(this);

    // Escape rejects a dialog, which hides it: the same as pressing Stop.
    connect(StopButton, &QPushButton::clicked, this, &QDialog::reject);
}

TProgressService::TProgressService() : m_form(new TProgressForm) {}

TProgressService::~TProgressService()
{
    delete m_form;
}

QString TProgressService::Title() const
{
    return m_form->TitleLabel->text();
}

void TProgressService::SetTitle(const QString& title)
{
    m_form->TitleLabel->setText(title);
    m_form->repaint();
}

int TProgressService::Max() const
{
    return m_form->ProgressBar->maximum();
}

void TProgressService::SetMax(int max)
{
    m_form->ProgressBar->setMinimum(0);
    m_form->ProgressBar->setMaximum(qMax(0, max));
    m_form->ProgressBar->setValue(0);
    updateDisplay();
}

int TProgressService::Position() const
{
    return qMax(0, m_form->ProgressBar->value());
}

void TProgressService::Start()
{
    m_form->show();
    m_form->raise();
    updateDisplay();
}

void TProgressService::StepIt()
{
    if (Position() < Max())
        m_form->ProgressBar->setValue(Position() + 1);
    updateDisplay();
}

bool TProgressService::IsStoped() const
{
    return m_form->isHidden() && Position() < Max();
}

void TProgressService::updateDisplay()
{
    const int position = Position();
    const int max = Max();
    const int percent = max == 0 ? 0 : int(qint64(position) * 100 / max);
    m_form->PercentLabel->setText(QStringLiteral("%1%").arg(percent));
    m_form->CountLabel->setText(QStringLiteral("%1/%2").arg(position).arg(max));
    if (m_form->isVisible())
        m_form->repaint();
    if (position >= max)
        m_form->hide();
}

namespace {

TProgressService* instance = nullptr;

void freeProgressService()
{
    delete instance;
    instance = nullptr;
}

} // namespace

TProgressService& ProgressService()
{
    if (!instance) {
        instance = new TProgressService;
        qAddPostRoutine(freeProgressService);
    }
    return *instance;
}
