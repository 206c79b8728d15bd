#include "records/search/playback_slots.h"

#include <cstring>

#include "core/fixed_text.h"

int DayRowChannel(const DevInfo& dev) {
  if (dev.DevType == kDevTypeNvr) return dev.CurNVRChannel;
  if (dev.DevType != 0) return 0;
  const size_t length = strnlen(dev.DevName, sizeof(dev.DevName));
  if (length == 0) return 0;
  const char last = dev.DevName[length - 1];
  return last >= '0' && last <= '9' ? last - '0' : 0;
}

void SlotDeviceKey(const DevInfo& dev, bool cloudLogin, char (&key)[32]) {
  std::memset(key, 0, sizeof(key));
  const std::string source = cloudLogin ? FixedText(dev.DevId) : FixedText(dev.IPAddr);
  CopyFixedText(key, source.c_str());
}

int PlaybackSlots::FindFreeRow() {
  for (int tries = 0; tries < nRowCount; ++tries) {
    const int slot = nNextRow % nRowCount;
    if (!pb[slot].bPlaying && !vss[slot].bPlaying) return slot;
    ++nNextRow;
  }
  return -1;
}

bool PlaybackSlots::ShowsDevice(const char* key, int channel) const {
  for (const PlaybackStatus& slot : pb) {
    if (slot.nRow != -1 && slot.nChannel == channel && std::strncmp(slot.szDevKey, key, sizeof(slot.szDevKey)) == 0)
      return true;
  }
  return false;
}

bool PlaybackSlots::HoldsPlayer(int player) const {
  for (int i = 0; i < kPlaybackSlots; ++i) {
    if (pb[i].nPlayer == player || vss[i].nPlayer == player) return true;
  }
  return false;
}

DayFilePick PickDayFile(const RecDayInfo& day, int second) {
  DayFilePick pick;
  int index = 0;
  for (const RecDayFile& file : day.lstFile) {
    ++index;
    const bool after = second < file.nStartSecond;
    if (!after && second > file.nStartSecond + file.nSeconds) continue;
    pick.nIndex = index;
    pick.nOffset = after ? 0 : second - file.nStartSecond;
    pick.nStartSecond = file.nStartSecond;
    pick.strPath = file.strFilePath;
    break;
  }
  return pick;
}

int ChoosePlayer(const bool (&busy)[4], int selected, const PlaybackSlots* slots) {
  auto held = [slots](int i) { return slots != nullptr && slots->HoldsPlayer(i); };
  const bool pending = selected >= 0 && selected < 4 && !busy[selected];
  for (int i = 0; i < 4; ++i) {
    if (busy[i] || held(i)) continue;
    if (!pending || i == selected) return i;
  }
  return -1;
}
