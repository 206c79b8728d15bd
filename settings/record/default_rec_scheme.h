// The default record scheme ("Default Strategy") of the record-scheme page and
// the configuration manager's default-recording button, without windows.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "core/rec_scheme.h"

class IRecEnvironment;

// The default scheme's name, "Default Strategy" in every language: it is stored
// in "RecInfo.xml" and compared exactly, so a scheme made under one interface
// language is still the default under another.
std::string DefaultSchemeName();

// The first scheme of that exact name, or null.
RecSchemeInfo* FindRecScheme(const std::list<RecSchemeInfo*>& schemes, const std::string& name);

// Whether the file system of `path` (the program's form, "D:\\Video\\") has at
// least 5 GB (5 x 1024^3 bytes) free, as the recording thread measures it
// (the drives of `env`), so that a path the page accepts is one the recording
// thread records to. false when the space cannot be measured.
bool HasEnoughSpace(IRecEnvironment& env, const std::string& path);

// The first three of the drives "D:\\" to "K:\\" (in that order) that have
// enough space; every candidate is tested.
std::vector<std::string> DefaultStoragePaths(IRecEnvironment& env);

// A new default scheme (heap; the caller owns it): off, overwrite when full,
// 5 s pre-recording, 1800 s files, main stream, schedule start, 60 s motion
// time, one span every day 00:00:00 to 23:59:59, the given storage paths (at
// most three), and a copy of every device record but decoders and NVRs' own records.
RecSchemeInfo* NewDefaultScheme(const std::list<DevInfo>& devices, const std::vector<std::string>& storagePaths);

struct DefaultRecSwitch {
  RecSchemeInfo* scheme = nullptr;  // the default scheme, null when there is none
  int allRecording = 1;             // 1 when no scheme is off after the switch
};

// The default-recording button: switches the scheme named `name` on when it is
// off and off when it is on, and recomputes the all-recording flag from every
// scheme in list order. The caller holds g_csAppData.
DefaultRecSwitch SwitchDefaultScheme(std::list<RecSchemeInfo*>& schemes, const std::string& name);

// A new channel of the device editor joins the default scheme (the caller
// holds g_csAppData): a copy of `dev` is appended unless the default scheme is
// missing or already holds a channel of that display name. Nothing is saved.
// true when appended.
bool AddChannelToDefaultScheme(std::list<RecSchemeInfo*>& schemes, const DevInfo& dev);
