// Stand-ins for the recording tests: a clock and drives under the test's
// control, stream objects that only keep what they are told, the client log
// read back, and the global device and scheme lists set up and emptied.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "core/dev_info.h"
#include "core/rec_scheme.h"
#include "records/recording/rec_environment.h"
#include "records/recording/rec_streams.h"

class FakeRecEnvironment : public IRecEnvironment {
 public:
  RecNow Now() override {
    std::lock_guard<std::mutex> lock(nowLock_);
    return now;
  }
  // Sets the clock while a recording thread reads it.
  void SetNow(const RecNow& moment) {
    std::lock_guard<std::mutex> lock(nowLock_);
    now = moment;
  }
  bool FreeBytes(const std::string& path, uint64_t* bytes) override;
  bool SameDrive(const std::string& a, const std::string& b) override;

  RecNow now = RecNowLocal(2026, 3, 8, 8, 0, 1);  // a Sunday
  // Free bytes by storage path; a path without an entry has defaultFree.
  // nullopt: the query fails.
  std::map<std::string, std::optional<uint64_t>> freeBytes;
  uint64_t defaultFree = 100 * kGiB;
  std::function<uint64_t(const std::string&)> freeOf;  // when set, used instead
  // The drive of a path: its entry here, else the path's first character.
  std::map<std::string, std::string> drives;
  std::vector<std::string> queries;  // every FreeBytes path, in order

 private:
  std::mutex nowLock_;
};

// A stream object as the recording sees it.
struct FakeStream {
  long id = 0;
  long kind = -1;
  bool renders = false;
  bool media = false;
  bool recording = false;
  bool relay = false;
  long preSeconds = 0;
  int setPreCalls = 0;
  int stopRecordFileCalls = 0;
  int stopRecordCalls = 0;
  int stopAllCalls = 0;
  int closeDecoderCalls = 0;
};

struct FakeStartRecord {
  CRtspEvents* events = nullptr;
  long streamId = 0;
  long duration = 0;
  long fileLength = 0;
  std::string folder;
  long preSeconds = 0;
};

class FakeRecStreams : public IRecStreams {
 public:
  // Distinct stand-in object pointers (never dereferenced).
  static CRtspEvents* Object(int n);

  long StreamId(CRtspEvents* e) override { return e ? streams[e].id : 0; }
  long Kind(CRtspEvents* e) override { return e ? streams[e].kind : -1; }
  bool Renders(CRtspEvents* e) override { return e && streams[e].renders; }
  bool HasMedia(CRtspEvents* e) override { return e && streams[e].media; }
  bool IsRecording(CRtspEvents* e) override { return e && streams[e].recording; }
  bool FeedsRelay(CRtspEvents* e) override { return e && streams[e].relay; }
  long Open(CRtspEvents* e, const RecStreamOpen& open) override;
  void SetStreamInfo(CRtspEvents* e, long id, long kind, long pre, BOOL) override;
  void SetDevType(CRtspEvents*, int) override {}
  void EnableRecord(CRtspEvents*, BOOL) override {}
  long StartRecord(CRtspEvents* e, long id, long duration, long fileLength, const std::string& folder,
                   long pre) override;
  void StopRecordFile(CRtspEvents* e) override;
  void StopRecord(CRtspEvents* e) override;
  void SetPreRecTime(CRtspEvents* e, long seconds, BOOL) override;
  void StopAllThread(CRtspEvents* e) override;
  void CloseAllDecoder(CRtspEvents* e) override;
  void CreateIFrame(const DevInfo& dev, long stream) override { iframes.push_back({dev.GimbroId, stream}); }

  std::map<CRtspEvents*, FakeStream> streams;
  std::vector<RecStreamOpen> opens;
  long openResult = 11;         // the next stream id Open gives (below 1: a failure)
  bool mediaOnOpen = false;     // an opened stream has its media parameters at once
  long startResult = 0;         // 0: file ids 1, 2, 3 ...; else this result
  std::vector<FakeStartRecord> starts;
  std::vector<std::pair<int, long>> iframes;

 private:
  long nextFileId_ = 1;
};

// The client log of this test, in a file of its own.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  std::string Text() const;
  int Count(const std::string& piece) const;  // lines that contain it

 private:
  TempFolder folder_;
};

// Puts devices and schemes into the global lists and empties them again.
class RecListsFixture {
 public:
  RecListsFixture();
  ~RecListsFixture();
  // A camera (DevType 1) with two stand-in stream objects; in the list.
  DevInfo& AddCamera(const char* name, const char* id = "ID");
  RecSchemeInfo& AddScheme(const char* name, int startType, std::vector<std::string> paths);
  static void AddSpan(RecSchemeInfo& scheme, int slot, int dayOfWeek, TimeOfDay start, TimeOfDay end);
  static void AddDevice(RecSchemeInfo& scheme, const DevInfo& dev);
};

TimeOfDay Hms(int hour, int minute, int second);
