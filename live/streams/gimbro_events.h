// The event sinks of the device-messaging control (CGimbroEvents) and of a
// stream object's recorder (CCliptaEvents).
//
// CGimbroEvents turns the control's events into messages posted to the
// program's windows, or direct calls of their handlers. Why a device went
// offline or refused the login (the status text) goes to the client log. The windows are given
// as handles: a null or dead handle drops what would have gone there, and a
// heap text or record posted with a message is owned by the message, so it is
// freed even when the window is gone before delivery. All events arrive on the
// UI thread; every handler returns 0.
#pragma once

#include <functional>
#include <string>

#include "gimbro/gimbro.h"
#include "clipta/clipta_ctrl.h"
#include "platform/win_types.h"

// lParam of WM_MAINT_RESPONSE for codes 1012 and 1014, owned by the message.
struct MaintResponse {
  MaintResponse(LONG id, LONG word, std::string body);
  ~MaintResponse();
  MaintResponse(const MaintResponse&) = delete;
  MaintResponse& operator=(const MaintResponse&) = delete;

  LONG gimbroId;
  LONG response;  // packed word: flag in the top 8 bits, code in the low 24
  std::string text;

  // Records alive now: lets the tests see that a dropped message freed its record.
  static int LiveCount();
};

// WM_MAINT_RESPONSE wParam for code 1009 (result of the answer).
constexpr WPARAM kMaintRebootOk = 20001;
constexpr WPARAM kMaintRebootFailed = 20002;

class CGimbroEvents : public CGimbroEventSink {
 public:
  // Main window: talk audio of a device (GimbroId, data, length, frame header)
  // and its talk parameters (GimbroId, text).
  using TalkMediaHandler = std::function<void(LONG, const BYTE*, LONG, const BYTE*)>;
  using TalkParamHandler = std::function<void(LONG, std::string)>;
  // Record search page: NVR replay data (GimbroId, data, length, header,
  // first word of the header), replay parameters (GimbroId, text, 4 NVR / 1 IPC)
  // and replay state (GimbroId, state, value).
  using ReplayDataHandler = std::function<void(LONG, const BYTE*, LONG, const BYTE*, uint32_t)>;
  using ReplayParamHandler = std::function<void(LONG, std::string, LONG)>;
  using ReplayStateHandler = std::function<void(LONG, LONG, LONG)>;

  void SetMainWindow(HWND hwnd) { m_hMainWnd = hwnd; }
  void SetMaintenancePage(HWND hwnd) { m_hMaintPage = hwnd; }
  void SetRecordSearchPage(HWND hwnd) { m_hRecordSearchPage = hwnd; }
  void SetPtzPanel(HWND hwnd) { m_hPtzPanel = hwnd; }
  void SetTalkHandlers(TalkMediaHandler media, TalkParamHandler param);
  void SetReplayHandlers(ReplayDataHandler data, ReplayParamHandler param, ReplayStateHandler state);

  LONG DevStatusResponse(LONG gimbroId, LONG code, const char* text) override;
  LONG PTZResponse(LONG gimbroId, LONG response, const char* text) override;
  LONG AUXResponse(LONG gimbroId, LONG response, const char* text) override;
  LONG AlarmRecv(LONG gimbroId, const GimbroAlarmRecord* alarm) override;
  LONG MediaDataRecv(LONG gimbroId, const BYTE* data, LONG length, const BYTE* header,
                     LONG kind) override;
  LONG MediaParamRecv(LONG gimbroId, const char* text, LONG kind) override;
  LONG ReplayStatus(LONG gimbroId, LONG state, LONG value) override;

 private:
  bool MainWindowExists() const;
  bool RecordSearchPageExists() const;

  HWND m_hMainWnd = nullptr;
  HWND m_hMaintPage = nullptr;
  HWND m_hRecordSearchPage = nullptr;
  HWND m_hPtzPanel = nullptr;
  TalkMediaHandler m_onTalkMedia;
  TalkParamHandler m_onTalkParam;
  ReplayDataHandler m_onReplayData;
  ReplayParamHandler m_onReplayParam;
  ReplayStateHandler m_onReplayState;
};

// The recorder's failures go to the client log; nothing else is done with them.
class CCliptaEvents : public ICliptaEvents {
 public:
  long OnEvent1(long fileId, long error) override;
  long OnEvent2(long fileId, long error) override;
  long OnEvent3(long, long) override { return 0; }
};
