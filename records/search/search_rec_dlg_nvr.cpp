// The record search page asks NVRs for their record files and day maps through
// the device-messaging control, and shows the answers.
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QThread>
#include <QUrl>
#include <cstdlib>
#include <optional>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/user_settings.h"
#include "gimbro/gimbro.h"
#include "live/streams/gimbro_events.h"
#include "maker/morvik/morvik.h"
#include "platform/paths.h"
#include "platform/thread_handoff.h"
#include "records/playback/replay_commands.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/search/downloads/download_files.h"
#include "records/search/nvr_search_text.h"
#include "records/search/search_rec_dlg.h"
#include "records/search/search_rec_strings.h"
#include "ui/image_button.h"
#include "ui/sort_list_ctrl.h"

using namespace searchrec;

int CSearchRecDlg::SearchRemoteRecFile(int page) {
  ClearResults();
  m_lstResult.clear();
  const std::optional<std::string> body = NvrFileSearchBody(ReadForm(), page);
  if (!body) {
    WriteLog(6, "Search remote record file refused. the request would pass %d characters.",
             static_cast<int>(kNvrRequestMax));
    return kSearchTooLong;
  }
  if (!m_devInfo.pGimbroCtrl) {
    WriteLog(6, "Search remote record file failed. the device GimbroCtrl is NULL.");
    return -1;  // nothing was sent: the caller says so
  }
  const LONG result = m_devInfo.pGimbroCtrl->WriteAUXStringEx(m_devInfo.GimbroId, kNvrFileSearchType,
                                                              kNvrFileSearchCode, 0, body->c_str());
  WriteLog(6, "WriteAUXStringEx: ReturnCode = %d, GimbroId = %ld, MsgType = SYSTEM_CONTROL_MESSAGE, Cmd = %s",
           static_cast<int>(result), static_cast<long>(m_devInfo.GimbroId), body->c_str());
  return result;
}

int CSearchRecDlg::SearchNVRRecByDate(const DevInfo& dev, const RecDayInfo& day, int channel) {
  if (!dev.pGimbroCtrl) {
    WriteLog(6, "SearchNVRRecByDate:Search NVR record file failed. the device GimbroCtrl is NULL.");
    return -1;
  }
  const std::string body = NvrDayQueryBody(channel, day.wYear, day.wMonth, day.byDay);
  return dev.pGimbroCtrl->WriteAUXStringEx(dev.GimbroId, kNvrDayQueryType, kNvrDayQueryCode, 0, body.c_str());
}

LRESULT CSearchRecDlg::OnSearchRemoteRecFileResponse(const std::string& text) {
  WriteLog(6, "CSearchRecDlg::OnSearchRemoteRecFileResponse(): recv remote rec file response,begin parse...");
  NvrFileAnswer answer;
  if (!ParseNvrFileAnswer(text, &answer)) {
    WriteLog(6, "CSearchRecDlg::OnSearchRemoteRecFileResponse():Parse remote rec file failed.");
    m_bSearching = FALSE;
    KillTimer(kSearchWaitTimer);
    SetStatusText("");
    m_peerSearches.RefuseOldest();
    return -1;
  }
  if (answer.refused > 0) {
    WriteLog(6, "CSearchRecDlg::OnSearchRemoteRecFileResponse(): %d record files with over-long texts left out.",
             answer.refused);
  }
  // While peer searches wait, the answer is the oldest one's: the page's own
  // list, records and status line stay as they are.
  if (m_peerSearches.Pending()) {
    m_peerSearches.AnswerOldest(answer.total < 1 ? std::vector<RecFileItem>() : answer.files, answer.total);
    return 0;
  }
  m_bSearching = FALSE;
  KillTimer(kSearchWaitTimer);
  m_nTotalCount = answer.total;
  WriteLog(6, "CSearchRecDlg::OnSearchRemoteRecFileResponse(): recv remote rec file response,record file count=%d",
           m_nTotalCount);
  if (m_nTotalCount < 1) {
    ShowMsg(IDS_RESULT_EMPTY);
    SetStatusText("");
    return 0;
  }
  m_lstResult.insert(m_lstResult.end(), answer.files.begin(), answer.files.end());
  if (!m_lstResult.empty()) {
    EnableControl(IDC_STOP_DOWNLOAD, true);
    EnableControl(IDC_DOWNLOAD, true);
    ShowResultPage();
  } else {
    // A count without files: nothing to show, and the page is not left busy.
    SetStatusText("");
  }
  return 0;
}

