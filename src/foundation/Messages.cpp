#include "foundation/Messages.h"

#include "foundation/Errors.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

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
        QInputDialog dialog(QApplication::activeWindow());
        dialog.setWindowTitle(caption.isEmpty() ? QStringLiteral("输入") : caption);
        dialog.setLabelText(prompt.isEmpty() ? QStringLiteral("请输入内容：") : prompt);
        dialog.setTextValue(value);
        dialog.setOkButtonText(QStringLiteral("确定(&O)"));
        dialog.setCancelButtonText(QStringLiteral("取消(&C)"));
        if (dialog.exec() != QDialog::Accepted)
            return false;
        value = dialog.textValue();
        return true;
    }

    bool pickDate(const QString&, QDate&) override { return false; }

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
