// Control ids of child widgets.
//
// A control of a window carries its numeric id (the template's control id) as
// the dynamic property "ctrlId"; windows find their controls by it.
#pragma once

class QWidget;

namespace ctrlid {

void Set(QWidget* control, int id);
int Of(const QWidget* control);  // 0 when the widget has no id

// The direct child of `parent` with this id, or null.
QWidget* Find(const QWidget* parent, int id);

}  // namespace ctrlid
