#include "settings/local/time_sync_settings.h"

#include <charconv>

#include "core/dev_info.h"
#include "core/login_logic.h"
#include "gimbro/gimbro.h"

namespace {

constexpr int kMaxSeconds = 999;  // the boxes take three digits

bool ParseSeconds(const std::string& typed, int minimum, int& out) {
  const std::string text = TrimBlanks(typed);
  if (text.empty()) return false;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  if (value < minimum || value > kMaxSeconds) return false;
  out = value;
  return true;
}

}  // namespace

bool ParseSyncFigures(const std::string& interval, const std::string& diff, SyncTimeInfo& out) {
  return ParseSeconds(interval, 1, out.interval) && ParseSeconds(diff, 0, out.diff);
}

UINT ApplyTimeSync(bool enable, const std::string& interval, const std::string& diff,
                   const std::list<DevInfo>& devices, const SyncSender& send) {
  SyncTimeInfo next = g_SyncTime;
  if (!ParseSyncFigures(interval, diff, next)) return kMsgSyncFiguresInvalid;
  next.enable = enable ? 1 : 0;
  if (next.enable == g_SyncTime.enable && next.interval == g_SyncTime.interval && next.diff == g_SyncTime.diff) {
    return 0;
  }
  g_SyncTime = next;
  for (const DevInfo& dev : devices) send(dev, g_SyncTime);
  return 0;
}

void SendTimeSyncThroughGimbro(const DevInfo& dev, const SyncTimeInfo& sync) {
  if (dev.pGimbroCtrl != nullptr) dev.pGimbroCtrl->SetTimeSync(dev.GimbroId, sync.enable, sync.diff, sync.interval);
}
