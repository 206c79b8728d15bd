// A firmware upgrade that the host program carries out for the system page.
//
// The host gives a callback (HL_Init); the page asks it to upload a firmware
// file (op 1) or to stop (op -101), and the host reports back through
// HL_OnUpgradeEvent, from whatever thread it uploads on: event 54 with the
// progress (root attributes start and filesize), 14 when finished, 15 when
// failed. The session keeps whether an upload is under way and turns events
// into messages to the page (WM_UPGRADE_PROGRESS with the bar's new value,
// WM_UPGRADE_FAILED), which the page handles on its own thread.
//
// Thread-safe. The host's callback is called without any lock held, so it may
// report an event at once.
#pragma once

#include <mutex>
#include <string>

#include "platform/win_types.h"

typedef int (*UpgradeCallback)(const char* firmwarePath, int op, void* userData);

constexpr int kUpgradeOpStart = 1;
constexpr int kUpgradeOpCancel = -101;
constexpr int kUpgradeEventProgress = 54;
constexpr int kUpgradeEventFinished = 14;
constexpr int kUpgradeEventFailed = 15;

constexpr UINT WM_UPGRADE_FAILED = WM_USER + 1005;
// wParam: the progress bar's new value, 0 to 100.
constexpr UINT WM_UPGRADE_PROGRESS = WM_USER + 1006;

// The progress in percent of `start` bytes out of `fileSize` (computed in 64
// bits, so files of any size give the right value), clamped to 0 to 100; -1
// when either is not positive.
int UpgradePercent(long long start, long long fileSize);

class UpgradeSession {
 public:
  void SetCallback(UpgradeCallback callback, void* userData);
  bool HasCallback() const;

  // The page that shows the progress; Detach only when it is still the one attached.
  void AttachPage(HWND page);
  void DetachPage(HWND page);
  bool HasPage() const;

  // Asks the host to upload `firmwarePath`: true when asked (a callback exists
  // and no upload is under way); the upload is under way from then on.
  bool Start(const std::string& firmwarePath);
  // Asks the host to stop the upload under way: true when asked.
  bool Cancel();
  bool Uploading() const;

  // An event from the host. Without a page: 1. Progress: 1 and the bar set
  // while an upload is under way and both numbers are positive, else 0.
  // Finished: 1 and the bar at 100 when an upload was under way, else 0.
  // Failed: the upload is over, the page says so; 1. Other events: 1.
  int OnEvent(int event, const char* xml);

 private:
  mutable std::mutex mutex_;
  UpgradeCallback callback_ = nullptr;
  void* userData_ = nullptr;
  HWND page_ = nullptr;
  bool uploading_ = false;
  std::string firmwarePath_;
};

// The library's one session.
UpgradeSession& TheUpgradeSession();