void CSearchRecDlg::OnSearchWaitTimer() {
  KillTimer(kSearchWaitTimer);
  if (!m_bSearching) return;
  WriteLog(6, "CSearchRecDlg: the NVR did not answer the record file search.");
  m_bSearching = FALSE;
  SetStatusText("");
  ShowMsg(IDS_NETWORK_TIMEOUT);
}

LRESULT CSearchRecDlg::OnQueryNVRRecFileResponse(LONG gimbroId, const std::string& text) {
  WriteLog(6, "CSearchRecDlg::OnQueryNVRRecFileResponse(): recv remote NVR rec file response,begin parse...");
  NvrDayAnswer answer;
  if (!ParseNvrDayAnswer(text, &answer)) {
    WriteLog(6, "CSearchRecDlg::OnQueryNVRRecFileResponse():Parse remote NVR rec file failed.");
    return -1;
  }
  const DevInfo* dev = nullptr;
  for (const DevInfo& d : g_lstDevInfo) {
    if (d.GimbroId == gimbroId && d.DevType == kDevTypeNvr && d.CurNVRChannel == answer.channel) {
      dev = &d;
      break;
    }
  }
  if (!dev) return 0;
  char key[32];
  SlotDeviceKey(*dev, g_nLoginType != 0, key);
  for (int i = 0; i < kPlaybackSlots; ++i) {
    PlaybackStatus& slot = m_slots.pb[i];
    if (FixedTextView(slot.szDevKey) != FixedTextView(key) || slot.nChannel != answer.channel) continue;
    {
      std::lock_guard<std::mutex> lock(m_csFeed);
      std::memset(slot.day.szDayMap, 0, sizeof(slot.day.szDayMap));
      std::memcpy(slot.day.szDayMap, answer.map.data(), answer.map.size());
    }
    if (m_pTimeBar) {
      m_pTimeBar->ClearRow(i);
      m_pTimeBar->SetRow(slot.day.szDayMap, dev->DevName, i);
      m_pTimeBar->SetRowDate(i, slot.nYear, slot.nMonth, slot.nDay);
    }
    break;
  }
  return 0;
}

// --- NVR playback ---

void CSearchRecDlg::ReceiveGimbroEvents(CGimbroEvents& events) {
  events.SetRecordSearchPage(GetSafeHwnd());
  events.SetReplayHandlers(
      [this](LONG id, const BYTE* data, LONG length, const BYTE* header, uint32_t) {
        OnMediaDataRecv(id, data, length, header);
      },
      [this](LONG id, std::string text, LONG kind) { OnMediaParamRecv(id, std::move(text), kind); },
      // A replay state is taken on the page's thread. It comes there already
      // (the control's events are delivered on the thread that made it) and is
      // then taken at once: queued once more, the end of a replay that was just
      // moved to another player would come after the new replay's parameters
      // and stop that one.
      [this](LONG id, LONG state, LONG value) {
        if (QThread::currentThread() == thread()) {
          OnNVRReplayStatus(id, state, value);
          return;
        }
        QueueCall(this, [this, id, state, value] { OnNVRReplayStatus(id, state, value); });
      });
}

int CSearchRecDlg::NvrPlayerOf(LONG gimbroId) const {
  std::lock_guard<std::mutex> lock(m_csFeed);
  auto it = m_map.find(gimbroId);
  return it == m_map.end() ? -1 : it->second;
}

void CSearchRecDlg::ClearPlayStatus(int player) {
  if (player < 0 || player >= kPlayers || !m_pResultList) return;
  const int row = m_nPlayerRow[player];
  if (row >= 0 && row < m_pResultList->GetItemCount()) m_pResultList->SetItemText(row, 3, "");
}

