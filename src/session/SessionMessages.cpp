#include "session/SessionMessages.h"

void ShowCaptioned(MessageKind kind, const QString& caption, const QString& text)
{
    CurrentMessagePresenter().show(kind, caption, text);
}
