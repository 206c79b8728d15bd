#include "rec_test_support.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"

bool FakeRecEnvironment::FreeBytes(const std::string& path, uint64_t* bytes) {
  queries.push_back(path);
  if (freeOf) {
    *bytes = freeOf(path);
    return true;
  }
  auto it = freeBytes.find(path);
  if (it == freeBytes.end()) {
    *bytes = defaultFree;
    return true;
  }
  if (!it->second) return false;
  *bytes = *it->second;
  return true;
}

bool FakeRecEnvironment::SameDrive(const std::string& a, const std::string& b) {
  auto drive = [&](const std::string& path) {
    auto it = drives.find(path);
    return it != drives.end() ? it->second : path.substr(0, 1);
  };
  return !a.empty() && !b.empty() && drive(a) == drive(b);
}

CRtspEvents* FakeRecStreams::Object(int n) {
  return reinterpret_cast<CRtspEvents*>(static_cast<uintptr_t>(0x1000 * n));
}

long FakeRecStreams::Open(CRtspEvents* e, const RecStreamOpen& open) {
  opens.push_back(open);
  const long id = openResult;
  if (id >= 1) {
    ++openResult;
    streams[e].media = mediaOnOpen;
  }
  return id;
}

void FakeRecStreams::SetStreamInfo(CRtspEvents* e, long id, long kind, long pre, BOOL) {
  FakeStream& s = streams[e];
  s.id = id;
  s.kind = kind;
  s.preSeconds = pre;
}

long FakeRecStreams::StartRecord(CRtspEvents* e, long id, long duration, long fileLength, const std::string& folder,
                                 long pre) {
  starts.push_back({e, id, duration, fileLength, folder, pre});
  const long result = startResult != 0 ? startResult : nextFileId_++;
  if (result >= 1) streams[e].recording = true;
  return result;
}

void FakeRecStreams::StopRecordFile(CRtspEvents* e) {
  ++streams[e].stopRecordFileCalls;
  streams[e].recording = false;
}

void FakeRecStreams::StopRecord(CRtspEvents* e) {
  ++streams[e].stopRecordCalls;
  streams[e].recording = false;
}

void FakeRecStreams::SetPreRecTime(CRtspEvents* e, long seconds, BOOL) {
  ++streams[e].setPreCalls;
  streams[e].preSeconds = seconds;
}

void FakeRecStreams::StopAllThread(CRtspEvents* e) {
  FakeStream& s = streams[e];
  ++s.stopAllCalls;
  s.id = 0;
  s.kind = -1;
  s.media = false;
}

void FakeRecStreams::CloseAllDecoder(CRtspEvents* e) {
  ++streams[e].closeDecoderCalls;
  streams[e].renders = false;
}

LogCapture::LogCapture() { OpenLogFile((folder_.Path() + "clientlog.txt").c_str()); }

LogCapture::~LogCapture() { CloseLogFile(); }

std::string LogCapture::Text() const {
  std::ifstream in(folder_.Path() + "clientlog.txt");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int LogCapture::Count(const std::string& piece) const {
  std::istringstream lines(Text());
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.find(piece) != std::string::npos;
  return count;
}

RecListsFixture::RecListsFixture() {
  CsLock lock(&g_csAppData);
  g_lstDevInfo.clear();
  g_lstRecSchemeInfo.clear();
}

RecListsFixture::~RecListsFixture() {
  CsLock lock(&g_csAppData);
  for (RecSchemeInfo* scheme : g_lstRecSchemeInfo) delete scheme;
  g_lstRecSchemeInfo.clear();
  g_lstDevInfo.clear();
}

DevInfo& RecListsFixture::AddCamera(const char* name, const char* id) {
  DevInfo dev;
  std::snprintf(dev.DevName, sizeof dev.DevName, "%s", name);
  std::snprintf(dev.DevId, sizeof dev.DevId, "%s", id);
  std::snprintf(dev.IPAddr, sizeof dev.IPAddr, "192.168.1.10");
  dev.VideoPort = 554;
  dev.DevType = 1;
  dev.CurStoragePath = 1;
  const int n = static_cast<int>(g_lstDevInfo.size()) * 2 + 1;
  dev.pRtspEvent1 = FakeRecStreams::Object(n);
  dev.pRtspEvent2 = FakeRecStreams::Object(n + 1);
  g_lstDevInfo.push_back(dev);
  return g_lstDevInfo.back();
}

RecSchemeInfo& RecListsFixture::AddScheme(const char* name, int startType, std::vector<std::string> paths) {
  auto* scheme = new RecSchemeInfo;
  std::snprintf(scheme->SchemeName, sizeof scheme->SchemeName, "%s", name);
  char* fields[3] = {scheme->StoragePath1, scheme->StoragePath2, scheme->StoragePath3};
  for (size_t i = 0; i < paths.size() && i < 3; ++i) std::snprintf(fields[i], 1024, "%s", paths[i].c_str());
  scheme->OnOff = 1;
  scheme->StartType = startType;
  scheme->RecStreamType = 1;
  scheme->RecFileTime = 600;
  scheme->PreRecTime = 5;
  scheme->DetRecTime = 30;
  g_lstRecSchemeInfo.push_back(scheme);
  return *scheme;
}

void RecListsFixture::AddSpan(RecSchemeInfo& scheme, int slot, int dayOfWeek, TimeOfDay start, TimeOfDay end) {
  RecTime span;
  span.TimeDuration = slot;
  span.DayOfWeek = dayOfWeek;
  span.StartTime = start;
  span.EndTime = end;
  scheme.lstRecTime.push_back(span);
}

void RecListsFixture::AddDevice(RecSchemeInfo& scheme, const DevInfo& dev) {
  DevInfo entry;
  std::memcpy(entry.DevName, dev.DevName, sizeof entry.DevName);
  std::memcpy(entry.DevId, dev.DevId, sizeof entry.DevId);
  entry.DevType = dev.DevType;
  scheme.lstDev.push_back(entry);
}

TimeOfDay Hms(int hour, int minute, int second) { return TimeOfDay::FromHms(hour, minute, second); }
