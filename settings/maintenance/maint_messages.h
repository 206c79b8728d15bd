// The maintenance messages sent to the maker's devices through the
// device-messaging control, and the decoding of their answers.
//
// Every request goes with WriteAUXStringEx(GimbroId, "SYSTEM_CONTROL_MESSAGE",
// code, 0, body). The answers come back as a packed code word (the command
// code in bits 0-23, the result in bits 24-31 taken by an arithmetic shift,
// so a negative result stays negative; 0 = success) and a text; the event
// sink posts them to the maintenance page (live/streams/gimbro_events.h).
//
// No widgets here: the page calls these.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace maint {

constexpr char kMessageType[] = "SYSTEM_CONTROL_MESSAGE";

enum Code : LONG {
  kConfigRestore = 1002,    // empty body; the answer of result 0 is followed by a reboot
  kSystemTimeSet = 1005,    // TimeBody
  kSystemReboot = 1007,     // empty body
  kUpgradeResult = 1009,    // sent by the device after a firmware upgrade
  kSystemVersionGet = 1012, // empty body; answer: RESPONSE_PARAM FileSystemVersion
  kStorageInfo = 1014,      // empty body; answer: RESPONSE_PARAM with one child per disk
  kStorageFormat = 1017,    // StorageBody
  kStorageUnmount = 1018,   // StorageBody
};

// The configuration file of a device, fetched by a configuration download.
constexpr char kConfigFilePath[] = "/mnt/nand/config.xml";

// The three storage panels, in the order the answer lists the disks.
constexpr int kStoragePanels = 3;
// The disk a panel formats or unmounts: "sd1", "sd2", "usb"; null past the panels.
const char* StorageName(int panel);
// "<REQUEST_PARAM DevName = \"sd1\" />" for panel 0, and so on; empty past the panels.
std::string StorageBody(int panel);

// The clock of this computer at one instant: its local date and time and the
// time-zone bias in minutes (UTC minus local time, 480 west of UTC by 8 h).
struct LocalClock {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  long biasMinutes = 0;
};
// The clock at `when` in the process's time zone. The bias is the one in
// force at that instant, daylight saving included, so that the local time and
// the zone sent with it always name the same instant.
LocalClock ClockAt(std::time_t when);
// "<REQUEST_PARAM  Time=\"YYYYMMDD hh:mm:ss\"  TimeZone=\"<720 - bias>\" />"
// (two blanks before Time and before TimeZone).
std::string TimeBody(const LocalClock& clock);

// The two halves of an answer's code word.
struct Reply {
  LONG code = 0;
  LONG result = 0;
};
Reply SplitReply(LONG word);

// The FileSystemVersion of a version answer; nothing when the text is not
// XML, its root is not RESPONSE_PARAM or the attribute is missing or empty.
std::optional<std::string> ParseVersion(const std::string& text);

// One disk of a storage answer, its attributes as the device wrote them.
struct Disk {
  std::string name;   // DevName
  bool mounted = false;
  std::string total, used, free, percent;  // megabytes / per cent, decimal text
};
// The disks of a storage answer in order (every child element, whatever its
// name); nothing when the text is not XML or its root is not RESPONSE_PARAM.
std::optional<std::vector<Disk>> ParseStorage(const std::string& text);

// What a panel shows for one disk: the four label texts and the state of its
// two buttons. `captions` are the bare captions "Total space", "Used space",
// "Free space", "Percent" and the "Unmount" mark, in the display language.
struct PanelCaptions {
  std::string total, used, free, percent, unmounted;
};
struct PanelView {
  std::string labels[4];
  bool formatEnabled = false;
  bool unmountEnabled = false;
};
PanelView ViewOfDisk(const Disk& disk, const PanelCaptions& captions);
// The labels of a panel without a disk: "<caption> :".
PanelView EmptyPanel(const PanelCaptions& captions);

}  // namespace maint
