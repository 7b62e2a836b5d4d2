#include "session/FunctionWindow.h"

#include "foundation/UtilsApp.h"
#include "session/Rights.h"
#include "session/UserLog.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QSet>

namespace {

QSet<QAction*> actionsOf(QWidget* window)
{
    QSet<QAction*> actions;
    for (QAction* action : window->findChildren<QAction*>())
        actions.insert(action);
    for (QAction* action : window->actions())
        actions.insert(action);
    for (QWidget* child : window->findChildren<QWidget*>()) {
        for (QAction* action : child->actions())
            actions.insert(action);
    }
    return actions;
}

QWidget* visibleMainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(widget) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

} // namespace

void SetRightsTag(QAction* action, int tag)
{
    action->setProperty(RightsTagProperty, tag);
}

int RightsTag(const QAction* action)
{
    return action->property(RightsTagProperty).toInt();
}

bool IsHiddenByRights(const QAction* action)
{
    return action->property(RightsHiddenProperty).toBool();
}

void HideActionsByTag(QWidget* window, int tag)
{
    if (!window)
        return;
    for (QAction* action : actionsOf(window)) {
        if (RightsTag(action) != tag)
            continue;
        action->setProperty(RightsHiddenProperty, true);
        action->setEnabled(false);
        action->setVisible(false);
    }
}

bool OpenFunctionWindow(std::unique_ptr<QDialog> window, int funKey, const QString& funParam)
{
    ApplySystemFont(window.get());
    QWidget* mainWindow = visibleMainWindow();
    // Stacked over the main window; its lifetime stays with the opener.
    if (mainWindow && !window->parentWidget())
        window->setParent(mainWindow, window->windowFlags());
    if (const std::optional<TFunctionRights> rights = FindFunctionRights(funKey)) {
        if (rights->IsOpen.has_value() && !*rights->IsOpen)
            return false;
        if (rights->IsOperate.has_value() && !*rights->IsOperate)
            HideActionsByTag(window.get(), rtOperate);
        if (rights->IsPrint.has_value() && !*rights->IsPrint)
            HideActionsByTag(window.get(), rtPrint);
    }
    if (auto* target = dynamic_cast<TStartParameterTarget*>(window.get()); target && !funParam.isEmpty())
        target->ApplyStartParameter(funParam);

    const QString caption = window->windowTitle();
    WriteUserLog(caption, QStringLiteral("打开"));
    if (mainWindow)
        mainWindow->repaint();
    window->exec();
    WriteUserLog(caption, QStringLiteral("关闭"));
    return true;
}
