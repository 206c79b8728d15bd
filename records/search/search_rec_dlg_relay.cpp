// The record search page and relay channels: it asks the relay library for a
// channel's record files (by file) and day maps (by time), shows the peer's
// answers, plays the files and days, steers them with the players' commands
// and follows their ends. Frames come through the library's callbacks
// (search_rec_dlg_media.cpp).
#include <QComboBox>
#include <QDateTimeEdit>
#include <cstdio>
#include <cstring>

#include "core/client_log.h"
#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "maker/morvik/morvik.h"
#include "pelk/pelk.h"
#include "platform/string_table.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/playback/replay_commands.h"
#include "records/search/rec_save_folder.h"
#include "records/search/search_form.h"
#include "records/search/search_rec_dlg.h"
#include "records/search/search_rec_strings.h"
#include "ui/transparent_static.h"

using namespace searchrec;

using replaycmd::RelayOp;
using replaycmd::RelayStep;

LONG CSearchRecDlg::FindRelayLogin(const char* key) const {
  if (!key || !*key || !m_findRelayLogin) return -1;
  char mac[PELK_KEY_PART_SIZE] = {};
  char ip[PELK_KEY_PART_SIZE] = {};
  SplitDeviceKey(key, mac, ip);
  return m_findRelayLogin(ip, mac);
}

namespace {

// The relay channel number of a device: the last character of its name for a
// video server, else 0.
int RelayChannelOf(const RelayDevice& dev) {
  if (dev.nType != kRelayKindVideoServer) return 0;
  const size_t length = strnlen(dev.DevName, sizeof(dev.DevName));
  const char last = length ? dev.DevName[length - 1] : '\0';
  return last >= '0' && last <= '9' ? last - '0' : 0;
}

// Longest path and size text of a by-file result entry (the fields of the
// result records, less their zero byte).
constexpr size_t kResultPathMax = 1023;
constexpr size_t kResultSizeMax = 259;

}  // namespace

std::string CSearchRecDlg::VssDeviceKey() const {
  return FormatDeviceKey(FixedText(m_vssDevice.MACAddr).c_str(), FixedText(m_vssDevice.IPAddr).c_str());
}

int CSearchRecDlg::VssChannel() const { return RelayChannelOf(m_vssDevice); }

BOOL CSearchRecDlg::SearchVssRecByDate(RelayDevice* pRelayDevice) {
  if (IsDownloading() || m_bSearching || !pRelayDevice) return FALSE;
  const RelayDevice& dev = *pRelayDevice;
  const std::string key = FormatDeviceKey(FixedText(dev.MACAddr).c_str(), FixedText(dev.IPAddr).c_str());
  const int channel = RelayChannelOf(dev);
  if (m_bTimeMode) {
    const int slot = m_slots.FindFreeRow();
    if (slot < 0) return FALSE;
    for (const VssPlaybackStatus& vss : m_slots.vss) {
      // The channel has a row already, whatever its day.
      if (vss.nRow != -1 && vss.nChannel == channel && key == FixedText(vss.szDevKey)) return FALSE;
    }
    QDate day = QDate::currentDate();
    if (auto* picker = qobject_cast<QDateTimeEdit*>(GetDlgItem(IDC_QUERY_DAY))) day = picker->date();
    {
      std::lock_guard<std::mutex> lock(m_csFeed);
      PlaybackStatus& local = m_slots.pb[slot];
      if (local.nRow != -1) {
        local.nRow = -1;
        std::memset(local.szDevKey, 0, sizeof(local.szDevKey));
      }
    }
    SYSTEMTIME date;
    date.wYear = static_cast<WORD>(day.year());
    date.wMonth = static_cast<WORD>(day.month());
    date.wDay = static_cast<WORD>(day.day());
    Pelk_InviteReplaySearchByDate(m_findRelayLogin ? m_findRelayLogin(dev.IPAddr, dev.MACAddr) : -1, key.c_str(),
                                  channel, &date);
    {
      std::lock_guard<std::mutex> lock(m_csFeed);
      VssPlaybackStatus& vss = m_slots.vss[slot];
      vss = VssPlaybackStatus{};
      vss.nRow = slot;
      CopyFixedText(vss.szDevKey, key.c_str());
      vss.nChannel = channel;
    }
    ++m_slots.nNextRow;
    return TRUE;
  }

  RefillCombo(IDC_SOURCE, {IDS_LOCAL_RECORD}, 0);
  EnableControl(IDC_TIME_MODE, true);
  ClearFormForDevice();
  m_vssDevice = dev;
  if (auto* label = dynamic_cast<CTransparentStatic*>(GetDlgItem(IDC_DEVICE))) label->SetText(key);
  ShowPlaybackHint();
  auto* media = qobject_cast<QComboBox*>(GetDlgItem(IDC_MEDIA_TYPE));
  const int keep = media ? media->currentIndex() : 0;
  RefillCombo(IDC_MEDIA_TYPE, {IDS_VIDEO, IDS_AUDIO_VIDEO}, keep >= 0 && keep < 2 ? keep : 0);
  OnSelChangeMediaType();
  m_bVssDevice = 1;
  EnableControl(IDC_DOWNLOAD, true);
  std::string server;
  if (!FindVssServerName(dev, &server)) server = "NoName";
  m_strSaveFolder = RelaySaveFolder(server, FixedText(dev.DevName), g_lstRecSchemeInfo);
  return TRUE;
}

