// The record search page's side of its players' events: the buttons of a
// player's own bar become commands for what the player shows (a local, NVR or
// relay day, or an NVR or relay file), the play position moves the time-line cursor,
// the end of a file of a day opens the next one, and a click selects the
// player.
#include <cstdlib>

#include "core/client_log.h"
#include "maker/morvik/morvik.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/playback/replay_commands.h"
#include "records/search/search_rec_dlg.h"

void CSearchRecDlg::FreeLocalSlot(PlaybackStatus& slot) {
  if (m_pTimeBar && slot.nRow >= 0) m_pTimeBar->SetRowCursor(slot.nRow, 0);
  std::lock_guard<std::mutex> lock(m_csFeed);
  slot.bPlaying = 0;
  slot.nPlayer = -1;
  slot.nStartSecond = 0;
}

LONG CSearchRecDlg::OnPlayerCommand(LONG ctrlId, LONG command, LONG value) {
  const int p = PlayerOfCtrl(ctrlId);
  for (int i = 0; i < m_slots.nRowCount; ++i) {
    PlaybackStatus& local = m_slots.pb[i];
    if (local.bPlaying && local.nPlayer == p) {
      const bool nvr = IsNvrSlot(local);
      if (command == replaycmd::kStop) FreeLocalSlot(local);
      // A local day is played by the player itself: its own bar has done
      // what was asked. An NVR day is steered at the NVR.
      if (!nvr) return FALSE;
      const replaycmd::NvrStep step = replaycmd::NvrDayStep(command, value);
      OnCtrolNVRReplay(step.command, step.value, &local);
      return FALSE;
    }
    VssPlaybackStatus& relay = m_slots.vss[i];
    if (relay.bPlaying && relay.nPlayer == p) {
      ControlRelayDay(relay, command, value);
      return FALSE;
    }
  }
  if (p < 0 || p >= kPlayers) return FALSE;
  if (!ControlNvrFile(p, command, value)) ControlRelayFile(p, command, value);
  return FALSE;
}

LONG CSearchRecDlg::OnPlayerNotify(LONG ctrlId, LONG code, const char* text) {
  const int p = PlayerOfCtrl(ctrlId);
  if (code == kMorvikNotifyPosition) {
    const int seconds = text ? std::atoi(text) : 0;
    for (int i = 0; i < m_slots.nRowCount; ++i) {
      const PlaybackStatus& local = m_slots.pb[i];
      const VssPlaybackStatus& relay = m_slots.vss[i];
      const int start = local.bPlaying && local.nPlayer == p   ? local.nStartSecond
                        : relay.bPlaying && relay.nPlayer == p ? relay.nStartSecond
                                                               : -1;
      if (start < 0) continue;
      const int row = local.bPlaying && local.nPlayer == p ? local.nRow : relay.nRow;
      if (m_pTimeBar && row >= 0) m_pTimeBar->SetRowCursor(row, seconds + start);
      return FALSE;
    }
    return FALSE;
  }
  if (code != kMorvikNotifyPieceEnd || p < 0 || p >= kPlayers) return FALSE;
  // The file of a day has been played to its end: the next file of the day
  // follows, or the day is over.
  for (int i = 0; i < m_slots.nRowCount; ++i) {
    PlaybackStatus& slot = m_slots.pb[i];
    if (slot.nPlayer != p) continue;
    int count = 0;
    const RecDayFile* next = nullptr;
    for (const RecDayFile& file : slot.day.lstFile) {
      if (++count > slot.nCurFile) {
        next = &file;
        break;
      }
    }
    CPlayBackAtl* player = m_pPlayer[p];
    if (next) {
      {
        std::lock_guard<std::mutex> lock(m_csFeed);
        slot.nCurFile = count;
        slot.nStartSecond = next->nStartSecond;
      }
      if (!OpenOnPlayer(p, next->strFilePath)) {
        FreeLocalSlot(slot);
        slot.nCurFile = 0;
      }
      return FALSE;
    }
    if (player) player->Stop();
    FreeLocalSlot(slot);
    slot.nCurFile = 0;
    return FALSE;
  }
  return FALSE;
}

LONG CSearchRecDlg::OnPlayerEvent3(LONG, LONG, LONG, LONG) { return FALSE; }

LONG CSearchRecDlg::OnPlayerMouse(LONG ctrlId, LONG message, LONG, LONG) {
  int p = PlayerOfCtrl(ctrlId);
  if (p < 0 || p >= kPlayers) p = kPlayers - 1;
  CPlayBackAtl* player = m_pPlayer[p];
  if (!player || player->GetViewState() != 0) return FALSE;
  if (message == kMorvikWmLButtonUp) {
    DrawPlayerFrame(m_nCurWnd, false);
    DrawPlayerFrame(p, true);
  } else if (message == kMorvikWmLButtonDblClk && p == 0 && m_bFullScreen && m_bPlayer1Full && player->IsPlaying()) {
    OnFullScreen();
    LayoutPage();
  }
  return FALSE;
}
