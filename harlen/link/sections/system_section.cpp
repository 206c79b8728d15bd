// The device sections: systemparam (section 2), systemmanage (read only) and
// common (section 1).
//
//   systemparam   monitorcfg: resolution, brightness, contrast, saturation,
//                   chroma, transparency, language, windowsmode, autologoutmin,
//                   patrolenable, patrolinterval
//                 systeminfo: compiletime, timezone, mainver, guiver, hwver
//                 SummerTime: enable, offset; start and end with month, week,
//                   weekday, hour
//                 devicecfg: name, id, serial, channelnum, hdnum, alarmin,
//                   alarmout, supportchl, RSystem, mode
//   systemmanage  autoreboot: mode and the fields of that mode
//   common        Holiday (period per period, then row), loglevel, setipctime
#include <strings.h>
#include <tinyxml.h>

#include <cstring>
#include <string>

#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/sections/section_rules.h"
#include "harlen/link/xml/section_xml.h"

const char* const kLogFlagNames[kLogFlags] = {
    "GUI",  "MC",  "TCP", "USR",  "AUD",   "PTZ",      "ALMACT", "EVTLOG", "VR",     "HEAD",
    "CLI",  "PLAT", "PB", "FILE", "MDS",   "PATH",     "CFG",    "EMAIL",  "SMS",    "PROTO",
    "SYSPARAM", "KEY", "VIDEOD", "AUDIOP", "AUDIOS", "FATR", "FATP", "FSM", "IPVS",
};

