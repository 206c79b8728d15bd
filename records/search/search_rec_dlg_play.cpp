// The record search page opens recordings on its players: a double click on a
// file of the result list, or on a point of a day row of the time-line bar.
// Local record files are opened by the player itself; files and days that an
// NVR or a relay peer streams are opened by the NVR and relay playback.
#include <QDateTimeEdit>
#include <cstdio>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "maker/morvik/morvik.h"
#include "platform/string_table.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/search/search_rec_dlg.h"
#include "records/search/search_rec_strings.h"
#include "ui/sort_list_ctrl.h"

namespace {

// Player option 9: 0 a single file, 1 the files of a day one after another.
constexpr LONG kSingleFile = 0;
constexpr LONG kDayFiles = 1;

}  // namespace

BOOL CSearchRecDlg::HasFreePlayer() const {
  auto free = [this](int i) { return m_pPlayer[i] && !m_pPlayer[i]->IsPlaying(); };
  switch (m_nWindowCount) {
    case 1: return free(0);
    case 2: return free(0) || free(1);
    case 4: return free(0) || free(1) || free(2) || free(3);
    default: return FALSE;
  }
}

bool CSearchRecDlg::AllPlayersExist() const {
  for (CPlayBackAtl* player : m_pPlayer) {
    if (!player) return false;
  }
  return true;
}

int CSearchRecDlg::ChooseFreePlayer(bool skipHeld, bool inPanes) const {
  bool busy[kPlayers];
  for (int i = 0; i < kPlayers; ++i) busy[i] = !m_pPlayer[i] || m_pPlayer[i]->IsPlaying();
  const int selected = inPanes && m_nCurWnd >= m_nWindowCount ? -1 : m_nCurWnd;
  return ChoosePlayer(busy, selected, skipHeld ? &m_slots : nullptr);
}

void CSearchRecDlg::OnDblClkResultList() {
  if (!HasFreePlayer() || !m_pResultList) return;
  int row = -1;
  for (int r = 0; r < m_pResultList->GetItemCount() && row < 0; ++r) {
    if (m_pResultList->GetItemStates(r) & RLS_SELECTED) row = r;
  }
  if (row < 0) return;
  const std::string path = m_pResultList->GetItemText(row, 0).substr(0, 1024);
  if (path.empty()) return;
  if (m_bVssDevice) {
    PlayRelayFile(path);
    return;
  }
  // A file on the NVR is told by where the search looked (the front-end
  // records of an NVR), never by the form of its path: every local path
  // begins with '/' too.
  if (m_devInfo.DevType == kDevTypeNvr && SourceIndex() == 1) {
    PlayNvrFile(path, row);
    return;
  }
  PlayLocalFile(path, row);
}

void CSearchRecDlg::PlayLocalFile(const std::string& path, int row) {
  if (!AllPlayersExist()) return;
  const int p = ChooseFreePlayer(false);
  if (p < 0) return;
  if (m_pResultList && m_nPlayerRow[p] >= 0) m_pResultList->SetItemText(m_nPlayerRow[p], 3, "");
  CPlayBackAtl* player = m_pPlayer[p];
  player->SetPlayOption(kMorvikOptionSound, 0);
  player->SetPlayOption(kMorvikOptionContinuous, kSingleFile);
  if (!OpenOnPlayer(p, path)) {
    m_nPlayerRow[p] = -1;
    return;
  }
  m_nPlayerRow[p] = row;
  SetTimer(kPlayStatusTimer, 1000);
}

bool CSearchRecDlg::OpenOnPlayer(int p, const std::string& path) {
  if (p < 0 || p >= kPlayers || !m_pPlayer[p]) return false;
  if (m_pPlayer[p]->OpenFile(path.c_str()) == 0) return true;
  WriteLog(6, "CSearchRecDlg: player %d cannot open %s", p + 1, path.c_str());
  const size_t cut = path.find_last_of("\\/");
  char text[1400];
  std::snprintf(text, sizeof text, "%s%d: %s %s", LoadStringA(searchrec::IDS_WINDOW).c_str(), p + 1,
                LoadStringA(searchrec::IDS_CANNOT_PLAY).c_str(),
                (cut == std::string::npos ? path : path.substr(cut + 1)).c_str());
  SetStatusText(text);
  return false;
}

