// Section 8 (AlarmLinkage): its loader, and a builder that writes the record
// back in the form the NVR sends it (names, order and encodings), so that the
// alarm and linkage edits of the pages reach the NVR.
//
//   AlarmLinkage
//     IpcAlarm    AlarmEntry AlarmType (up to 3), each with ChannelEntry Enable
//                 (up to 16): EnableTimeList enable, sched; TriggerMethod
//                 VoiceAlarm, MonitorAlarm, Email, SMS, NotifyCenter, TriggerIO;
//                 TriggerRecord ChnNum, ChnArray (MotionDetect entries only)
//     InputAlarm  PortEntry Enable (up to 4): EnableTimeList, TriggerMethod,
//                 TriggerRecord as above
//     SysAlarm    AlarmEntry (up to 6): AlarmType, VoiceAlarm, MonitorAlarm,
//                 NotifyCenter, TriggerIO
//
// The arming schedule text holds '1' for an armed hour, '0' for one not armed.
#include <tinyxml.h>

#include <cstring>
#include <string>

#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/sections/section_rules.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/section_xml.h"

namespace {

// Integer values of this section are kept in their low byte.
uint8_t LowByte(const TiXmlElement* e, const char* name) { return static_cast<uint8_t>(AttrInt(e, name)); }

void LoadArming(const TiXmlElement* parent, uint8_t& enable, SchedCell (&cells)[kSchedDays][kSchedHours]) {
  const TiXmlElement* e = parent->FirstChildElement("EnableTimeList");
  if (e == nullptr) return;
  enable = LowByte(e, "enable");
  const char* sched = e->Attribute("sched");
  ReadArmingText(sched != nullptr ? sched : "", cells);
}

void LoadTriggers(const TiXmlElement* parent, AlarmTriggers& trigger) {
  const TiXmlElement* e = parent->FirstChildElement("TriggerMethod");
  if (e == nullptr) return;
  trigger.VoiceAlarm = LowByte(e, "VoiceAlarm");
  trigger.MonitorAlarm = LowByte(e, "MonitorAlarm");
  trigger.Email = LowByte(e, "Email");
  trigger.SMS = LowByte(e, "SMS");
  trigger.NotifyCenter = LowByte(e, "NotifyCenter");
  trigger.TriggerIO = LowByte(e, "TriggerIO");
}

// ChnArray is a char[17]: sixteen characters of it are read, as many as are written.
void LoadRecordTrigger(const TiXmlElement* parent, uint8_t& chnNum, char (&chnArray)[17]) {
  const TiXmlElement* e = parent->FirstChildElement("TriggerRecord");
  if (e == nullptr) return;
  chnNum = LowByte(e, "ChnNum");
  AttrText(e, "ChnArray", chnArray);
}

void GenArming(TiXmlElement* parent, uint8_t enable, const SchedCell (&cells)[kSchedDays][kSchedHours]) {
  TiXmlElement* e = AddChild(parent, "EnableTimeList");
  e->SetAttribute("enable", enable);
  e->SetAttribute("sched", ArmingText(cells).c_str());
}

void GenTriggers(TiXmlElement* parent, const AlarmTriggers& trigger) {
  TiXmlElement* e = AddChild(parent, "TriggerMethod");
  e->SetAttribute("VoiceAlarm", trigger.VoiceAlarm);
  e->SetAttribute("MonitorAlarm", trigger.MonitorAlarm);
  e->SetAttribute("Email", trigger.Email);
  e->SetAttribute("SMS", trigger.SMS);
  e->SetAttribute("NotifyCenter", trigger.NotifyCenter);
  e->SetAttribute("TriggerIO", trigger.TriggerIO);
}

void GenRecordTrigger(TiXmlElement* parent, uint8_t chnNum, const char (&chnArray)[17]) {
  TiXmlElement* e = AddChild(parent, "TriggerRecord");
  e->SetAttribute("ChnNum", chnNum);
  SetAttrText(e, "ChnArray", chnArray);
}

bool IsMotionDetect(const char (&alarmType)[128]) { return FieldText(alarmType) == kMotionDetect; }

const TiXmlElement* RequiredPart(const TiXmlElement* parent, const char* name) {
  const TiXmlElement* e = parent->FirstChildElement(name);
  if (e == nullptr) HarlenTrace("%s element not found. return.", name);
  return e;
}

}  // namespace

