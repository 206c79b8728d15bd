// Where the record-scheme page puts its controls for a client rectangle: two
// frames, the basic block (names, policy, trigger, paths) beside the two
// channel trees with Add and Remove between them, two record rows, seven span
// rows and the three scheme buttons below. The Russian texts are longer, so
// the record rows are wider in Russian.
#pragma once

#include <map>

#include "platform/win_types.h"

// Control id -> its rectangle (left, top, right, bottom) in the page.
// `policyWidth`: the width of the storage-policy and trigger combo boxes
// (their items must fit); the channel trees move right to make room.
std::map<int, RECT> RecPageLayout(const RECT& client, int language, int policyWidth = 120);

// The ids of the span rows' labels ("From" and "To" of row k = 1..7).
constexpr int kSpanFromLabel = 1210;  // 1210 .. 1216
constexpr int kSpanToLabel = 1217;    // 1217 .. 1223
