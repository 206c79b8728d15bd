// The text of a window or control, as Qt text.
//
// Labels, buttons (also check boxes and radios), line edits, text edits, group
// boxes (their title) and combo boxes (the edit text of an editable one, the
// shown item of a fixed list) carry their own text; any other widget, a
// top-level window above all, uses its window title.
#pragma once

#include <QString>

#include "platform/win_types.h"

class QWidget;

// FALSE for a null widget, or a fixed-list combo box without that item.
BOOL SetWindowTextW(QWidget* widget, const QString& text);
QString GetWindowTextW(const QWidget* widget);  // empty for a null widget
