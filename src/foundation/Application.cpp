#include "foundation/Application.h"

#include "foundation/Errors.h"
#include "foundation/Messages.h"

#include <QWidget>

TVelmoraApplication::TVelmoraApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    ApplyInterfaceFont(*this);
}

bool TVelmoraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
}

void TVelmoraApplication::HandleException(std::exception_ptr error)
{
    QString message;
    try {
        std::rethrow_exception(error);
    } catch (const SilentAbort&) {
        return;
    } catch (const AppError& appError) {
        message = appError.message();
    } catch (const std::exception& other) {
        message = QString::fromLocal8Bit(other.what());
    } catch (...) {
        message = QStringLiteral("发生未知错误。");
    }
    if (QWidget* window = QApplication::activeWindow())
        window->activateWindow();
    ShowError(message);
}

void ApplyInterfaceFont(QApplication& app)
{
    QFont font = app.font();
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans")});
    if (font.pointSizeF() < 10)
        font.setPointSizeF(10);
    app.setFont(font);
}
