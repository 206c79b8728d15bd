// Texts that do not fit their controls: every visible label, check box, radio
// button, push button, group box and skinned button caption below a window is
// measured in the font it is drawn with against the rectangle it is drawn in.
#pragma once

#include "tests/common/text_fit_measure.h"

// The controls of `root` (root included) that are visible in it and whose text
// is cut, wraps out of its rectangle or runs over its neighbours.
std::vector<TextMisfit> TextsThatDoNotFit(const QWidget* root);