void CSearchRecDlg::PlayNvrFile(const std::string& path, int row) {
  // A downloaded copy in the device's save folder plays as a local file: the
  // one of the row's size among the names a download may have given it (files
  // of other days share its name).
  const std::string sizeText = m_pResultList ? std::string(m_pResultList->GetItemText(row, 1)) : std::string();
  char* end = nullptr;
  const long long size = sizeText.empty() ? -1 : std::strtoll(sizeText.c_str(), &end, 10);
  const std::string localPath =
      downloads::NvrSavedCopy(m_strSaveFolder, path, end && *end == '\0' && size >= 0 ? size : -1);
  const QString native = QString::fromStdString(paths::NativePath(localPath));
  const bool downloaded = !localPath.empty() && QFileInfo(native).isFile() && QFileInfo(native).isReadable();
  const bool picture = path.size() >= 4 && QString::fromStdString(path.substr(path.size() - 4)).toLower() == ".jpg";
  if (picture) {
    if (!downloaded) {
      ShowMsg(IDS_DOWNLOAD_FIRST);
    } else {
      QDesktopServices::openUrl(QUrl::fromLocalFile(native));
    }
    return;
  }
  if (downloaded) {
    PlayLocalFile(localPath, row);
    return;
  }
  if (OpenNvrFileReplay(path, row) == 0) {
    SetTimer(kPlayStatusTimer, 1000);
  } else {
    ShowMsg(IDS_DOWNLOAD_FIRST);
  }
}

int CSearchRecDlg::OpenNvrFileReplay(const std::string& path, int row) {
  const DevInfo* dev = nullptr;
  for (const DevInfo& d : g_lstDevInfo) {
    if (FixedTextView(d.DevName) == FixedTextView(m_devInfo.DevName)) {
      dev = &d;
      break;
    }
  }
  if (!dev) return 0;
  CGimbroCtrl* ctrl = dev->pGimbroCtrl;
  const LONG id = dev->GimbroId;
  if (!ctrl || ctrl->CanReplay(id) == 0) return -1;
  const DWORD option = ctrl->GetReplayOption(id);
  m_bNvrSwitching = 0;
  const int p = ChooseFreePlayer(false, true);
  if (p < 0) return 0;
  const int q = NvrPlayerOf(id);
  if (q >= 0 && q != p) {
    // The device streams into another player: that replay ends first, and its
    // stop notice is not taken for the end of the new one.
    m_pPlayer[q]->Stop();
    m_bNvrSwitching = 1;
    ctrl->ControlFileReplay(id, replaycmd::kNvrStop, 0);
    ClearPlayStatus(q);
    m_nPlayerRow[q] = -1;
  }
  MapNvrPlayer(id, p, true);
  m_nPlayerRow[p] = row;
  m_pPlayer[p]->Stop();
  m_pPlayer[p]->SetPlayOption(kMorvikOptionReplay, static_cast<LONG>(option));
  ctrl->StartFileReplay(id, path.c_str());
  return 0;
}

void CSearchRecDlg::OpenNvrDay(int row, int second) {
  PlaybackStatus& slot = m_slots.pb[row];
  if (slot.nRow == -1) {
    WriteLog(6, "OpenReplay:m_oPBStatus[%d].nIndex == -1, OpenReplay refused.", row);
    return;
  }
  if (slot.bPlaying) {
    const DevInfo* dev = NvrDeviceOf(slot);
    if (!dev || !dev->pGimbroCtrl) return;
    const std::string time = replaycmd::NvrTimeText(slot.nYear, slot.nMonth, slot.nDay, second);
    dev->pGimbroCtrl->ControlTimeReplay(dev->GimbroId, slot.nChannel, replaycmd::kSeek, second, time.c_str());
    std::lock_guard<std::mutex> lock(m_csFeed);
    slot.nStartSecond = replaycmd::NvrPieceStart(second);
    return;
  }
  if (slot.nPlayer >= 0 && slot.nPlayer < kPlayers && m_pPlayer[slot.nPlayer]) m_pPlayer[slot.nPlayer]->Stop();
  const PlaybackStatus copy = slot;
  const int p = OnNVRReplay(copy, second);
  std::lock_guard<std::mutex> lock(m_csFeed);
  slot.nPlayer = p;
  if (p != -1) slot.bPlaying = 1;
  slot.nStartSecond = replaycmd::NvrPieceStart(second);
}

