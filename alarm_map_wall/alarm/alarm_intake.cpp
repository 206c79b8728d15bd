#include "alarm_map_wall/alarm/alarm_intake.h"

#include "alarm_map_wall/alarm/alarm_types.h"
#include "core/dev_info.h"
#include "core/fixed_text.h"
#include "platform/string_table.h"
#include "relay/login/vss_info.h"

namespace {

bool Filtered(int type, int filterAlarm) { return filterAlarm != 0 && (type == 1 || type == 2); }

AlarmIntake Dropped(const AlarmRecord& record) {
  AlarmIntake intake;
  intake.record = record;
  return intake;
}

AlarmIntake Take(const AlarmKind& kind, const AlarmRecord& record) {
  AlarmIntake intake = Dropped(record);
  if (kind.dropped) return intake;
  intake.accepted = true;
  intake.text = kind.stringId != 0 ? LoadStringA(kind.stringId) : std::string();
  intake.soundClass = kind.soundClass;
  intake.timeValue = AlarmTimeValue(record);
  intake.timeText = AlarmTimeText(record);
  return intake;
}

}  // namespace

AlarmIntake TakeLocalAlarm(int devType, AlarmRecord record, int filterAlarm) {
  if (record.year < kFirstAlarmYear) record.year = kFirstAlarmYear;
  if (Filtered(record.type, filterAlarm)) return Dropped(record);
  return Take(AlarmKindOf(devType, record.type, record.subFlag), record);
}

AlarmIntake TakeRemoteAlarm(const AlarmRecord& record, int filterAlarm) {
  if (Filtered(record.type, filterAlarm)) return Dropped(record);
  return Take(GeneralAlarmKind(record.type, record.subFlag), record);
}

AlarmReport MakeAlarmReport(const std::string& localMac, const DevInfo& dev, const AlarmRecord& record) {
  AlarmReport report;
  char key[260] = {};
  CopyFixedText(key, FormatDeviceKey(localMac.c_str(), FixedText(dev.IPAddr).c_str()).c_str());
  report.key = key;
  const std::string_view name = FixedTextView(dev.DevName);
  if (dev.DevType == 0 && !name.empty() && name.back() >= '0' && name.back() <= '9') report.channel = name.back() - '0';
  report.record = RelayRecordOf(record);
  return report;
}

RelayDevice* FindRelayDevice(const char* mac, const char* ip) {
  if (mac == nullptr || ip == nullptr) return nullptr;
  for (Vemo2Node& server : g_lstVssInfo) {
    for (RelayDevice& device : server.lstRelayDevice) {
      if (FixedTextView(device.MACAddr) == mac && FixedTextView(device.IPAddr) == ip) return &device;
    }
  }
  return nullptr;
}
