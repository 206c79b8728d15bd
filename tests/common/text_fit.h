// Texts that do not fit their controls: every visible label, check box, radio
// button, push button, group box, skinned button caption, combo box item and
// list column title below a window is measured in the font it is drawn with
// against the rectangle it is drawn in (less the frame and padding its style
// draws around it).
#pragma once

#include <QString>
#include <string>
#include <vector>

class QWidget;

struct TextMisfit {
  std::string where;  // class, control id and the chain of parents
  QString text;
  int needed = 0;     // pixels, across (or down for wrapped text)
  int available = 0;
  bool operator==(const TextMisfit&) const = default;
};

// The controls of `root` (root included) that are visible in it and whose text
// is cut, wraps out of its rectangle or runs over its neighbours.
std::vector<TextMisfit> TextsThatDoNotFit(const QWidget* root);

// One line per misfit, for a test's failure message.
std::string Describe(const std::vector<TextMisfit>& misfits);