void CSearchRecDlg::OnPlaybackDblClick(int row, int second) {
  if (!m_pTimeBar || row > m_slots.nRowCount || row < 0 || row >= kPlaybackSlots) return;
  if (second >= 0) {
    if (HasFreePlayer() || m_slots.pb[row].bPlaying || m_slots.vss[row].bPlaying) OpenReplay(row, second);
    return;
  }
  // The name of a row that does not play: the row goes.
  for (int i = 0; i < m_slots.nRowCount; ++i) {
    const bool local = m_slots.pb[i].nRow == row && !m_slots.pb[i].bPlaying;
    const bool relay = m_slots.vss[i].nRow == row && !m_slots.vss[i].bPlaying;
    if (!local && !relay) continue;
    m_pTimeBar->ClearRow(row);
    std::lock_guard<std::mutex> lock(m_csFeed);
    if (local) {
      m_slots.pb[i].nPlayer = -1;
      m_slots.pb[i].szDevKey[0] = '\0';
      m_slots.pb[i].nRow = -1;
    } else {
      m_slots.vss[i].nPlayer = -1;
      m_slots.vss[i].szDevKey[0] = '\0';
      m_slots.vss[i].nRow = -1;
    }
    return;
  }
}

void CSearchRecDlg::OpenReplay(int row, int second) {
  if (row < 0 || row >= kPlaybackSlots) return;
  if (m_slots.vss[row].nRow == row) {
    OpenRelayDay(row, second);
    return;
  }
  // An NVR day is told by its device, not by its channel: a local camera
  // whose name ends in a digit has a channel above 0 too.
  if (IsNvrSlot(m_slots.pb[row])) {
    OpenNvrDay(row, second);
    return;
  }
  OpenLocalDay(row, second);
}

void CSearchRecDlg::OpenLocalDay(int row, int second) {
  PlaybackStatus& slot = m_slots.pb[row];
  if (slot.nRow == -1 || !AllPlayersExist()) return;
  const DayFilePick pick = PickDayFile(slot.day, second);
  if (pick.nIndex < 0) return;
  int p = slot.nPlayer;
  if (!slot.bPlaying || p < 0 || p >= kPlayers) {
    p = ChooseFreePlayer(true);
    if (p < 0) return;
  }
  {
    std::lock_guard<std::mutex> lock(m_csFeed);
    slot.nCurFile = pick.nIndex;
    slot.nStartSecond = pick.nStartSecond;
    slot.nPlayer = p;
    slot.bPlaying = 1;
  }
  CPlayBackAtl* player = m_pPlayer[p];
  if (player->IsPlaying()) player->Stop();
  player->SetPlayOption(kMorvikOptionSound, 0);
  player->SetPlayOption(kMorvikOptionContinuous, kDayFiles);
  if (!OpenOnPlayer(p, pick.strPath)) {
    FreeLocalSlot(slot);
    return;
  }
  player->SetPlaySeconds(kMorvikStartPosition, pick.nOffset);
  m_pTimeBar->SetRowCursor(row, pick.nStartSecond + pick.nOffset);
  WriteLog(6, "OpenReplay: SetPlaySeconds. ProgressSeconds=%d,StartSeconds=%d", pick.nOffset, pick.nStartSecond);
}

const DevInfo* CSearchRecDlg::NvrDeviceOf(const PlaybackStatus& slot) const {
  for (const DevInfo& dev : g_lstDevInfo) {
    const bool sameKey = FixedTextView(dev.IPAddr) == FixedTextView(slot.szDevKey) ||
                         FixedTextView(dev.DevId) == FixedTextView(slot.szDevKey);
    if (dev.DevType == kDevTypeNvr && dev.CurNVRChannel == slot.nChannel && sameKey) return &dev;
  }
  return nullptr;
}

void CSearchRecDlg::OnBnClickedBtnSyncPlay() {
  int second = 0;
  if (auto* picker = qobject_cast<QDateTimeEdit*>(GetDlgItem(IDC_SYNC_TIME))) {
    const QTime t = picker->time();
    second = t.hour() * 3600 + t.minute() * 60 + t.second();
  }
  int freePlayers = 0;
  for (int i = 0; i < kPlayers && i < m_nWindowCount; ++i) {
    if (m_pPlayer[i] && !m_pPlayer[i]->IsPlaying() && !m_slots.HoldsPlayer(i)) ++freePlayers;
  }
  // No pane is selected meanwhile: each row goes to the next free pane.
  const int selected = m_nCurWnd;
  m_nCurWnd = 200;
  int started = 0;
  for (int i = 0; i < m_slots.nRowCount && started < freePlayers; ++i) {
    const PlaybackStatus& local = m_slots.pb[i];
    const VssPlaybackStatus& relay = m_slots.vss[i];
    // A relay row is judged by its own day map, a local or NVR row by its slot's.
    const char* map = nullptr;
    if (!relay.bPlaying && relay.nRow == i) {
      map = relay.szDayMap;
    } else if (!local.bPlaying && local.nRow == i) {
      map = local.day.szDayMap;
    }
    if (!map || !DayMapHasRecords(map)) continue;
    OnPlaybackDblClick(i, second);
    ++started;
  }
  m_nCurWnd = selected;
}
