// Measuring the texts of a window against their controls: the walk over the
// visible controls below a window, the checks of a text drawn on one line or
// wrapped in a rectangle, and the report. The checks of each program's own
// controls (vemo's skinned buttons and statics, Harlen's lists) are laid on it.
#pragma once

#include <QFont>
#include <QString>
#include <functional>
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

using Misfits = std::vector<TextMisfit>;

// "CDlgMain > CTabCtrlEx#1000 > QLabel": the chain from `root` down to `widget`.
std::string MisfitWhere(const QWidget* widget, const QWidget* root);

// One line across: the text's advance (without '&') and `extra` against
// `width`; then, unless `height` is 0, the font's height against `height`.
void CheckTextLine(const QWidget* w, const QFont& font, const QString& text, int extra, int width, int height,
                   Misfits& out, const QWidget* root);
// Text wrapped at word breaks inside the control: every word must fit across
// and the lines must fit down.
void CheckWrappedText(const QWidget* w, const QFont& font, const QString& text, Misfits& out, const QWidget* root);

// The plain Qt controls: a label (one line or wrapped), a check box or radio
// button, a push button and a group box title. False for any other control.
bool CheckPlainControl(const QWidget* w, Misfits& out, const QWidget* root);

// Runs `check` on `root` and on every control below it that is visible in it
// and drawn in its window (menus, message boxes and tool tips are windows of
// their own), and returns what the checks found.
Misfits MisfitsBelow(const QWidget* root, const std::function<void(const QWidget*, Misfits&)>& check);

// One line per misfit, for a failure message.
std::string Describe(const Misfits& misfits);