namespace {

const char* const kWeekdays[7] = {"sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday"};
const char* const kHolidayModes[3] = {"bydate", "byweek", "bymonth"};

bool TextIs(const char* text, const char* word) { return text != nullptr && strcasecmp(text, word) == 0; }

void LoadSummerTimePoint(const TiXmlElement* e, SummerTimePoint& point) {
  point.month = static_cast<uint8_t>(AttrInt(e, "month") & 0x0F);
  point.week = static_cast<uint8_t>(AttrInt(e, "week") & 0x0F);
  point.weekday = static_cast<uint8_t>(AttrInt(e, "weekday") & 0x0F);
  point.hour = static_cast<uint8_t>(AttrInt(e, "hour"));
}

TiXmlElement* GenSummerTimePoint(const char* name, const SummerTimePoint& point) {
  auto* e = new TiXmlElement(name);
  e->SetAttribute("month", point.month);
  e->SetAttribute("week", point.week);
  e->SetAttribute("weekday", point.weekday);
  e->SetAttribute("hour", point.hour);
  return e;
}

const char* ModeText(uint8_t mode) {
  switch (mode) {
    case kMode720P:
      return "720P";
    case kMode960P:
      return "960P";
    case kMode1080P:
      return "1080P";
    default:
      return "no";
  }
}

int LoadSystemInfo(const TiXmlElement* e, SystemInfo& info) {
  info.compiletime = static_cast<uint32_t>(AttrInt(e, "compiletime"));
  info.timezone = InRange(AttrInt(e, "timezone"), -12, 12, 0);
  AttrText(e, "mainver", info.mainver);
  AttrText(e, "guiver", info.guiver);
  AttrText(e, "hwver", info.hwver);
  HarlenTrace("compiletime %s timezone %d mainver %s guiver %s hwver %s", TraceTimeText(info.compiletime).c_str(),
              info.timezone, info.mainver, info.guiver, info.hwver);
  return 0;
}

int LoadDeviceCfg(const TiXmlElement* e, DeviceCfg& device) {
  AttrText(e, "name", device.name);
  AttrText(e, "serial", device.serial);
  device.id = static_cast<uint32_t>(AttrInt(e, "id"));
  device.channelnum = static_cast<uint8_t>(AttrInt(e, "channelnum"));
  device.hdnum = static_cast<uint8_t>(AttrInt(e, "hdnum"));
  device.alarmin = static_cast<uint8_t>(AttrInt(e, "alarmin"));
  device.alarmout = static_cast<uint8_t>(AttrInt(e, "alarmout"));
  device.videoSystem = TextIs(e->Attribute("RSystem"), "NTSC") ? 1 : 0;
  const uint32_t supportchl = static_cast<uint32_t>(AttrInt(e, "supportchl"));
  device.supportchl = supportchl < 5 ? supportchl : 0;
  const char* mode = e->Attribute("mode");
  device.mode = TextIs(mode, "960P") ? kMode960P : TextIs(mode, "1080P") ? kMode1080P : kMode720P;
  HarlenTrace("name %s id %u serial %s channelnum %u hdnum %u alarmin %u alarmout %u RSystem %u supportchl %u mode %u",
              device.name, device.id, device.serial, device.channelnum, device.hdnum, device.alarmin, device.alarmout,
              device.videoSystem, device.supportchl, device.mode);
  return 0;
}

int LoadMonitorCfg(const TiXmlElement* e, MonitorCfg& monitor) {
  monitor.resolution = static_cast<uint8_t>(AttrInt(e, "resolution"));
  monitor.brightness = static_cast<uint8_t>(AttrInt(e, "brightness"));
  monitor.contrast = static_cast<uint8_t>(AttrInt(e, "contrast"));
  monitor.saturation = static_cast<uint8_t>(AttrInt(e, "saturation"));
  monitor.chroma = static_cast<uint8_t>(AttrInt(e, "chroma"));
  monitor.transparency = static_cast<uint8_t>(AttrInt(e, "transparency"));
  monitor.language = static_cast<uint8_t>(AttrInt(e, "language"));
  monitor.windowsmode = static_cast<uint8_t>(AttrInt(e, "windowsmode"));
  monitor.autologoutmin = static_cast<uint16_t>(AttrInt(e, "autologoutmin"));
  monitor.patrolenable = static_cast<uint8_t>(AttrInt(e, "patrolenable"));
  monitor.patrolinterval = static_cast<uint32_t>(AttrInt(e, "patrolinterval"));
  return 0;
}

int LoadSummerTime(const TiXmlElement* e, SummerTime& summer) {
  summer.enable = AsFlag(AttrInt(e, "enable"));
  summer.offset = static_cast<uint16_t>(AttrInt(e, "offset"));
  const TiXmlElement* start = e->FirstChildElement("start");
  if (start == nullptr) {
    HarlenTrace("start element not found. return.");
    return -1;
  }
  LoadSummerTimePoint(start, summer.start);
  const TiXmlElement* end = e->FirstChildElement("end");
  if (end == nullptr) {
    HarlenTrace("end element not found. return.");
    return -1;
  }
  LoadSummerTimePoint(end, summer.end);
  return 0;
}

// A required child of systemparam: -1 with the traces of a missing or failing one.
template <class Load>
int LoadPart(const TiXmlElement* parent, const char* name, Load load) {
  const TiXmlElement* e = parent->FirstChildElement(name);
  if (e == nullptr) {
    HarlenTrace("%s element not found. return.", name);
    return -1;
  }
  if (load(e) != 0) {
    HarlenTrace("xml load %s cfg error\n", name);
    return -1;
  }
  return 0;
}

// One holiday period; false for a mode that is none of the three words.
bool LoadHolidayPeriod(const TiXmlElement* e, HolidayPeriod& period) {
  const char* mode = e->Attribute("mode");
  if (mode != nullptr && std::strcmp(mode, kHolidayModes[kHolidayByDate]) == 0) {
    period.mode = kHolidayByDate;
    period.bydate.fromyear = static_cast<uint16_t>(AttrInt(e, "fromyear"));
    period.bydate.frommonth = static_cast<uint8_t>(AttrInt(e, "frommonth"));
    period.bydate.fromday = static_cast<uint8_t>(AttrInt(e, "fromday"));
    period.bydate.toyear = static_cast<uint16_t>(AttrInt(e, "toyear"));
    period.bydate.tomonth = static_cast<uint8_t>(AttrInt(e, "tomonth"));
    period.bydate.today = static_cast<uint8_t>(AttrInt(e, "today"));
  } else if (mode != nullptr && std::strcmp(mode, kHolidayModes[kHolidayByWeek]) == 0) {
    period.mode = kHolidayByWeek;
    period.byweek.frommonth = static_cast<uint8_t>(AttrInt(e, "frommonth"));
    period.byweek.fromweek = static_cast<uint8_t>(AttrInt(e, "fromweek"));
    period.byweek.fromweekday = static_cast<uint8_t>(AttrInt(e, "fromweekday"));
    period.byweek.tomonth = static_cast<uint8_t>(AttrInt(e, "tomonth"));
    period.byweek.toweek = static_cast<uint8_t>(AttrInt(e, "toweek"));
    period.byweek.toweekday = static_cast<uint8_t>(AttrInt(e, "toweekday"));
  } else if (mode != nullptr && std::strcmp(mode, kHolidayModes[kHolidayByMonth]) == 0) {
    period.mode = kHolidayByMonth;
    period.bymonth.frommonth = static_cast<uint8_t>(AttrInt(e, "frommonth"));
    period.bymonth.fromday = static_cast<uint8_t>(AttrInt(e, "fromday"));
    period.bymonth.tomonth = static_cast<uint8_t>(AttrInt(e, "tomonth"));
    period.bymonth.today = static_cast<uint8_t>(AttrInt(e, "today"));
  } else {
    HarlenTrace("holiday mode %s error. egnored.", mode != nullptr ? mode : "");
    return false;
  }
  return true;
}

TiXmlElement* GenHolidayPeriod(const HolidayPeriod& period) {
  auto* e = new TiXmlElement("period");
  switch (period.mode) {
    case kHolidayByDate:
      e->SetAttribute("mode", kHolidayModes[kHolidayByDate]);
      e->SetAttribute("fromyear", period.bydate.fromyear);
      e->SetAttribute("frommonth", period.bydate.frommonth);
      e->SetAttribute("fromday", period.bydate.fromday);
      e->SetAttribute("toyear", period.bydate.toyear);
      e->SetAttribute("tomonth", period.bydate.tomonth);
      e->SetAttribute("today", period.bydate.today);
      break;
    case kHolidayByWeek:
      e->SetAttribute("mode", kHolidayModes[kHolidayByWeek]);
      e->SetAttribute("frommonth", period.byweek.frommonth);
      e->SetAttribute("fromweek", period.byweek.fromweek);
      e->SetAttribute("fromweekday", period.byweek.fromweekday);
      e->SetAttribute("tomonth", period.byweek.tomonth);
      e->SetAttribute("toweek", period.byweek.toweek);
      e->SetAttribute("toweekday", period.byweek.toweekday);
      break;
    default:  // by month
      e->SetAttribute("mode", kHolidayModes[kHolidayByMonth]);
      e->SetAttribute("frommonth", period.bymonth.frommonth);
      e->SetAttribute("fromday", period.bymonth.fromday);
      e->SetAttribute("tomonth", period.bymonth.tomonth);
      e->SetAttribute("today", period.bymonth.today);
      break;
  }
  return e;
}

}  // namespace

