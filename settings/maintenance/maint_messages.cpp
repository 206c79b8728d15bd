#include "settings/maintenance/maint_messages.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gimbro/gimbro.h"

namespace maint {

namespace {

const TiXmlElement* AnswerRoot(const TiXmlDocument& doc) {
  const TiXmlElement* root = doc.RootElement();
  return root != nullptr && std::strcmp(root->Value(), "RESPONSE_PARAM") == 0 ? root : nullptr;
}

std::string Attribute(const TiXmlElement& element, const char* name) {
  const char* value = element.Attribute(name);
  return value != nullptr ? value : "";
}

// "Total" is zero when its decimal text reads 0 (as atoi reads it).
bool IsZero(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 10) == 0; }

std::string Label(const std::string& caption, const std::string& value, const char* unit) {
  return caption + " : " + value + unit;
}

}  // namespace

const char* StorageName(int panel) {
  static const char* const kNames[kStoragePanels] = {"sd1", "sd2", "usb"};
  return panel >= 0 && panel < kStoragePanels ? kNames[panel] : nullptr;
}

std::string StorageBody(int panel) {
  const char* name = StorageName(panel);
  return name != nullptr ? std::string("<REQUEST_PARAM DevName = \"") + name + "\" />" : std::string();
}

LocalClock ClockAt(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  LocalClock clock;
  clock.year = local.tm_year + 1900;
  clock.month = local.tm_mon + 1;
  clock.day = local.tm_mday;
  clock.hour = local.tm_hour;
  clock.minute = local.tm_min;
  clock.second = local.tm_sec;
  // tm_gmtoff is local time minus UTC, daylight saving included.
  clock.biasMinutes = -local.tm_gmtoff / 60;
  return clock;
}

std::string TimeBody(const LocalClock& c) {
  char body[128];
  std::snprintf(body, sizeof body, "<REQUEST_PARAM  Time=\"%04d%02d%02d %02d:%02d:%02d\"  TimeZone=\"%ld\" />", c.year,
                c.month, c.day, c.hour, c.minute, c.second, 720 - c.biasMinutes);
  return body;
}

Reply SplitReply(LONG word) { return Reply{GimbroResponseCode(word), GimbroResponseFlag(word)}; }

std::optional<std::string> ParseVersion(const std::string& text) {
  TiXmlDocument doc;
  doc.Parse(text.c_str());
  if (doc.Error()) return std::nullopt;
  const TiXmlElement* root = AnswerRoot(doc);
  if (root == nullptr) return std::nullopt;
  std::string version = Attribute(*root, "FileSystemVersion");
  if (version.empty()) return std::nullopt;
  return version;
}

std::optional<std::vector<Disk>> ParseStorage(const std::string& text) {
  TiXmlDocument doc;
  doc.Parse(text.c_str());
  if (doc.Error()) return std::nullopt;
  const TiXmlElement* root = AnswerRoot(doc);
  if (root == nullptr) return std::nullopt;
  std::vector<Disk> disks;
  for (const TiXmlElement* e = root->FirstChildElement(); e != nullptr; e = e->NextSiblingElement()) {
    Disk disk;
    disk.name = Attribute(*e, "DevName");
    int mounted = 0;
    disk.mounted = e->QueryIntAttribute("Mounted", &mounted) == TIXML_SUCCESS && mounted != 0;
    disk.total = Attribute(*e, "Total");
    disk.used = Attribute(*e, "Used");
    disk.free = Attribute(*e, "Free");
    disk.percent = Attribute(*e, "Percent");
    disks.push_back(std::move(disk));
  }
  return disks;
}

PanelView ViewOfDisk(const Disk& disk, const PanelCaptions& captions) {
  PanelView view;
  view.labels[0] = Label(captions.total, disk.total, "(MB)") + (disk.mounted ? "" : captions.unmounted);
  view.labels[1] = Label(captions.used, disk.used, "(MB)");
  view.labels[2] = Label(captions.free, disk.free, "(MB)");
  view.labels[3] = Label(captions.percent, disk.percent, "%");
  view.unmountEnabled = disk.mounted;
  view.formatEnabled = disk.mounted || !IsZero(disk.total);
  return view;
}

PanelView EmptyPanel(const PanelCaptions& captions) {
  PanelView view;
  view.labels[0] = captions.total + " :";
  view.labels[1] = captions.used + " :";
  view.labels[2] = captions.free + " :";
  view.labels[3] = captions.percent + " :";
  return view;
}

}  // namespace maint