int CHarlenLoader::LoadAlarmLinkage(const TiXmlElement* alarmLinkage, AlarmLinkage& cfg) {
  TraceSectionBanner("CHarlenLoader::LoadAlarmLinkage");
  ClearRecord(cfg);
  if (alarmLinkage == nullptr) return -1;

  const TiXmlElement* ipc = RequiredPart(alarmLinkage, "IpcAlarm");
  if (ipc == nullptr) return -1;
  cfg.ipcAlarmCount = static_cast<uint8_t>(
      ForEachRow(ipc, "AlarmEntry", kIpcAlarmTypes, [&](const TiXmlElement* entry, unsigned taken) {
        IpcAlarmEntry& alarm = cfg.ipcAlarm[taken];
        AttrText(entry, "AlarmType", alarm.AlarmType);
        const char* type = entry->Attribute("AlarmType");
        const bool motion = type != nullptr && std::strcmp(type, kMotionDetect) == 0;
        alarm.channelCount = static_cast<uint8_t>(
            ForEachRow(entry, "ChannelEntry", kIpcAlarmChannels, [&](const TiXmlElement* row, unsigned index) {
              AlarmChannelEntry& channel = alarm.channels[index];
              channel.Enable = LowByte(row, "Enable");
              LoadArming(row, channel.armingEnable, channel.arming);
              LoadTriggers(row, channel.trigger);
              if (motion) LoadRecordTrigger(row, channel.ChnNum, channel.ChnArray);
              return Row::kTaken;
            }));
        HarlenTrace("alarm type %s channels %u", alarm.AlarmType, alarm.channelCount);
        return Row::kTaken;
      }));

  const TiXmlElement* input = RequiredPart(alarmLinkage, "InputAlarm");
  if (input == nullptr) return -1;
  cfg.inputCount = static_cast<uint8_t>(ForEachRow(input, "PortEntry", kAlarmInputs, [&](const TiXmlElement* row, unsigned taken) {
    AlarmPortEntry& port = cfg.inputAlarm[taken];
    port.Enable = LowByte(row, "Enable");
    LoadArming(row, port.armingEnable, port.arming);
    LoadTriggers(row, port.trigger);
    LoadRecordTrigger(row, port.ChnNum, port.ChnArray);
    return Row::kTaken;
  }));

  const TiXmlElement* sys = RequiredPart(alarmLinkage, "SysAlarm");
  if (sys == nullptr) return -1;
  cfg.sysAlarmCount = static_cast<uint8_t>(ForEachRow(sys, "AlarmEntry", kSysAlarms, [&](const TiXmlElement* entry, unsigned taken) {
    SysAlarmEntry& alarm = cfg.sysAlarm[taken];
    AttrText(entry, "AlarmType", alarm.AlarmType);
    alarm.VoiceAlarm = LowByte(entry, "VoiceAlarm");
    alarm.MonitorAlarm = LowByte(entry, "MonitorAlarm");
    alarm.NotifyCenter = LowByte(entry, "NotifyCenter");
    alarm.TriggerIO = LowByte(entry, "TriggerIO");
    return Row::kTaken;
  }));
  HarlenTrace("ipc alarms %u inputs %u system alarms %u", cfg.ipcAlarmCount, cfg.inputCount, cfg.sysAlarmCount);
  return 0;
}

TiXmlElement* CHarlenGenXMLNode::GenAlarmLinkage(const AlarmLinkage& cfg) {
  auto* root = new TiXmlElement("AlarmLinkage");
  TiXmlElement* ipc = AddChild(root, "IpcAlarm");
  for (unsigned i = 0; i < Capped(cfg.ipcAlarmCount, kIpcAlarmTypes); ++i) {
    const IpcAlarmEntry& alarm = cfg.ipcAlarm[i];
    TiXmlElement* entry = AddChild(ipc, "AlarmEntry");
    SetAttrText(entry, "AlarmType", alarm.AlarmType);
    const bool motion = IsMotionDetect(alarm.AlarmType);
    for (unsigned c = 0; c < Capped(alarm.channelCount, kIpcAlarmChannels); ++c) {
      const AlarmChannelEntry& channel = alarm.channels[c];
      TiXmlElement* row = AddChild(entry, "ChannelEntry");
      row->SetAttribute("Enable", channel.Enable);
      GenArming(row, channel.armingEnable, channel.arming);
      GenTriggers(row, channel.trigger);
      if (motion) GenRecordTrigger(row, channel.ChnNum, channel.ChnArray);
    }
  }
  TiXmlElement* input = AddChild(root, "InputAlarm");
  for (unsigned i = 0; i < Capped(cfg.inputCount, kAlarmInputs); ++i) {
    const AlarmPortEntry& port = cfg.inputAlarm[i];
    TiXmlElement* row = AddChild(input, "PortEntry");
    row->SetAttribute("Enable", port.Enable);
    GenArming(row, port.armingEnable, port.arming);
    GenTriggers(row, port.trigger);
    GenRecordTrigger(row, port.ChnNum, port.ChnArray);
  }
  TiXmlElement* sys = AddChild(root, "SysAlarm");
  for (unsigned i = 0; i < Capped(cfg.sysAlarmCount, kSysAlarms); ++i) {
    const SysAlarmEntry& alarm = cfg.sysAlarm[i];
    TiXmlElement* entry = AddChild(sys, "AlarmEntry");
    SetAttrText(entry, "AlarmType", alarm.AlarmType);
    entry->SetAttribute("VoiceAlarm", alarm.VoiceAlarm);
    entry->SetAttribute("MonitorAlarm", alarm.MonitorAlarm);
    entry->SetAttribute("NotifyCenter", alarm.NotifyCenter);
    entry->SetAttribute("TriggerIO", alarm.TriggerIO);
  }
  return root;
}

int CHarlenSaveString::SaveConfAlarmLinkage(const AlarmLinkage& cfg, std::string& text) {
  text = PrintSectionText(GenAlarmLinkage(cfg));
  return 0;
}
