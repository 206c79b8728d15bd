#include "live/streams/gimbro_events.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "live/live_messages.h"
#include "platform/post_message.h"
#include "platform/window_registry.h"

namespace {

std::atomic<int> g_liveMaintResponses{0};

constexpr LONG kStatusUpload = 15;
constexpr LONG kStatusDownload = 17;
constexpr LONG kStatusChannels = 26;
constexpr LONG kStatusStateReport = 27;

constexpr LONG kAuxIpcRecordFiles = 1021;
constexpr LONG kAuxNvrRecordDays = 3001;
constexpr LONG kAuxSystemVersion = 1012;
constexpr LONG kAuxMaintInfo = 1014;
constexpr LONG kAuxConfigRestore = 1002;
constexpr LONG kAuxReboot = 1009;
constexpr LONG kAuxStorageFormat = 1017;
constexpr LONG kAuxStorageUnmount = 1018;

const char* TextOrEmpty(const char* text) { return text ? text : ""; }

// The transfer a download failure names (its text, a decimal number); 0 for a
// failure that names none.
LPARAM TransferOf(const char* text) {
  if (!text || *text < '0' || *text > '9') return 0;
  char* end = nullptr;
  const long transfer = std::strtol(text, &end, 10);
  return *end == '\0' && transfer > 0 && transfer <= INT32_MAX ? static_cast<LPARAM>(transfer) : 0;
}

}  // namespace

MaintResponse::MaintResponse(LONG id, LONG word, std::string body)
    : gimbroId(id), response(word), text(std::move(body)) {
  ++g_liveMaintResponses;
}
MaintResponse::~MaintResponse() { --g_liveMaintResponses; }
int MaintResponse::LiveCount() { return g_liveMaintResponses.load(); }

void CGimbroEvents::SetTalkHandlers(TalkMediaHandler media, TalkParamHandler param) {
  m_onTalkMedia = std::move(media);
  m_onTalkParam = std::move(param);
}

void CGimbroEvents::SetReplayHandlers(ReplayDataHandler data, ReplayParamHandler param,
                                      ReplayStateHandler state) {
  m_onReplayData = std::move(data);
  m_onReplayParam = std::move(param);
  m_onReplayState = std::move(state);
}

bool CGimbroEvents::MainWindowExists() const { return IsWindow(m_hMainWnd); }
bool CGimbroEvents::RecordSearchPageExists() const { return IsWindow(m_hRecordSearchPage); }

LONG CGimbroEvents::DevStatusResponse(LONG gimbroId, LONG code, const char* text) {
  const WPARAM id = static_cast<WPARAM>(gimbroId);
  if (code == kStatusUpload) {
    PostMessage(m_hMaintPage, WM_FILE_TRANSFER_EVENT, id, code);
  } else if (code == kStatusDownload) {
    PostMessage(m_hMaintPage, WM_FILE_TRANSFER_EVENT, id, code);
    // The record search page runs one download after another: it needs to
    // know which of them failed.
    PostMessage(m_hRecordSearchPage, WM_FILE_TRANSFER_EVENT, id, TransferOf(text));
  } else if (code == kStatusChannels) {
    PostText(m_hMainWnd, WM_DEVCHANNELSCHANGED, id, TextOrEmpty(text));
  } else if (code == kStatusStateReport) {
    PostText(m_hMainWnd, WM_DEVSTATEREPORT, id, TextOrEmpty(text));
  } else {
    PostMessage(m_hMainWnd, WM_DEVSTATUSRESPONSE, id, code);
  }
  return 0;
}

LONG CGimbroEvents::PTZResponse(LONG gimbroId, LONG response, const char* text) {
  WriteLog(6, " CGimbroEvents::PTZResponse(): GimbroID=%d, msg_code=%d, msg_flag=%d, ResponseString=%s",
           static_cast<int>(gimbroId), static_cast<int>(GimbroResponseCode(response)),
           static_cast<int>(GimbroResponseFlag(response)), TextOrEmpty(text));
  PostText(m_hPtzPanel, WM_PTZ_RESPONSE, static_cast<WPARAM>(gimbroId), TextOrEmpty(text));
  return 0;
}

