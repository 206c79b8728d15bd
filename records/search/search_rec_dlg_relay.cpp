// The record search page plays the files and days of relay channels: it asks
// the relay library for them, steers them with the players' commands and
// follows their ends. Frames come through the library's callbacks
// (search_rec_dlg_media.cpp).
#include <cstdio>
#include <cstring>

#include "core/client_log.h"
#include "core/fixed_text.h"
#include "maker/morvik/morvik.h"
#include "pelk/pelk.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/playback/replay_commands.h"
#include "records/search/search_rec_dlg.h"

using replaycmd::RelayOp;
using replaycmd::RelayStep;

LONG CSearchRecDlg::FindRelayLogin(const char* key) const {
  if (!key || !*key || !m_findRelayLogin) return -1;
  char mac[PELK_KEY_PART_SIZE] = {};
  char ip[PELK_KEY_PART_SIZE] = {};
  SplitDeviceKey(key, mac, ip);
  return m_findRelayLogin(ip, mac);
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
  const std::string key = FormatDeviceKey(FixedText(dev.MACAddr).c_str(), FixedText(dev.IPAddr).c_str());
  int channel = 0;
  if (dev.nType == kRelayKindVideoServer) {
    const size_t length = strnlen(dev.DevName, sizeof(dev.DevName));
    const char last = length ? dev.DevName[length - 1] : '\0';
    channel = last >= '0' && last <= '9' ? last - '0' : 0;
  }
  // Playback starts when the library answers (OnReplayMediaParam).
  Pelk_InviteReplayStart(login, key.c_str(), dev.nStream, channel, 1, path.c_str());
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
  const RelayStep step = replaycmd::RelayDayStep(command, value, slot.nStartSecond);
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
