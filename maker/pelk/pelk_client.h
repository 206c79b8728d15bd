// Client: the viewing side of the relay. Pelk_Login connects and logs in to
// another client's forwarding server; the invitations go to it as requests,
// and its answers, data and notices come back as the program's messages and
// callbacks. A connection that ends posts WM_RELAY_SERVER_CLOSED.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "pelk/pelk.h"
#include "pelk/pelk_link.h"

namespace pelk {

class Engine;

class Client : public LinkHandler {
 public:
  explicit Client(Engine& engine) : engine_(engine) {}
  ~Client() override { LogOutAll(); }

  LONG Login(const char* ipAddr, LONG port, const char* userName, const char* password);
  LONG LogOut(LONG login);
  void LogOutAll();
  LONG IsInnerIp(LONG login);

  LONG InviteDeviceList(LONG login);
  LONG InviteDeviceVideo(LONG login, const char* key, LONG stream, LONG channel);
  LONG InviteCloseDeviceVideo(LONG login, const char* key, LONG stream, LONG channel);
  LONG InviteReplaySearch(LONG login, const ReplaySearchRequest& request);
  LONG InviteReplaySearchByDate(LONG login, const char* key, LONG channel, int year, int month, int day);
  LONG InviteReplayStart(LONG login, const char* key, LONG stream, LONG channel, LONG kind, const char* path);
  LONG InviteDloadStart(LONG login, const char* key, LONG stream, LONG channel, LONG kind, const char* path);
  LONG InviteReplayStartByDate(LONG login, const ReplayByDateRequest& request);
  // A file replay's control: what (control code, key-table entry, serving
  // speed) and value, by its session words.
  LONG ReplayControl(LONG login, DWORD session2, uint32_t what, DWORD value);
  // A day replay's control, by key and channel.
  LONG ByDateControl(LONG login, const char* key, LONG channel, uint32_t what, DWORD value);
  LONG InviteDloadStop(LONG login, const char* key, const char* path);
  LONG SendRecord(LONG login, uint16_t type, const void* record, size_t size);

  size_t Logins() const;
  // For tests that hand a server's frames to OnFrame themselves: takes the
  // link as a logged-in login (its handle the link's id) without starting its threads.
  void AdoptLogin(std::shared_ptr<Link> link);

  void OnFrame(Link& link, uint16_t type, const uint8_t* payload, size_t length) override;
  void OnClosed(Link& link) override;

 private:
  enum class Kind { kDeviceList, kSearch, kSearchDate, kReplay, kByDate, kDownload };
  struct Pending {
    Kind kind = Kind::kDeviceList;
    std::string key;
    DWORD stream = 0;
    DWORD channel = 0;
    std::string path;
    bool stopped = false;  // stopped before the server opened it
  };
  struct Session {
    Kind kind = Kind::kReplay;
    uint32_t rid = 0;
    std::string key;
    DWORD stream = 0;
    DWORD channel = 0;
    std::string path;
    DWORD handle = 0;  // the server's relay handle word
    uint64_t size = 0;
  };
  struct LoginState {
    std::shared_ptr<Link> link;
    uint32_t nextRid = 1;
    std::map<uint32_t, Pending> pending;   // by request id
    std::map<uint32_t, Session> sessions;  // by session word
  };

  // The login's state, under mutex_; null when the login is gone.
  LoginState* Find(LONG login) {
    auto found = logins_.find(login);
    return found == logins_.end() ? nullptr : &found->second;
  }
  // Sends a frame on the login's connection; false when there is none.
  bool Send(LONG login, std::vector<uint8_t> frame);
  // Registers a pending request and returns its id (0: no such login).
  uint32_t AddPending(LONG login, const Pending& pending);
  // A copy of the login's session of that word (erased when `erase`); false when none.
  bool TakeSession(LONG login, DWORD word, Session* out, bool erase);
  void Dispatch(LONG login, uint16_t type, const uint8_t* payload, size_t length);
  void OnSessionData(LONG login, uint16_t type, const uint8_t* payload, size_t length);

  Engine& engine_;
  mutable std::mutex mutex_;
  std::map<LONG, LoginState> logins_;  // by login handle (= the link's id)
};

// The serving table's speed code for a requester's speed code.
DWORD ServingSpeed(LONG requesterSpeed);

}  // namespace pelk