bool CSearchRecDlg::FindVssServerName(const RelayDevice& device, std::string* name) const {
  return m_findRelayServerName && m_findRelayServerName(device.IPAddr, device.MACAddr, name);
}

bool CSearchRecDlg::SearchVssRecByFile(int page) {
  if (!m_bVssDevice) return false;
  const RecFileQuery form = ReadForm();
  if (IsLater(form.start, form.end)) {
    ShowMsg(IDS_WRONG_TIME_RANGE);
    return false;
  }
  if (form.nSource != 0) return false;  // only the peer's own record folders
  const LONG login = m_findRelayLogin ? m_findRelayLogin(m_vssDevice.IPAddr, m_vssDevice.MACAddr) : -1;
  const LONG recordType = form.nRecType + 1;
  const LONG media = form.nMediaType == 0 ? 3 : 1;
  const LONG stream = form.nStream == 0 ? 2 : form.nStream == 1 ? 1 : 0;
  auto wireSize = [](const std::string& text) {
    const int64_t size = ParseRecSizeText(text);
    return size == -1 ? int64_t{-2} : size;  // the peer's page form of "no limit"
  };
  const uint64_t minSize = static_cast<uint64_t>(wireSize(form.strMinSize));
  const uint64_t maxSize = static_cast<uint64_t>(wireSize(form.strMaxSize));
  const DATE start = replaycmd::DayDate(form.start.nYear, form.start.nMonth, form.start.nDay) +
                     form.start.SecondOfDay() / 86400.0;
  SYSTEMTIME end;
  end.wYear = static_cast<WORD>(form.end.nYear);
  end.wMonth = static_cast<WORD>(form.end.nMonth);
  end.wDay = static_cast<WORD>(form.end.nDay);
  end.wHour = static_cast<WORD>(form.end.nHour);
  end.wMinute = static_cast<WORD>(form.end.nMinute);
  end.wSecond = static_cast<WORD>(form.end.nSecond);
  Pelk_InviteReplaySearch(login, VssDeviceKey().c_str(), stream, VssChannel(), media, recordType, 1, page, &start,
                          &end, PelkLow(minSize), PelkHigh(minSize), PelkLow(maxSize), PelkHigh(maxSize));
  return true;
}

void CSearchRecDlg::ParseVssRecFileList(const char* text) {
  m_lstResult.clear();
  if (!text) return;
  RecFileItem item;
  std::string field;
  bool tooLong = false;
  for (const char* c = text; *c; ++c) {
    if (*c == '?') {
      item.strFilePath = field;
      tooLong = tooLong || field.size() > kResultPathMax;
      field.clear();
    } else if (*c == '|') {
      item.strFileSize = field;
      // An entry longer than its fields is left out, never cut into another name.
      if (!tooLong && field.size() <= kResultSizeMax) m_lstResult.push_back(item);
      item = RecFileItem{};
      field.clear();
      tooLong = false;
    } else {
      field += *c;
    }
  }
}

int CSearchRecDlg::OnSearchRecFileResult(const RelayReplaySearchResult* record) {
  if (record && record->dwStatus == 0) {
    ParseVssRecFileList(record->pText);
    m_nTotalCount = static_cast<int>(record->dwTotal);
    m_nCurPage = 1;
    ShowResultPage();
    if (!m_lstResult.empty()) EnableControl(IDC_STOP_DOWNLOAD, true);
    return 0;
  }
  m_bSearching = FALSE;
  SetStatusText("");
  ShowMsg(IDS_RESULT_EMPTY);
  return 0;
}

