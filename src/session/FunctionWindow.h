#pragma once

#include <QString>
#include <memory>

class QAction;
class QDialog;
class QWidget;

// Every action of a function window carries its rights tag in this dynamic property:
// 0 (or absent) for viewing, filtering, refreshing and closing, 1 for changing data,
// 2 for printing and exporting.
inline constexpr char RightsTagProperty[] = "rightsTag";
// Set on an action HideActionsByTag took away, so that a window's own enabling logic can
// leave it hidden.
inline constexpr char RightsHiddenProperty[] = "rightsHidden";

enum TRightsTag { rtView = 0, rtOperate = 1, rtPrint = 2 };

void SetRightsTag(QAction* action, int tag);
int RightsTag(const QAction* action);
bool IsHiddenByRights(const QAction* action);

// Disables and hides every action of the window (its own and those of its child widgets)
// whose rights tag equals `tag`.
void HideActionsByTag(QWidget* window, int tag);

// A function window that reacts to a start parameter ("Add" for the book list, "Loan",
// "Return" or "Reloan" for the circulation desk); other windows ignore parameters.
class TStartParameterTarget
{
public:
    virtual ~TStartParameterTarget() = default;
    virtual void ApplyStartParameter(const QString& FunParam) = 0;
};

// The one way function windows are opened: checks the open right of `funKey` in AccQuery
// (a function missing there is unrestricted), hides the actions the user may not use,
// applies the start parameter, logs "打开", shows the window modally, logs "关闭" and frees
// it. False when the right was missing and nothing was shown. A failing log entry raises
// before the window is shown; the window is freed all the same.
bool OpenFunctionWindow(std::unique_ptr<QDialog> window, int funKey, const QString& funParam = {});

template <class Window>
bool OpenFunctionWindow(int funKey, const QString& funParam = {})
{
    return OpenFunctionWindow(std::make_unique<Window>(), funKey, funParam);
}
