#include "live/patrol/grid_patrol_step.h"

#include <iterator>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/fixed_text.h"
#include "live/live_messages.h"
#include "platform/post_message.h"

namespace {

const PatrolRunPoint& PointAt(const PatrolSlot& slot, int index) {
  return *std::next(slot.lstPoints.begin(), index);
}

bool PointOnline(const PatrolSlot& slot, int index, const PatrolOnlineTest& online) {
  return online && online(FixedText(PointAt(slot, index).szDevKey));
}

// Moves one active slot on by one tick; true when it is to show a point.
bool AdvanceSlot(PatrolSlot& slot, const PatrolOnlineTest& online, PatrolPost& post) {
  const int count = static_cast<int>(slot.lstPoints.size());
  if (count == 0) return false;
  int chosen = -1;
  if (slot.nCurPoint < 0 || slot.nCurPoint >= count) {
    for (int i = 0; i < count && chosen < 0; ++i) {
      if (PointOnline(slot, i, online)) chosen = i;
    }
    if (chosen < 0) return false;
    slot.nCurPoint = chosen;
  } else {
    if (++slot.nDwellCount < slot.nDwellTime) return false;
    for (int tries = 0; tries < count; ++tries) {
      slot.nCurPoint = (slot.nCurPoint + 1) % count;
      slot.nDwellCount = 0;
      if (PointOnline(slot, slot.nCurPoint, online)) {
        chosen = slot.nCurPoint;
        break;
      }
    }
    if (chosen < 0) return false;
  }
  const PatrolRunPoint& point = PointAt(slot, chosen);
  slot.nDwellTime = point.nStayTime;
  post.key = FixedText(point.szDevKey);
  post.stayTime = point.nStayTime;
  return !post.key.empty();
}

}  // namespace

std::vector<PatrolPost> AdvancePatrolSlots(std::vector<PatrolSlot>& patrolSlots, const PatrolOnlineTest& online) {
  std::vector<PatrolPost> posts;
  // Taken inside the grid's patrol lock (see the header for the order).
  CsLock appLock(&g_csAppData);
  for (int i = 0; i < static_cast<int>(patrolSlots.size()); ++i) {
    if (!patrolSlots[i].bActive) continue;
    PatrolPost post;
    post.pane = i;
    if (AdvanceSlot(patrolSlots[i], online, post)) posts.push_back(std::move(post));
  }
  return posts;
}

PatrolTick MakeGridPatrolTick(RelayKeyStateFn relayState) {
  PatrolOnlineTest online = [relayState = std::move(relayState)](const std::string& key) {
    return PatrolKeyOnline(key, relayState);
  };
  return [online = std::move(online)](std::vector<PatrolSlot>& patrolSlots, HWND grid) {
    for (const PatrolPost& post : AdvancePatrolSlots(patrolSlots, online)) {
      PostText(grid, WM_PATROL_POINT, static_cast<WPARAM>(post.pane), post.key.c_str());
      WriteLog(6, "CB_Patrol:Add a patrol point watch, DevName = %s, staytime = %d", post.key.c_str(),
               post.stayTime);
    }
  };
}