int CHarlenLoader::LoadSystemParam(const TiXmlElement* systemparam, SystemParam& cfg) {
  TraceSectionBanner("CHarlenLoader::LoadSystemParam");
  ClearRecord(cfg);
  if (systemparam == nullptr) return -1;
  if (LoadPart(systemparam, "systeminfo", [&](const TiXmlElement* e) { return LoadSystemInfo(e, cfg.systeminfo); }) != 0 ||
      LoadPart(systemparam, "devicecfg", [&](const TiXmlElement* e) { return LoadDeviceCfg(e, cfg.devicecfg); }) != 0 ||
      LoadPart(systemparam, "monitorcfg", [&](const TiXmlElement* e) { return LoadMonitorCfg(e, cfg.monitorcfg); }) != 0 ||
      LoadPart(systemparam, "SummerTime", [&](const TiXmlElement* e) { return LoadSummerTime(e, cfg.summerTime); }) != 0) {
    return -1;
  }
  return 0;
}

int CHarlenLoader::LoadSystemManage(const TiXmlElement* systemmanage, SystemManage& cfg) {
  TraceSectionBanner("CHarlenLoader::LoadSystemManage");
  ClearRecord(cfg);
  const TiXmlElement* reboot = systemmanage != nullptr ? systemmanage->FirstChildElement("autoreboot") : nullptr;
  if (reboot == nullptr) {
    HarlenTrace("autoreboot element not found. return.");
    return -1;
  }
  const char* mode = reboot->Attribute("mode");
  if (TextIs(mode, "everyday") || TextIs(mode, "everyweek")) {
    cfg.mode = TextIs(mode, "everyday") ? kRebootEveryDay : kRebootEveryWeek;
    cfg.hour = static_cast<uint16_t>(AttrInt(reboot, "hour"));
    cfg.min = static_cast<uint16_t>(AttrInt(reboot, "min"));
    cfg.nexttime = static_cast<uint32_t>(AttrInt(reboot, "nexttime"));
    if (cfg.mode == kRebootEveryWeek) {
      for (int day = 0; day < 7; ++day) {
        if (AttrInt(reboot, kWeekdays[day]) != 0) cfg.weekdays |= static_cast<uint8_t>(1u << day);
      }
    }
  } else if (TextIs(mode, "singletime")) {
    cfg.mode = kRebootSingleTime;
    cfg.SetSingleTime(static_cast<uint32_t>(AttrInt(reboot, "time")));
    cfg.nexttime = static_cast<uint32_t>(AttrInt(reboot, "nexttime"));
  } else {
    cfg.mode = kRebootDisable;
    HarlenTrace("disabled.");
  }
  HarlenTrace("mode %u hour %u min %u weekdays 0x%02X nexttime %s", cfg.mode, cfg.hour, cfg.min, cfg.weekdays,
              TraceTimeText(cfg.nexttime).c_str());
  return 0;
}

