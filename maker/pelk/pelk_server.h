// Server: the serving side of the relay. It listens for peers (Pelk_StartTS),
// logs them in with the main window's user check, posts their requests to the
// main window with request words, and sends the program's answers and reports
// back to the peer that asked (or to every peer). A peer that goes away ends
// its sessions with the stops the serving handlers understand.
#pragma once

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "pelk/pelk.h"
#include "pelk/pelk_auth.h"
#include "pelk/pelk_link.h"

namespace pelk {

class Engine;

class Server : public LinkHandler {
 public:
  explicit Server(Engine& engine);
  ~Server() override;

  LONG Start(const char* ipAddr, LONG port, LONG videoCount, LONG userCount);
  LONG Stop();
  LONG Modify(LONG videoCount, LONG userCount);
  bool IsRunning() const { return running_; }
  int Port() const { return port_; }  // the bound port (for a port of 0: the one chosen)

  LONG RspDeviceList(LONG status, DWORD word, const RelayDeviceEntry* list, LONG count);
  DWORD RspDeviceVideo(LONG status, const char* key, DWORD stream, DWORD channel, DWORD word3, DWORD word,
                       const BYTE* video, const BYTE* audio);
  LONG ReportAVData(DWORD handle, const char* key, DWORD stream, DWORD channel, LONG kind, const BYTE* data,
                    LONG length, const RelayFrameInfo* info);
  LONG CloseDeviceVideo(DWORD handle);
  LONG RspReplaySearch(LONG status, DWORD searchId, DWORD word, LONG count, const char* text);
  LONG RspReplayStart(LONG status, DWORD handle, DWORD word, const BYTE* video, const BYTE* audio,
                      const char* path, LONG seconds);
  LONG ReportReplayData(DWORD handle, DWORD word, LONG kind, const BYTE* data, LONG length,
                        const RelayFrameInfo* info);
  LONG NotifyReplayStop(DWORD handle, DWORD word);
  LONG ReportReplayDataByDate(DWORD handle, DWORD word, LONG kind, const BYTE* data, LONG length,
                              const RelayFrameInfo* info, const BYTE* video, const BYTE* audio, LONG first,
                              LONG seconds, DWORD startSecond);
  LONG NotifyReplayStopByDate(DWORD handle, DWORD word);
  LONG RspReplaySearchByDate(LONG status, DWORD handle, DWORD word, DWORD channel, const char* dayMap, DATE date);
  LONG RspDloadStart(LONG status, DWORD handle, DWORD word, DWORD sizeLow, DWORD sizeHigh);
  LONG ReportDloadData(DWORD handle, DWORD word, const BYTE* data, LONG length, uint64_t offset, uint64_t size);
  LONG NotifyDloadStop(DWORD handle, DWORD word);
  LONG RspInvitePreset(const char* key, DWORD channel, const char* text);
  LONG ReportDeviceState(const char* key, LONG channel, LONG state);
  LONG NotifyUpdateDeviceList();
  LONG ReportAlarmInfo(const char* key, LONG channel, const RelayAlarmRecord* alarm);

  // For tests: logged-in peers and open live videos.
  size_t LoggedInPeers() const;
  size_t OpenVideos() const;
  // For tests: connections taken from the listening socket so far, each
  // counted once it is a live link (Engine::LiveLinks) or was refused and
  // closed. Until a peer's connections are all counted, some of them may still
  // wait in the socket's backlog or be on their way to becoming links.
  size_t TakenConnections() const { return taken_; }
  // For tests that hand a peer's frames to OnFrame themselves: takes the link
  // as a peer (logged in or not) without starting its threads.
  void AdoptPeer(std::shared_ptr<Link> link, bool loggedIn);

  void OnFrame(Link& link, uint16_t type, const uint8_t* payload, size_t length) override;
  void OnClosed(Link& link) override;

 private:
  enum class Kind { kDeviceList, kVideo, kSearch, kSearchDate, kReplay, kByDate, kDownload };
  // A request waiting for its answer, or an open session (replay, day replay,
  // download), by its request word.
  struct Request {
    Kind kind = Kind::kDeviceList;
    uint32_t peer = 0;
    uint32_t rid = 0;
    std::string key;
    DWORD stream = 0;
    DWORD channel = 0;
    DWORD word3 = 0;
    std::string path;
  };
  struct Video {
    uint32_t peer = 0;
    std::string key;
    DWORD stream = 0;
    DWORD channel = 0;
    DWORD word3 = 0;
    DWORD word = 0;
    bool dropping = false;
  };
  struct Peer {
    std::shared_ptr<Link> link;
    bool loggedIn = false;
    bool refused = false;
    bool helloSeen = false;
    std::string user;
    Nonce serverNonce{};
    Nonce clientNonce{};
  };
  struct PresetAsk {
    uint32_t peer = 0;
    std::string key;
    DWORD channel = 0;
  };

  void AcceptLoop();
  void Login(Link& link, uint16_t type, const uint8_t* payload, size_t length);
  void Welcome(Link& link, uint32_t status);
  void Dispatch(Link& link, uint16_t type, const uint8_t* payload, size_t length);
  // Registers a request of the peer; 0 when the peer has too many.
  uint32_t AddRequest(const Request& request);
  // The link of the request's peer and the request, when the word is one of
  // the peer (relay handle) given; erased when `take`.
  std::shared_ptr<Link> FindRequest(DWORD handle, DWORD word, Kind kind, Request* out, bool take);
  std::shared_ptr<Link> PeerLink(uint32_t peer);
  void SendToAll(const std::vector<uint8_t>& frame);
  void SessionControl(Link& link, uint16_t type, const uint8_t* payload, size_t length);
  // The stops that end a gone peer's sessions at the serving handlers.
  void PostStops(const std::vector<Request>& requests, const std::vector<Video>& videos);

  Engine& engine_;
  mutable std::mutex mutex_;
  std::condition_variable peersCv_;
  std::map<uint32_t, Peer> peers_;  // by link id (the peer's relay handle word)
  std::map<uint32_t, Request> requests_;
  std::map<DWORD, Video> videos_;   // by relay video handle
  std::vector<PresetAsk> presetAsks_;
  std::atomic<LONG> videoLimit_{0};
  std::atomic<LONG> userLimit_{0};
  std::atomic<size_t> taken_{0};

  std::atomic<bool> running_{false};
  int listenFd_ = -1;
  int wakePipe_[2] = {-1, -1};
  int port_ = 0;
  std::thread acceptThread_;
};

}  // namespace pelk
