// Widths at which a control shows its texts whole.
#pragma once

class QComboBox;

// The width at which every item of `combo` fits its text field (the box's
// frame and arrow around the widest item's text).
int ComboWidthForItems(const QComboBox* combo);

// The list that `combo` opens is wide enough for its every item, also when
// the box itself is narrower.
void ShowItemsWhole(QComboBox* combo);