void CSearchRecDlg::OnSearchRecByDateResult(const char* key, int channel, const char* dayMap, int year, int month,
                                            int day) {
  if (!key) return;
  for (int i = 0; i < m_slots.nRowCount; ++i) {
    VssPlaybackStatus& slot = m_slots.vss[i];
    if (slot.nRow == -1 || slot.nChannel != channel || FixedText(slot.szDevKey) != key) continue;
    {
      std::lock_guard<std::mutex> lock(m_csFeed);
      slot.nYear = year;
      slot.nMonth = month;
      slot.nDay = day;
      // A day without a map has no recordings.
      std::memset(slot.szDayMap, kDayMapNone, sizeof(slot.szDayMap));
      if (dayMap) std::memcpy(slot.szDayMap, dayMap, strnlen(dayMap, sizeof(slot.szDayMap)));
    }
    if (m_pTimeBar) {
      char map[kDayMinutes + 1] = {};
      std::memcpy(map, slot.szDayMap, kDayMinutes);
      m_pTimeBar->ClearRow(slot.nRow);
      m_pTimeBar->SetRow(map, key, slot.nRow);
      m_pTimeBar->SetRowDate(slot.nRow, year, month, day);
    }
    return;
  }
}

void CSearchRecDlg::PlayRelayFile(const std::string& path) {
  bool allBusy = true;
  for (CPlayBackAtl* player : m_pPlayer) {
    if (player && !player->IsPlaying()) allBusy = false;
  }
  if (allBusy) return;
  {
    std::lock_guard<std::mutex> lock(m_csFeed);
    for (const std::string& name : m_szReplayFile) {
      if (name == path) return;  // it plays already
    }
  }
  const RelayDevice& dev = m_vssDevice;
  const LONG login = m_findRelayLogin ? m_findRelayLogin(dev.IPAddr, dev.MACAddr) : -1;
  // Playback starts when the library answers (OnReplayMediaParam).
  Pelk_InviteReplayStart(login, VssDeviceKey().c_str(), dev.nStream, VssChannel(), 1, path.c_str());
}

void CSearchRecDlg::OpenRelayDay(int row, int second) {
  VssPlaybackStatus& slot = m_slots.vss[row];
  const LONG login = FindRelayLogin(slot.szDevKey);
  if (slot.bPlaying) {
    // The slot's own channel, as every other call for the day passes it.
    Pelk_InviteReplaySeekByDate(login, slot.szDevKey, slot.nChannel, second);
    return;
  }
  const int p = ChooseFreePlayer(true);
  if (p < 0) return;
  Pelk_InviteReplayStartByDate(login, slot.szDevKey, slot.nChannel,
                               replaycmd::DayDate(slot.nYear, slot.nMonth, slot.nDay), second);
  std::lock_guard<std::mutex> lock(m_csFeed);
  slot.nPlayer = p;
  slot.bPlaying = 1;
  slot.nPosSecond = second;
}

void CSearchRecDlg::FreeRelaySlot(VssPlaybackStatus& slot) {
  if (m_pTimeBar && slot.nRow >= 0) m_pTimeBar->SetRowCursor(slot.nRow, 0);
  std::lock_guard<std::mutex> lock(m_csFeed);
  slot.bPlaying = 0;
  slot.nPlayer = -1;
  slot.nStartSecond = 0;
  slot.video = VideoParam{};
  slot.audio = AudioParam{};
}

void CSearchRecDlg::ControlRelayDay(VssPlaybackStatus& slot, LONG command, LONG value) {
  const LONG login = FindRelayLogin(slot.szDevKey);
  const char* key = slot.szDevKey;
  const LONG channel = slot.nChannel;
  LONG startSecond = 0;
  {
    // The relay's feed thread moves the piece's start as the day plays on.
    std::lock_guard<std::mutex> lock(m_csFeed);
    startSecond = slot.nStartSecond;
  }
  const RelayStep step = replaycmd::RelayDayStep(command, value, startSecond);
  switch (step.op) {
    case RelayOp::kContinue: Pelk_InvitePeplayContinueByDate(login, key, channel); break;
    case RelayOp::kPause: Pelk_InviteReplayPauseByDate(login, key, channel); break;
    case RelayOp::kPrevious: Pelk_InviteReplayPreByDate(login, key, channel); break;
    case RelayOp::kNext: Pelk_InviteReplayNextByDate(login, key, channel); break;
    case RelayOp::kStepPause: Pelk_InviteModuleReplayByDatePause(login, key, channel); break;
    case RelayOp::kStepContinue: Pelk_InviteModulePeplayByDateContinue(login, key, channel); break;
    case RelayOp::kSpeed: Pelk_InviteReplaySpeedByDate(login, key, channel, step.value); break;
    case RelayOp::kSeek: {
      Pelk_InviteReplaySeekByDate(login, key, channel, step.value);
      std::lock_guard<std::mutex> lock(m_csFeed);
      slot.nPosSecond = step.value;
      break;
    }
    case RelayOp::kStop: {
      Pelk_InviteReplayStopByDate(login, key, channel);
      const int p = slot.nPlayer;
      if (p >= 0 && p < kPlayers && m_pPlayer[p]) m_pPlayer[p]->Stop();
      FreeRelaySlot(slot);
      break;
    }
    case RelayOp::kNone: break;
  }
}

