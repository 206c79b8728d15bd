// The record folder tree. Under every storage path of a scheme:
//
//   <storage path>\Record\<device folder>\Local\<kind>\<year>\<month>\<day>
//
// with the storage path exactly as the scheme stores it, the device folder
// name (DevName; "DevId-DevName" for an NVR channel), the kind word of the
// scheme's start type, and the date as plain decimal numbers (2026\3\7). The
// recorder writes the day's files there; the housekeeping thread and the
// record searches read the same tree.
#pragma once

#include <string>

struct DevInfo;

// "Schedule", "Motion" or "IO" for start types 0, 1, 2; null for any other.
const char* RecordKindWord(int startType);

// The device folder name of a device record; empty when the name would leave
// the tree (it holds a '\' or '/', or is "." or "..") or is empty.
std::string RecordDeviceFolder(const DevInfo& dev);

// "%s\Record\%s\Local\%s" of a storage path, device folder and kind word.
std::string RecordKindFolder(const std::string& storagePath, const std::string& deviceFolder, const char* kind);

// The day folder, with its trailing backslash.
std::string RecordDayFolder(const std::string& storagePath, const std::string& deviceFolder, const char* kind,
                            int year, int month, int day);

// Creates the folder and every missing parent (separators '\' or '/'; one
// trailing separator is ignored). True when the folder exists afterwards; a
// drive ("D:") is never created, only found.
bool CreateRecordFolder(const std::string& path);
