#include "foundation/Messages.h"

#include "foundation/Errors.h"
#include "foundation/MessageDialogs.h"
#include "foundation/UtilsApp.h"

#include <QApplication>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const QString OkCaption = QStringLiteral("确定(&O)");
const QString CancelCaption = QStringLiteral("取消(&C)");

// Sizes of the dialogs are given at 96 dpi and follow the screen's resolution.
int scaled(const QWidget* widget, int pixels)
{
    const qreal dpi = widget->logicalDpiX();
    return dpi > 0 ? qRound(pixels * dpi / 96.0) : pixels;
}

QHBoxLayout* buttonRow(QPushButton* ok, QPushButton* cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace

TInputTextForm::TInputTextForm(const QString& caption, const QString& prompt, const QString& value, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(caption.isEmpty() ? QStringLiteral("输入") : caption);
    PromptLabel = new QLabel(prompt.isEmpty() ? QStringLiteral("请输入内容：") : prompt, this);
    PromptLabel->setWordWrap(true);
    ValueEdit = new QLineEdit(value, this);
    ValueEdit->selectAll();
    OkButton = new QPushButton(OkCaption, this);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(CancelCaption, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PromptLabel);
    layout->addWidget(ValueEdit);
    layout->addLayout(buttonRow(OkButton, CancelButton));
    setMinimumWidth(scaled(this, 320));
    ApplySystemFont(this);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QString TInputTextForm::text() const
{
    return ValueEdit->text();
}

TPickDateForm::TPickDateForm(const QString& prompt, const QDate& date, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("选择日期"));
    PromptLabel = new QLabel(prompt, this);
    PromptLabel->setWordWrap(true);
    DateEdit = new QDateEdit(date.isValid() ? date : QDate::currentDate(), this);
    DateEdit->setCalendarPopup(true);
    DateEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    OkButton = new QPushButton(OkCaption, this);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(CancelCaption, this);
    const QSize buttonSize(scaled(this, 75), scaled(this, 25));
    OkButton->setFixedSize(buttonSize);
    CancelButton->setFixedSize(buttonSize);

    auto* layout = new QVBoxLayout(this);
    const int margin = scaled(this, 15);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(PromptLabel);
    layout->addWidget(DateEdit);
    layout->addStretch();
    layout->addLayout(buttonRow(OkButton, CancelButton));
    ApplySystemFont(this);
    setFixedSize(scaled(this, 313), scaled(this, 200));
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QDate TPickDateForm::date() const
{
    return DateEdit->date();
}

namespace {

class WidgetPresenter final : public MessagePresenter
{
public:
    void show(MessageKind kind, const QString& caption, const QString& text) override
    {
        QMessageBox box(iconOf(kind), caption, text, QMessageBox::Ok, QApplication::activeWindow());
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.exec();
    }

    bool confirm(const QString& caption, const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                        QApplication::activeWindow());
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
        return box.exec() == QMessageBox::Ok;
    }

    bool inputText(const QString& caption, const QString& prompt, QString& value) override
    {
        TInputTextForm dialog(caption, prompt, value, QApplication::activeWindow());
        if (dialog.exec() != QDialog::Accepted)
            return false;
        value = dialog.text();
        return true;
    }

    bool pickDate(const QString& prompt, QDate& date) override
    {
        TPickDateForm dialog(prompt, date, QApplication::activeWindow());
        if (dialog.exec() != QDialog::Accepted)
            return false;
        date = dialog.date();
        return true;
    }

private:
    static QMessageBox::Icon iconOf(MessageKind kind)
    {
        switch (kind) {
        case MessageKind::Info: return QMessageBox::Information;
        case MessageKind::Warning: return QMessageBox::Warning;
        case MessageKind::Error: return QMessageBox::Critical;
        case MessageKind::Question: return QMessageBox::Question;
        }
        return QMessageBox::NoIcon;
    }
};

MessagePresenter* installedPresenter = nullptr;

void showAndMaybeAbort(MessageKind kind, const QString& text, bool abort)
{
    CurrentMessagePresenter().show(kind, ApplicationTitle(), text);
    if (abort)
        throw SilentAbort();
}

} // namespace

void SetMessagePresenter(MessagePresenter* presenter)
{
    installedPresenter = presenter;
}

MessagePresenter& CurrentMessagePresenter()
{
    static WidgetPresenter widgets;
    return installedPresenter ? *installedPresenter : widgets;
}

QString ApplicationTitle()
{
    return QCoreApplication::applicationName();
}

void ShowInfo(const QString& text, bool abort)
{
    showAndMaybeAbort(MessageKind::Info, text, abort);
}

void ShowWarning(const QString& text, bool abort)
{
    showAndMaybeAbort(MessageKind::Warning, text, abort);
}

void ShowError(const QString& text, bool abort)
{
    showAndMaybeAbort(MessageKind::Error, text, abort);
}

bool Confirm(const QString& text)
{
    return CurrentMessagePresenter().confirm(ApplicationTitle(), text);
}

bool InputText(const QString& caption, const QString& prompt, QString& value)
{
    return CurrentMessagePresenter().inputText(caption, prompt, value);
}

bool PickDate(const QString& prompt, QDate& date)
{
    return CurrentMessagePresenter().pickDate(prompt, date);
}
