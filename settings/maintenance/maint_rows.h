// The rows of the maintenance page's device list and the page's busy flags:
// what each row's last operation is doing, how a progress answer moves it on,
// and when a transfer still counts as running.
//
// A row is known by its device's address (the IP address column): the list
// may be sorted, so positions say nothing. The texts shown for a status are
// the page's (string table); this file only keeps the state.
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

namespace maint {

enum class Status {
  kNone,
  kFirmwareUploading,    // "Firmware Uploading" with the per cent
  kUpgrading,            // the firmware was taken whole; the device upgrades
  kUploadFailed,
  kUpgradeFailed,        // the device said the upgrade failed
  kConfigUploading,      // "Config file upload" with the per cent
  kConfigUploadSuccess,
  kConfigUploadFailed,
  kConfigDownloading,    // "Config file download" with the per cent
  kConfigDownloadSuccess,
  kConfigDownloadFailed,
  kRebooting,
  kRefused,              // the device does not offer the operation
};

// The three transfers, each with its progress timer.
enum class Transfer { kFirmware, kConfigUpload, kConfigDownload };

struct Row {
  std::string devId;    // "Device Name" column
  std::string ip;       // "IP Address" column, the key
  Status status = Status::kNone;
  int percent = -1;     // the highest per cent 0..99 of a running transfer; -1 none yet
  int quietTicks = 0;   // progress ticks since the per cent last rose
  std::string version;  // "File System Version" column
};

struct BusyFlags {
  int upgrade = 0;
  int configUpload = 0;
  int download = 0;
  int format = 0;
  int unmount = 0;
};

// The status a transfer's rows show while it runs, when it ended well, and
// when it failed.
Status RunningStatus(Transfer t);
Status FinishedStatus(Transfer t);
Status FailedStatus(Transfer t);

// A transfer whose per cent has not risen for this many ticks (one a second)
// has stalled: its row fails.
constexpr int kStallTicks = 300;

// One progress answer for a row that runs transfer `t`: 0..99 keeps it
// running at the highest per cent seen (a lower one is a late answer), 100
// finishes it, -1 fails it; other values (no news) leave it running. A row
// whose per cent has not risen for kStallTicks answers fails. True when the
// row still runs.
bool TakeProgress(Row& row, Transfer t, LONG progress);

// Whether transfer `t` still runs after a tick: a row running it (at any per
// cent) - and for the firmware, a row that upgrades.
bool StillRunning(const std::vector<Row>& rows, Transfer t);

}  // namespace maint
