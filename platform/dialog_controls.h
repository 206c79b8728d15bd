// Widgets for the controls of a dialog template.
#pragma once

#include "platform/dialog_template.h"

class QWidget;

// A new child of `parent` for the template control: the widget of its class
// (a plain QWidget placeholder for an unknown class) with the control's id,
// geometry, text and hidden/disabled state.
QWidget* CreateTemplateControl(const ControlTemplate& control, QWidget* parent);

// Whether `widget` is a box the user types text into: a line edit (a password
// edit and the edit of an editable combo box too), a multi-line edit, a spin
// box or a date and time edit. Space and Return belong to such a box.
bool IsTextBox(const QWidget* widget);
