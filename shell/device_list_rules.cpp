#include "shell/device_list_rules.h"

#include <cstdlib>
#include <cstring>

#include "core/fixed_text.h"
#include "core/gbk_search.h"
#include "shell/dev_tree_model.h"

DropTarget ChooseDropTarget(int hostCode, int curModule, int devType) {
  // The main window's panel follows the module; the TV-wall and e-map
  // managers' panels always drop on their own window.
  int target = -1;
  if (hostCode == kHostMainWnd) target = curModule;
  else if (hostCode == kHostTvWall) target = kModuleWall;
  else if (hostCode == kHostMap) target = kModuleMap;
  switch (target) {
    case kModuleLive:
      return DropTarget::kVideoWnd;
    case kModuleWall:
      return devType == kDevTypeDecoder ? DropTarget::kTvWallDecoder : DropTarget::kTvWallChannel;
    case kModuleMap:
      return DropTarget::kMap;
    default:
      return DropTarget::kNone;
  }
}

namespace {

// A cloud login opens a device only with the login name and password the device manager gave it.
bool LacksCloudLogin(const DevInfo& dev, int loginType) {
  return loginType != 0 && (FixedTextView(dev.LoginName).empty() || FixedTextView(dev.LoginPsw).empty());
}

}  // namespace

UINT WatchRefusal(const DevInfo& dev, int loginType) {
  if (dev.nOnline == 0) return kStrDevOffline;
  if (LacksCloudLogin(dev, loginType)) return kStrNoDevLogin;
  return 0;
}

void ResetIpcResolution(DevInfo& dev) {
  if (dev.DevType != kDevTypeIpc) return;
  // The first text of Resolution (its first 20 bytes) is the one the grid uses.
  CopyFixedText(dev.Resolution, sizeof dev.DefRes, std::string(FixedTextView(dev.DefRes)).c_str());
}

bool SearchBoxMatch(const CString& itemText, const CString& pattern) {
  const bool wildcards = pattern.find('*') != CString::npos;
  return MatchNameFilter(itemText, pattern, wildcards ? FALSE : TRUE, '*') != FALSE;
}

UINT RunGroupAutoPlay(const std::vector<DevInfo*>& records, int gridCount, int loginType,
                      const GroupPlayCalls& calls) {
  int grid = 0;
  int pane = 0;
  for (DevInfo* dev : records) {
    if (dev == nullptr) continue;
    if (calls.memoryOverLimit && calls.memoryOverLimit()) return kStrMemoryTooLarge;
    if (LacksCloudLogin(*dev, loginType)) return kStrNoDevLogin;
    if (dev->nOnline == 0) continue;
    ResetIpcResolution(*dev);
    while (calls.addWatch(grid, pane, dev) == kPaneBeyondLayout) {
      if (++grid >= gridCount) return 0;  // no grid left
      pane = 0;
    }
    ++pane;
  }
  return 0;
}

std::string RelayInviteKey(const std::string& mac, const std::string& ip) { return mac + ":" + ip; }

int RelayChannelNumber(int kind, const std::string& devName) {
  constexpr int kKindVideoServer = 0;
  constexpr int kKindNvr = 4;
  if (kind == kKindVideoServer) {
    if (devName.empty()) return 0;
    const char last = devName.back();
    return last >= '0' && last <= '9' ? last - '0' : 0;
  }
  if (kind == kKindNvr) {
    const size_t dash = devName.rfind('-');
    if (dash == std::string::npos) return 0;
    return atoi(devName.c_str() + dash + 1);
  }
  return 0;
}

int RelayStreamSelector(int streamWord, int mainGridPanes, bool autoSwitchStream) {
  const bool fewPanes = mainGridPanes == 1 || mainGridPanes == 4 || mainGridPanes == 6 || mainGridPanes == 8;
  return autoSwitchStream && fewPanes ? 1 : streamWord;
}
