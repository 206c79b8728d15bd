// How a test's failure message names a widget.
#pragma once

#include <string>

class QWidget;

// "CPTZDlg > CTransparentStatic#1046": the classes (with the control ids)
// from `root` down to `widget`.
std::string WidgetPath(const QWidget* widget, const QWidget* root);
