// Section 17 (usercfg) and the control texts.
//
//   usercfg   user (up to 32): iplimit, priority, username, password, rightbit
//   requests  disk path                          (control code 1, format)
//             settime timezone, year, month, day, hour, minute, second (code 3)
//   replies   root attributes of settime (4100) and of the format progress
//             (code 1: disk, result, value); children disk (4097), channel
//             (4098) and user (4099) of the root
#include <tinyxml.h>

#include <cstring>
#include <string>

#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/sections/nvr_ctrl_loader.h"
#include "harlen/link/sections/section_rules.h"
#include "harlen/link/xml/section_xml.h"

int CHarlenLoader::LoadUserCfg(const TiXmlElement* usercfg, UserCfg& cfg) {
  TraceSectionBanner("CHarlenLoader::LoadUserCfg");
  ClearRecord(cfg);
  if (usercfg == nullptr) return -1;
  cfg.count = ForEachRow(usercfg, "user", kNvrUsers, [&](const TiXmlElement* row, unsigned taken) {
    NvrUser& user = cfg.users[taken];
    user.iplimit = static_cast<uint32_t>(AttrInt(row, "iplimit"));
    user.priority = static_cast<uint32_t>(AttrInt(row, "priority"));
    AttrText(row, "username", user.username);
    AttrText(row, "password", user.password);
    AttrText(row, "rightbit", user.rightbit);
    HarlenTrace("get user %s.", user.username);
    return Row::kTaken;
  });
  return 0;
}

TiXmlElement* CHarlenGenXMLNode::GenUserCfg(const UserCfg& cfg) {
  auto* root = new TiXmlElement("usercfg");
  for (unsigned i = 0; i < Capped(cfg.count, kNvrUsers); ++i) {
    const NvrUser& user = cfg.users[i];
    TiXmlElement* row = AddChild(root, "user");
    SetAttrUint(row, "iplimit", user.iplimit);
    SetAttrUint(row, "priority", user.priority);
    SetAttrText(row, "username", user.username);
    SetAttrText(row, "password", user.password);
    SetAttrText(row, "rightbit", user.rightbit);
  }
  return root;
}

TiXmlElement* CHarlenGenXMLNode::GenCtrlFormatDisk(const char* disk) {
  auto* e = new TiXmlElement("disk");
  e->SetAttribute("path", disk != nullptr ? disk : "");
  return e;
}

TiXmlElement* CHarlenGenXMLNode::GenCtrlSetTime(const DeviceTime& time) {
  auto* e = new TiXmlElement("settime");
  e->SetAttribute("timezone", time.timezone);
  e->SetAttribute("year", time.year);
  e->SetAttribute("month", time.month);
  e->SetAttribute("day", time.day);
  e->SetAttribute("hour", time.hour);
  e->SetAttribute("minute", time.minute);
  e->SetAttribute("second", time.second);
  return e;
}

int CHarlenSaveString::SaveConfUserCfg(const UserCfg& cfg, std::string& text) {
  text = PrintSectionText(GenUserCfg(cfg));
  return 0;
}

int CHarlenSaveString::SaveCtrlFormatDisk(const char* disk, std::string& text) {
  text = PrintControlText(GenCtrlFormatDisk(disk));
  return 0;
}

int CHarlenSaveString::SaveCtrlSetTime(const DeviceTime& time, std::string& text) {
  text = PrintControlText(GenCtrlSetTime(time));
  return 0;
}

// ---- control replies

namespace {

// The root element of a reply text, or null (with the trace of what went wrong).
const TiXmlElement* ParseReply(std::string_view text, TiXmlDocument& doc) {
  if (text.empty()) return nullptr;
  if (!ParseXmlText(text, doc)) {
    HarlenTrace("xml parse error: %s.", doc.ErrorDesc());
    return nullptr;
  }
  return doc.RootElement();
}

}  // namespace

int CNvrCtrlLoader::Load_settime(std::string_view text, DeviceTime& time) {
  TraceSectionBanner("CNvrCtrlLoader::Load_settime");
  TiXmlDocument doc;
  const TiXmlElement* root = ParseReply(text, doc);
  if (root == nullptr) return -1;
  ClearRecord(time);
  time.timezone = AttrInt(root, "timezone");
  time.year = static_cast<uint16_t>(AttrInt(root, "year"));
  time.month = static_cast<uint16_t>(AttrInt(root, "month"));
  time.day = static_cast<uint8_t>(AttrInt(root, "day"));
  time.hour = static_cast<uint8_t>(AttrInt(root, "hour"));
  time.minute = static_cast<uint8_t>(AttrInt(root, "minute"));
  time.second = static_cast<uint8_t>(AttrInt(root, "second"));
  HarlenTrace("time %04u-%02u-%02u %02u:%02u:%02u zone %d", time.year, time.month, time.day, time.hour, time.minute,
              time.second, time.timezone);
  return 0;
}

