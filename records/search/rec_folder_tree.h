// The record folder tree as its readers see it: under a storage path the levels
// "Record", the device folder, the source ("Local"), the kind ("Schedule", "IO",
// "Motion"), then year, month and day as plain decimal numbers. A record file in
// a day folder starts its name with its start time (hhmmss) and ends in ".avi".
#pragma once

#include <string>

struct DevInfo;

// The kinds of recording, in the order the searches visit them.
constexpr const char* kRecKindSchedule = "Schedule";
constexpr const char* kRecKindIo = "IO";
constexpr const char* kRecKindMotion = "Motion";
constexpr const char* kRecSourceLocal = "Local";

// The device's folder name: its DevName, or DevId "-" DevName for an NVR channel.
std::string RecDeviceFolderName(const DevInfo& dev);

// "<storage>\Record\<device>\<source>\<kind>\<y>\<m>\<d>\*.*"
std::string RecDayFolderPattern(const char* storagePath, const std::string& deviceFolder,
                                const char* source, const char* kind, int year, int month, int day);

// The number written by the (at most two) decimal digits of `name` at `at`:
// the first character that is not a digit ends it, an empty number is 0, and
// characters past the end of the name are not read.
int RecNameNumber(const std::string& name, size_t at);

// Start time of a record file in seconds of the day, from the first six
// characters of its name (hour, minute, second).
int RecNameStartSecond(const std::string& name);

// A record file name as the readers accept it: ends in ".avi" exactly
// (lower case).
bool IsRecFileName(const std::string& name);