int CHarlenLoader::LoadCommon(const TiXmlElement* common, CommonCfg& cfg) {
  TraceSectionBanner("CHarlenLoader::LoadCommon");
  ClearRecord(cfg);
  if (common == nullptr) return -1;
  int result = 0;
  if (const TiXmlElement* holiday = common->FirstChildElement("Holiday"); holiday != nullptr) {
    const uint32_t announced = static_cast<uint32_t>(AttrInt(holiday, "row"));
    cfg.holidayCount = ForEachRow(holiday, "period", kHolidayPeriods, [&](const TiXmlElement* row, unsigned taken) {
      return LoadHolidayPeriod(row, cfg.holidays[taken]) ? Row::kTaken : Row::kSkipped;
    });
    if (announced != cfg.holidayCount) {
      HarlenTrace("holiday configure num %u not equal to %u in fact..", announced, cfg.holidayCount);
    }
  } else {
    HarlenTrace("holiday element not found. return.");
    result = -1;
  }
  const TiXmlElement* loglevel = common->FirstChildElement("loglevel");
  if (loglevel == nullptr) {
    HarlenTrace("log level element not found. return.");
    result = -1;
  }
  for (int i = 0; i < kLogFlags; ++i) {
    cfg.loglevel[i] = static_cast<uint32_t>(AttrInt(loglevel, kLogFlagNames[i], kDefaultLogLevel));
  }
  if (const TiXmlElement* setipctime = common->FirstChildElement("setipctime"); setipctime != nullptr) {
    cfg.setipctime = static_cast<uint32_t>(AttrInt(setipctime, "enable"));
  } else {
    HarlenTrace("log set ipc time not found. return.");
    cfg.setipctime = 1;
    result = -1;
  }
  HarlenTrace("holidays %u setipctime %u", cfg.holidayCount, cfg.setipctime);
  return result;
}