int CNvrCtrlLoader::Load_formatprogress(std::string_view text, FormatProgress& progress) {
  TraceSectionBanner("CNvrCtrlLoader::Load_formatprogress");
  TiXmlDocument doc;
  const TiXmlElement* root = ParseReply(text, doc);
  if (root == nullptr) return -1;
  ClearRecord(progress);
  AttrText(root, "disk", progress.disk);
  progress.result = AttrInt(root, "result");
  progress.value = AttrInt(root, "value");
  HarlenTrace("disk %s result %d value %d", progress.disk, progress.result, progress.value);
  return 0;
}

int CNvrCtrlLoader::Load_status_disk(std::string_view text, DiskStatus& status) {
  TraceSectionBanner("CNvrCtrlLoader::Load_status_disk");
  TiXmlDocument doc;
  const TiXmlElement* root = ParseReply(text, doc);
  if (root == nullptr) return -1;
  ClearRecord(status);
  status.count = ForEachRow(
      root, "disk", kNvrDisks,
      [&](const TiXmlElement* row, unsigned i) {
        DiskStatusEntry& disk = status.disks[i];
        const char* mode = row->Attribute("mode");  // compared exactly
        disk.mode = mode == nullptr                      ? kDiskOther
                    : std::strcmp(mode, "record") == 0 ? kDiskRecord
                    : std::strcmp(mode, "backup") == 0 ? kDiskBackup
                                                         : kDiskOther;
        disk.inUse = AsFlag(AttrInt(row, "using"));
        AttrText(row, "disk", disk.disk);
        disk.formated = static_cast<uint32_t>(AttrInt(row, "formated"));
        disk.spacetotal = static_cast<uint32_t>(AttrInt(row, "spacetotal"));
        disk.spaceused = static_cast<uint32_t>(AttrInt(row, "spaceused"));
        disk.covertimes = static_cast<uint32_t>(AttrInt(row, "covertimes"));
        return Row::kTaken;
      },
      "Configured disk rows > %u, egnored.");
  HarlenTrace("disks %u", status.count);
  return 0;
}

int CNvrCtrlLoader::Load_status_coderate(std::string_view text, StreamRates& rates) {
  TraceSectionBanner("CNvrCtrlLoader::Load_status_coderate");
  TiXmlDocument doc;
  const TiXmlElement* root = ParseReply(text, doc);
  if (root == nullptr) return -1;
  ClearRecord(rates);
  rates.count = ForEachRow(
      root, "channel", 16,
      [&](const TiXmlElement* row, unsigned i) {
        rates.channels[i].kbs_main = static_cast<uint16_t>(AttrInt(row, "kbs_main"));
        rates.channels[i].kbs_aux = static_cast<uint16_t>(AttrInt(row, "kbs_aux"));
        rates.channels[i].mbh_main = static_cast<uint16_t>(AttrInt(row, "mbh_main"));
        rates.channels[i].mbh_aux = static_cast<uint16_t>(AttrInt(row, "mbh_aux"));
        return Row::kTaken;
      },
      "Configured rows > %u, egnored.");
  HarlenTrace("channels %u", rates.count);
  return 0;
}

int CNvrCtrlLoader::Load_status_onlineuser(std::string_view text, OnlineUsers& users) {
  TraceSectionBanner("CNvrCtrlLoader::Load_status_onlineuser");
  TiXmlDocument doc;
  const TiXmlElement* root = ParseReply(text, doc);
  if (root == nullptr) return -1;
  ClearRecord(users);
  users.count = ForEachRow(
      root, "user", kNvrUsers,
      [&](const TiXmlElement* row, unsigned i) {
        AttrText(row, "name", users.users[i].name);
        users.users[i].ip = static_cast<uint32_t>(AttrInt(row, "ip"));
        users.users[i].time = AttrInt64(row, "time");
        users.users[i].mode = static_cast<uint32_t>(AttrInt(row, "mode"));
        return Row::kTaken;
      },
      "Configured rows > %u, egnored.");
  HarlenTrace("online users %u", users.count);
  return 0;
}