int CSearchRecDlg::OnNVRReplay(const PlaybackStatus& slot, int second) {
  const DevInfo* dev = NvrDeviceOf(slot);
  if (!dev || !dev->pGimbroCtrl) return -1;
  CGimbroCtrl* ctrl = dev->pGimbroCtrl;
  const LONG id = dev->GimbroId;
  const std::string time = replaycmd::NvrTimeText(slot.nYear, slot.nMonth, slot.nDay, second);
  const int p = ChooseFreePlayer(true);
  if (p < 0) return -1;
  const int q = NvrPlayerOf(id);
  if (q >= 0 && q != p) {
    m_pPlayer[q]->Stop();
    ctrl->ControlTimeReplay(id, slot.nChannel, replaycmd::kNvrStop, 0, "");
    MapNvrPlayer(id, -1);
    WriteLog(6, "OnNVRReplay: m_map erase player%d, GimbroId=%ld", q + 1, static_cast<long>(id));
  }
  MapNvrPlayer(id, p);
  ctrl->StartTimeReplay(id, slot.nChannel, time.c_str());
  WriteLog(6, "OnNVRReplay: m_map insert player%d, GimbroId=%ld, Channel=%ld, PlayTime=%s", p + 1,
           static_cast<long>(id), static_cast<long>(slot.nChannel), time.c_str());
  return p;
}

void CSearchRecDlg::OnCtrolNVRReplay(LONG command, LONG value, PlaybackStatus* slot) {
  if (!slot) return;
  const DevInfo* dev = NvrDeviceOf(*slot);
  if (!dev || !dev->pGimbroCtrl) return;
  if (command != replaycmd::kSeek) {
    dev->pGimbroCtrl->ControlTimeReplay(dev->GimbroId, slot->nChannel, command, value, "");
    return;
  }
  const int cursor = m_pTimeBar && slot->nRow >= 0 ? m_pTimeBar->GetRowCursor(slot->nRow) : slot->nStartSecond;
  const int target = replaycmd::NvrSeekTarget(cursor, value);
  const std::string time = replaycmd::NvrTimeText(slot->nYear, slot->nMonth, slot->nDay, target);
  dev->pGimbroCtrl->ControlTimeReplay(dev->GimbroId, slot->nChannel, replaycmd::kSeek, value, time.c_str());
  WriteLog(6, "OnCtrolNVRReplay: seek time = %s", time.c_str());
  if (replaycmd::NvrSeekMovesPiece(value)) {
    std::lock_guard<std::mutex> lock(m_csFeed);
    slot->nStartSecond += value;
  }
}

bool CSearchRecDlg::ControlNvrFile(int p, LONG command, LONG value) {
  LONG id = 0;
  {
    std::lock_guard<std::mutex> lock(m_csFeed);
    for (const auto& [gimbroId, player] : m_map) {
      if (player == p && m_nvrFiles.count(gimbroId)) id = gimbroId;
    }
  }
  if (id == 0) return false;
  const DevInfo* dev = DeviceByGimbroId(id);
  const replaycmd::NvrStep step = replaycmd::NvrFileStep(command, value);
  if (!dev || !dev->pGimbroCtrl || step.command == replaycmd::kNone) return true;
  // The NVR paces what it streams: pause, speeds and seeks are carried out
  // there, and the picture follows the frames that come.
  dev->pGimbroCtrl->ControlFileReplay(id, step.command, step.value);
  // The player's stop ends the replay at once; the NVR's end notice that
  // follows finds nothing to end.
  if (step.command == replaycmd::kNvrStop) EndNvrReplay(id, p);
  return true;
}

void CSearchRecDlg::EndNvrReplay(LONG gimbroId, int p) {
  ClearPlayStatus(p);
  if (m_pPlayer[p]) m_pPlayer[p]->Stop();
  MapNvrPlayer(gimbroId, -1);
}

void CSearchRecDlg::OnNVRReplayStatus(LONG gimbroId, LONG state, LONG) {
  const int p = NvrPlayerOf(gimbroId);
  if (p < 0 || state != replaycmd::kNvrStateEnded || m_bNvrSwitching) return;
  EndNvrReplay(gimbroId, p);
}