// ---- builders

TiXmlElement* CHarlenGenXMLNode::GenSystemParam(const SystemParam& cfg) {
  auto* root = new TiXmlElement("systemparam");
  const MonitorCfg& m = cfg.monitorcfg;
  TiXmlElement* monitor = AddChild(root, "monitorcfg");
  monitor->SetAttribute("resolution", m.resolution);
  monitor->SetAttribute("brightness", m.brightness);
  monitor->SetAttribute("contrast", m.contrast);
  monitor->SetAttribute("saturation", m.saturation);
  monitor->SetAttribute("chroma", m.chroma);
  monitor->SetAttribute("transparency", m.transparency);
  monitor->SetAttribute("language", m.language);
  monitor->SetAttribute("windowsmode", m.windowsmode);
  monitor->SetAttribute("autologoutmin", m.autologoutmin);
  monitor->SetAttribute("patrolenable", m.patrolenable);
  SetAttrUint(monitor, "patrolinterval", m.patrolinterval);

  const SystemInfo& s = cfg.systeminfo;
  TiXmlElement* info = AddChild(root, "systeminfo");
  SetAttrUint(info, "compiletime", s.compiletime);
  info->SetAttribute("timezone", s.timezone);
  SetAttrText(info, "mainver", s.mainver);
  SetAttrText(info, "guiver", s.guiver);
  SetAttrText(info, "hwver", s.hwver);

  TiXmlElement* summer = AddChild(root, "SummerTime");
  summer->SetAttribute("enable", cfg.summerTime.enable);
  summer->SetAttribute("offset", cfg.summerTime.offset);
  AddChild(summer, GenSummerTimePoint("start", cfg.summerTime.start));
  AddChild(summer, GenSummerTimePoint("end", cfg.summerTime.end));

  const DeviceCfg& d = cfg.devicecfg;
  TiXmlElement* device = AddChild(root, "devicecfg");
  SetAttrText(device, "name", d.name);
  SetAttrUint(device, "id", d.id);
  SetAttrText(device, "serial", d.serial);
  device->SetAttribute("channelnum", d.channelnum);
  device->SetAttribute("hdnum", d.hdnum);
  device->SetAttribute("alarmin", d.alarmin);
  device->SetAttribute("alarmout", d.alarmout);
  SetAttrUint(device, "supportchl", d.supportchl);
  device->SetAttribute("RSystem", d.videoSystem == 1 ? "NTSC" : "PAL");
  device->SetAttribute("mode", ModeText(d.mode));
  return root;
}

TiXmlElement* CHarlenGenXMLNode::GenCommon(const CommonCfg& cfg) {
  auto* root = new TiXmlElement("common");
  TiXmlElement* holiday = AddChild(root, "Holiday");
  const unsigned periods = Capped(cfg.holidayCount, kHolidayPeriods);
  for (unsigned i = 0; i < periods; ++i) AddChild(holiday, GenHolidayPeriod(cfg.holidays[i]));
  holiday->SetAttribute("row", static_cast<int>(periods));
  TiXmlElement* loglevel = AddChild(root, "loglevel");
  for (int i = 0; i < kLogFlags; ++i) SetAttrUint(loglevel, kLogFlagNames[i], cfg.loglevel[i]);
  SetAttrUint(AddChild(root, "setipctime"), "enable", cfg.setipctime);
  return root;
}

int CHarlenSaveString::SaveConfSystemParam(const SystemParam& cfg, std::string& text) {
  text = PrintSectionText(GenSystemParam(cfg));
  return 0;
}

int CHarlenSaveString::SaveConfCommon(const CommonCfg& cfg, std::string& text) {
  text = PrintSectionText(GenCommon(cfg));
  return 0;
}
