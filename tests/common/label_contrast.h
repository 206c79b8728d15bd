// Labels that are hard to read: every shown and enabled label, check box,
// radio button, group box title and skinned button caption below a window
// whose text colour stands too close to the background the window draws under
// it. The contrast is the ratio of the two colours' relative luminances
// ((L1 + 0.05) / (L2 + 0.05)), which ordinary text needs at 4.5 or more.
//
// Any window's test calls it after showing the window as a person sees it:
//   EXPECT_TRUE(LabelsHardToRead(&window).empty()) << Describe(LabelsHardToRead(&window));
#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <vector>

class QWidget;

struct LowContrast {
  std::string where;  // class, control id and the chain of parents
  QString text;
  QColor foreground;  // the colour the text is drawn in
  QColor background;  // the colour most of the text's rectangle shows
  double ratio = 0;
};

constexpr double kReadableContrast = 4.5;

// (L1 + 0.05) / (L2 + 0.05) of the lighter and the darker colour: 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);

// The texts below `root` (root included) whose contrast is below `minimum`.
// The background is read from the window's own picture (QWidget::grab of its
// window) inside each text's rectangle: the most common colour there, leaving
// out the pixels of the text's own colour.
std::vector<LowContrast> LabelsHardToRead(const QWidget* root, double minimum = kReadableContrast);

// One line per text, for a test's failure message.
std::string Describe(const std::vector<LowContrast>& labels);
