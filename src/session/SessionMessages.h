#pragma once

#include "foundation/Messages.h"

// Boxes of the session windows carry their own captions rather than the application title.
inline const QString InfoCaption = QStringLiteral("信息");
inline const QString ErrorCaption = QStringLiteral("错误");

void ShowCaptioned(MessageKind kind, const QString& caption, const QString& text);