CSearchRecDlg::RelayFile CSearchRecDlg::RelayFileOf(int p) const {
  std::lock_guard<std::mutex> lock(m_csFeed);
  return RelayFile{m_szReplayFile[p], static_cast<LONG>(m_nReplayLogin[p]), m_replaySession[p]};
}

void CSearchRecDlg::ControlRelayFile(int p, LONG command, LONG value) {
  const auto [name, login, session] = RelayFileOf(p);
  if (name.empty() || !m_pPlayer[p] || !m_pPlayer[p]->IsPlaying()) return;
  const char* key = session.szDevKey;
  const DWORD s1 = session.dwSession1;
  const DWORD s2 = session.dwSession2;
  const char* file = name.c_str();
  const RelayStep step = replaycmd::RelayFileStep(command, value);
  switch (step.op) {
    case RelayOp::kContinue: Pelk_InvitePeplayContinue(login, key, s1, s2, file); break;
    case RelayOp::kPause: Pelk_InviteReplayPause(login, key, s1, s2, file); break;
    case RelayOp::kPrevious: Pelk_InviteReplayPre(login, key, s1, s2, file); break;
    case RelayOp::kNext: Pelk_InviteReplayNext(login, key, s1, s2, file); break;
    case RelayOp::kStepPause: Pelk_InviteModuleReplayPause(login, key, s1, s2, file); break;
    case RelayOp::kStepContinue: Pelk_InviteModulePeplayContinue(login, key, s1, s2, file); break;
    case RelayOp::kSpeed: Pelk_InviteReplaySpeed(login, key, s1, s2, step.value, file); break;
    case RelayOp::kSeek: Pelk_InviteReplaySeek(login, key, s1, s2, step.value, file); break;
    case RelayOp::kStop: {
      Pelk_InviteReplayStop(login, key, s1, s2, file);
      m_pPlayer[p]->Stop();
      std::lock_guard<std::mutex> lock(m_csFeed);
      m_szReplayFile[p].clear();
      m_nReplayLogin[p] = -1;
      m_replaySession[p] = RelayReplaySession{};
      break;
    }
    case RelayOp::kNone: break;
  }
}

void CSearchRecDlg::OnReplayFileEnd(const char* name) {
  if (!name) return;
  for (int p = 0; p < kPlayers; ++p) {
    if (!m_pPlayer[p] || !m_pPlayer[p]->IsPlaying()) continue;
    {
      std::lock_guard<std::mutex> lock(m_csFeed);
      if (m_szReplayFile[p] != name) continue;
      m_szReplayFile[p].clear();
      m_nReplayLogin[p] = -1;
    }
    m_pPlayer[p]->Stop();
    return;
  }
}

void CSearchRecDlg::OnReplayByDateEnd(const char* key, int channel) {
  if (!key) return;
  for (VssPlaybackStatus& slot : m_slots.vss) {
    if (!slot.bPlaying || slot.nChannel != channel || std::strncmp(slot.szDevKey, key, sizeof(slot.szDevKey)) != 0)
      continue;
    const int p = slot.nPlayer;
    if (p < 0 || p >= kPlayers) return;
    if (m_pPlayer[p]) m_pPlayer[p]->Stop();
    FreeRelaySlot(slot);
    return;
  }
}

void CSearchRecDlg::StopAllReplay() {
  // The window is closing: the sources are told, the slots stay as they are.
  for (int p = 0; p < kPlayers; ++p) {
    const auto [name, login, session] = RelayFileOf(p);
    if (name.empty() || !m_pPlayer[p] || !m_pPlayer[p]->IsPlaying() || login <= 0) continue;
    Pelk_InviteReplayStop(login, session.szDevKey, session.dwSession1, session.dwSession2, name.c_str());
  }
  for (int i = 0; i < m_slots.nRowCount; ++i) {
    const VssPlaybackStatus& slot = m_slots.vss[i];
    if (!slot.bPlaying) continue;
    Pelk_InviteReplayStopByDate(FindRelayLogin(slot.szDevKey), slot.szDevKey, slot.nChannel);
  }
}
