// Widgets for the controls of a dialog template.
#pragma once

#include "platform/dialog_template.h"

class QWidget;

// A new child of `parent` for the template control: the widget of its class
// (a plain QWidget placeholder for an unknown class) with the control's id,
// geometry, text and hidden/disabled state.
QWidget* CreateTemplateControl(const ControlTemplate& control, QWidget* parent);
