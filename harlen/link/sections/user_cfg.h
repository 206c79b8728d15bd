// Section 17 (usercfg), the NVR's user accounts, and the records of the
// control texts (command 4401 / 4402): device time, disk format progress,
// disk status, stream rates and online users.
#pragma once

#include <cstdint>

constexpr int kNvrUsers = 32;

struct NvrUser {
  char username[16];
  char password[16];
  uint32_t iplimit;
  uint32_t priority;
  char rightbit[64];
};

struct UserCfg {
  uint32_t count;
  NvrUser users[kNvrUsers];
};

// Set with control code 3, read from status 4100.
struct DeviceTime {
  int32_t timezone;
  uint16_t year;
  uint16_t month;
  uint8_t day;
  uint8_t hour;
  uint8_t minute;
  uint8_t second;
};

// Replies to control code 1 while a disk is formatted.
struct FormatProgress {
  char disk[256];
  int32_t result;
  int32_t value;
};

constexpr int kNvrDisks = 32;

enum DiskMode : uint16_t { kDiskOther = 0, kDiskRecord = 1, kDiskBackup = 2 };

struct DiskStatusEntry {
  uint16_t mode;   // DiskMode
  uint16_t inUse;  // the "using" attribute, 0 or 1
  uint32_t formated;
  uint32_t spacetotal;
  uint32_t spaceused;
  uint32_t covertimes;
  char disk[64];
};

struct DiskStatus {
  uint32_t count;
  DiskStatusEntry disks[kNvrDisks];
};

struct StreamRate {
  uint16_t kbs_main;
  uint16_t kbs_aux;
  uint16_t mbh_main;
  uint16_t mbh_aux;
};

// Entry i is channel i + 1.
struct StreamRates {
  uint32_t count;
  StreamRate channels[16];
};

struct OnlineUser {
  char name[16];
  uint32_t ip;
  uint32_t mode;
  int64_t time;  // login time: seconds since 1 January 1970, UTC
};

struct OnlineUsers {
  uint32_t count;
  OnlineUser users[kNvrUsers];
};