LONG CGimbroEvents::AUXResponse(LONG gimbroId, LONG response, const char* text) {
  const LONG code = GimbroResponseCode(response);
  const LONG flag = GimbroResponseFlag(response);
  const WPARAM id = static_cast<WPARAM>(gimbroId);
  // Every test runs: the codes are not exclusive of each other.
  if (code == kAuxIpcRecordFiles) {
    if (flag == 0) {
      WriteLog(6, "CGimbroEvents::AUXResponse : get IPC record file success.");
      if (RecordSearchPageExists()) PostText(m_hRecordSearchPage, WM_REMOTE_RECFILE_RESPONSE, 0, TextOrEmpty(text));
    } else {
      WriteLog(3, "CGimbroEvents::AUXResponse : get IPC record  file failed. msg_flg = %d", static_cast<int>(flag));
    }
  }
  if (code == kAuxNvrRecordDays) {
    if (flag == 0) {
      WriteLog(6, "CGimbroEvents::AUXResponse : get NVR record file success.");
      if (RecordSearchPageExists()) PostText(m_hRecordSearchPage, WM_NVR_RECDAY_RESPONSE, id, TextOrEmpty(text));
    } else {
      WriteLog(3, "CGimbroEvents::AUXResponse : get NVR record  file failed. msg_flg = %d", static_cast<int>(flag));
    }
  }
  if (code == kAuxSystemVersion || code == kAuxMaintInfo) {
    if (code == kAuxSystemVersion) {
      WriteLog(6, "CGimbroEvents::AUXResponse: receive system version info,lGimbroID=%ld", static_cast<long>(gimbroId));
    }
    PostObject(m_hMaintPage, WM_MAINT_RESPONSE, static_cast<WPARAM>(code),
               new MaintResponse(gimbroId, response, TextOrEmpty(text)));
  }
  if (code == kAuxConfigRestore && flag == 0) {
    WriteLog(6, "CGimbroEvents::AUXResponse: rev CMD_CONFIG_RESTORE response, result=%d", static_cast<int>(flag));
    PostMessage(m_hMaintPage, WM_MAINT_RESPONSE, kAuxConfigRestore, gimbroId);
  }
  if (code == kAuxReboot) {
    PostMessage(m_hMaintPage, WM_MAINT_RESPONSE, flag == 0 ? kMaintRebootOk : kMaintRebootFailed, gimbroId);
  }
  if (code == kAuxStorageFormat) {
    WriteLog(6, "CGimbroEvents::AUXResponse: rev CMD_STORAGE_DEVICE_FORMAT response, result=%ld, gimbroId=%ld",
             static_cast<long>(flag), static_cast<long>(gimbroId));
    PostMessage(m_hMaintPage, WM_STORAGE_FORMAT_RESPONSE, static_cast<WPARAM>(flag), gimbroId);
  }
  if (code == kAuxStorageUnmount) {
    WriteLog(6, "CGimbroEvents::AUXResponse: rev CMD_STORAGE_DEVICE_UNMOUNT response, result=%ld, gimbroId=%ld",
             static_cast<long>(flag), static_cast<long>(gimbroId));
    PostMessage(m_hMaintPage, WM_STORAGE_UNMOUNT_RESPONSE, static_cast<WPARAM>(flag), gimbroId);
  }
  return 0;
}

LONG CGimbroEvents::AlarmRecv(LONG gimbroId, const GimbroAlarmRecord* alarm) {
  if (!alarm) return 0;
  bool known = false;
  {
    CsLock lock(&g_csAppData);
    for (const DevInfo& dev : g_lstDevInfo) {
      if (dev.GimbroId == gimbroId) {
        known = true;
        break;
      }
    }
  }
  if (known) PostObject(m_hMainWnd, WM_DEVALARM, static_cast<WPARAM>(gimbroId), new GimbroAlarmRecord(*alarm));
  return 0;
}

LONG CGimbroEvents::MediaDataRecv(LONG gimbroId, const BYTE* data, LONG length, const BYTE* header,
                                  LONG kind) {
  if (kind == GIMBRO_MEDIA_TALK) {
    if (m_onTalkMedia && MainWindowExists()) m_onTalkMedia(gimbroId, data, length, header);
  } else if (kind == GIMBRO_MEDIA_NVR_REPLAY) {
    if (m_onReplayData && RecordSearchPageExists()) {
      uint32_t firstWord = 0;
      if (header) std::memcpy(&firstWord, header, sizeof(firstWord));
      m_onReplayData(gimbroId, data, length, header, firstWord);
    }
  }
  return 0;
}

LONG CGimbroEvents::MediaParamRecv(LONG gimbroId, const char* text, LONG kind) {
  const std::string body = TextOrEmpty(text);
  if (kind == GIMBRO_MEDIA_TALK) {
    WriteLog(6, "CGimbroEvents: recv nvr speak param.");
    if (m_onTalkParam && MainWindowExists()) m_onTalkParam(gimbroId, body);
    return 0;
  }
  if (!m_onReplayParam || !RecordSearchPageExists()) return 0;
  if (body.empty()) {
    WriteLog(3, "CGimbroEvents::MediaParamRecv(): strData is null, set media param refused.");
    return 0;
  }
  if (kind == GIMBRO_MEDIA_NVR_REPLAY) {
    WriteLog(6, "CGimbroEvents: recv nvr replay param.");
    m_onReplayParam(gimbroId, body, 4);
  } else {
    WriteLog(6, "CGimbroEvents: recv IPC replay param.");
    m_onReplayParam(gimbroId, body, 1);
  }
  return 0;
}

LONG CGimbroEvents::ReplayStatus(LONG gimbroId, LONG state, LONG value) {
  if (m_onReplayState && RecordSearchPageExists()) m_onReplayState(gimbroId, state, value);
  return 0;
}

long CCliptaEvents::OnEvent1(long fileId, long error) {
  WriteLog(3, "CCliptaEvents::OnEvent1(): record file write failed, the file ends. FileId=%ld, error=%ld", fileId, error);
  return 0;
}

long CCliptaEvents::OnEvent2(long fileId, long error) {
  WriteLog(3, "CCliptaEvents::OnEvent2(): record file could not be created. FileId=%ld, error=%ld", fileId, error);
  return 0;
}
