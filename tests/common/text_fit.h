// Texts that do not fit their controls: every visible label, check box, radio
// button, push button, group box, skinned button caption, combo box item, list
// column title and table cell below a window is measured in the font it is
// drawn with against the rectangle it is drawn in (less the frame and padding
// its style draws around it).
#pragma once

#include "common/text_fit_measure.h"

// The controls of `root` (root included) that are visible in it and whose text
// is cut, wraps out of its rectangle or runs over its neighbours.
std::vector<TextMisfit> TextsThatDoNotFit(const QWidget* root);
