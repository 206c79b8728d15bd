// Texts of Harlen's windows that do not fit their controls: every visible
// label, check box, radio button, push button, group box title, tab, list
// column title and drop-list item below a window, measured in the font it is
// drawn with against the room its control gives it.
#pragma once

#include "tests/common/text_fit_measure.h"

Misfits HarlenTextsThatDoNotFit(const QWidget* root);
