// Where the users page places its controls for a client rectangle: the group,
// user and role parts each a quarter of the height less the caption part.
// The rights row is one row on a page wide enough for it and two rows on a
// narrower one, so that every right's text shows whole.
#pragma once

#include <QRect>
#include <map>

// The page width from which the rights stand in one row.
inline constexpr int kUserPageOneRightsRow = 1240;

// Control id to rectangle, for every control the page places.
std::map<int, QRect> UserPageLayout(const QRect& client);
