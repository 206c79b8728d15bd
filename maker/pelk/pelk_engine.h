// Engine: one relay library instance, the serving side and the viewing side
// with what they share (message window, callbacks, records, real-data
// registrations, the UI gate and the reaper that joins ended connections).
//
// The Pelk_* functions use the process's default engine; tests make two
// engines in one process and let them talk over 127.0.0.1.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "pelk/pelk.h"
#include "pelk/pelk_link.h"
#include "pelk/pelk_realdata.h"
#include "pelk/pelk_records.h"
#include "pelk/pelk_ui_gate.h"

namespace pelk {

class Server;
class Client;

struct EngineOptions {
  LinkTiming timing;
  QueueLimits limits;
  int checkTimeoutMs = 5000;      // the main window's user check
  int connectTimeoutMs = 5000;    // Pelk_Login's connect
  int loginTimeoutMs = 15000;     // Pelk_Login's whole login
  int bulkWaitMs = 500;           // replay and download data waiting for room
  size_t maxPendingLogins = 64;   // connections not yet logged in
  size_t maxRequestsPerPeer = 256;
};

struct EngineCallbacks {
  PelkGetUserIdCallback getUserId = nullptr;
  void* getUserIdContext = nullptr;
  PelkRealReplayCallback realReplay = nullptr;
  void* realReplayContext = nullptr;
  PelkReplayByDateCallback replayByDate = nullptr;
  void* replayByDateContext = nullptr;
  PelkDownloadRealDataCallback download = nullptr;
  void* downloadContext = nullptr;
};

class Engine {
 public:
  explicit Engine(EngineOptions options = {});
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // The process's engine of the Pelk_* functions, made on first use;
  // ReleaseDefault ends it (Pelk_Release).
  static Engine& Default();
  static void ReleaseDefault();

  const EngineOptions& Options() const { return options_; }
  Server& server() { return *server_; }
  Client& client() { return *client_; }
  RecordStore& Records() { return records_; }
  RealDataRegistry& RealData() { return realData_; }
  UiGate& Gate() { return *gate_; }
  uint64_t GateOwner() const { return gateOwner_; }

  void SetMsgWnd(HWND hwnd) { msgWnd_ = hwnd; }
  HWND MsgWnd() const { return msgWnd_; }
  void SetCallbacks(const EngineCallbacks& callbacks);
  EngineCallbacks Callbacks() const;
  std::mutex& CallbacksMutex() { return callbacksMutex_; }
  EngineCallbacks& MutableCallbacks() { return callbacks_; }

  // A word never given before (never 0): request and session words, relay
  // video handles, link ids and login handles.
  uint32_t NextWord();

  // Posts a message with a library record (and its inner block) to the
  // message window; when that fails both are freed at once. FALSE then.
  BOOL Post(UINT msg, void* record, LPARAM lParam, void* inner = nullptr);
  BOOL PostPlain(UINT msg, WPARAM wParam, LPARAM lParam);

  // A new connection's threads are joined by the reaper after it ended.
  void LinkStarted() { ++liveLinks_; }
  void Reap(std::shared_ptr<Link> link);
  // Connections whose threads are not joined yet (tests count them).
  int LiveLinks() const { return liveLinks_; }

 private:
  void ReapLoop();

  EngineOptions options_;
  std::atomic<HWND> msgWnd_{nullptr};
  mutable std::mutex callbacksMutex_;
  EngineCallbacks callbacks_;
  std::atomic<uint32_t> nextWord_{1};
  RecordStore records_;
  RealDataRegistry realData_;
  std::shared_ptr<UiGate> gate_;
  uint64_t gateOwner_;

  std::mutex reapMutex_;
  std::condition_variable reapCv_;
  std::deque<std::shared_ptr<Link>> reapQueue_;
  bool reapStop_ = false;
  std::atomic<int> liveLinks_{0};
  std::thread reaper_;

  std::unique_ptr<Server> server_;
  std::unique_ptr<Client> client_;
};

}  // namespace pelk
