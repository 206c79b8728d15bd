// The colours of texts drawn on the skin's pictures, chosen so that each reads
// at 4.5:1 or more against what it stands on: the light button faces and tab
// pictures, and the dark-slate pages.
#pragma once

#include "platform/win_types.h"

class QWidget;

namespace skin {

// The caption of the chosen button or tab, and of a button under the mouse: a
// dark orange that reads on the light faces.
constexpr COLORREF kMarkedCaption = 0x0040A0;
// Labels, check boxes, radio buttons and group titles on a dark page.
constexpr COLORREF kLabelOnDark = 0xE3E5E6;

// `page`, drawn on a dark picture, and the controls on it show their labels
// in kLabelOnDark (their window text). Disabled labels stay a step dimmer.
// The spin boxes and date pickers below it, which draw their arrows in the
// window text on their light field, keep the toolkit's colour; called again
// once the page's controls are made, it keeps them so too.
void UseLabelsOnDark(QWidget* page);

}  // namespace skin
