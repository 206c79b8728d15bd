// The record search page feeds its players: relay files and days from the
// relay library's threads, NVR files and days from the device-messaging
// control. Every feeding call looks its player up under m_csFeed and calls the
// player's engine after letting the lock go (search_rec_dlg.h).
#include <cstring>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "gimbro/gimbro.h"
#include "maker/morvik/morvik.h"
#include "pelk/pelk.h"
#include "records/playback/replay_media.h"
#include "records/search/search_rec_dlg.h"
#include "ui/sort_list_ctrl.h"

using namespace replaymedia;

namespace {

constexpr long kNvrDaySeconds = 600;

// Sets a player up for a stream: its parameter texts, the piece and the start.
void StartFed(MorvikEngine& engine, const std::string& videoText, long videoSize, const std::string& audioText,
              long audioSize, int pieceSeconds) {
  engine.SetMediaParam(videoText.c_str(), videoSize, kMorvikMediaVideo);
  if (!audioText.empty() && audioSize > 0) engine.SetMediaParam(audioText.c_str(), audioSize, kMorvikMediaAudio);
  engine.SetPlaySeconds(kMorvikPieceLength, pieceSeconds);
}

}  // namespace

void CSearchRecDlg::ResetPlayerOption(int player) {
  std::shared_ptr<MorvikEngine> engine;
  {
    std::lock_guard<std::mutex> lock(m_csFeed);
    engine = EngineOf(player);
  }
  // The player's options may be set from any thread: no call waits for the
  // window thread.
  if (engine) engine->SetPlayOption(kMorvikOptionReplay, 0);
}

void CSearchRecDlg::MapNvrPlayer(LONG gimbroId, int player, bool file) {
  std::lock_guard<std::mutex> lock(m_csFeed);
  if (player >= 0 && player < kPlayers) {
    m_map[gimbroId] = player;
  } else {
    m_map.erase(gimbroId);
  }
  if (file && m_map.count(gimbroId)) {
    m_nvrFiles.insert(gimbroId);
  } else {
    m_nvrFiles.erase(gimbroId);
  }
}

const DevInfo* CSearchRecDlg::DeviceByGimbroId(LONG gimbroId) const {
  for (const DevInfo& dev : g_lstDevInfo) {
    if (dev.GimbroId == gimbroId && gimbroId != 0) return &dev;
  }
  return nullptr;
}

// --- relay files ---

void CSearchRecDlg::OnReplayMediaParam(const VideoParam* video, const AudioParam* audio, int seconds,
                                       const char* name, const RelayReplaySession* session, long login) {
  VideoParam videoCopy;
  AudioParam audioCopy;
  CopyVideoParam(video, &videoCopy);
  CopyAudioParam(audio, &audioCopy);
  const std::string fileName = name ? name : "";

  int row = m_pResultList ? m_pResultList->GetItemCount() : 0;
  if (m_pResultList) {
    for (int r = 0; r < m_pResultList->GetItemCount(); ++r) {
      if (m_pResultList->GetItemText(r, 0) == fileName) {
        row = r;
        break;
      }
    }
  }
  auto isFree = [this](int i) { return m_pPlayer[i] && !m_pPlayer[i]->IsPlaying(); };
  const bool pending = m_nCurWnd >= 0 && m_nCurWnd < kPlayers && isFree(m_nCurWnd);
  int chosen = -1;
  for (int i = 0; i < kPlayers && chosen < 0; ++i) {
    if ((isFree(i) && !pending) || (pending && i == m_nCurWnd)) chosen = i;
  }
  if (chosen < 0) {
    const RelayReplaySession none;
    const RelayReplaySession& s = session ? *session : none;
    Pelk_InviteReplayStop(login, s.szDevKey, s.dwSession1, s.dwSession2, fileName.c_str());
    return;
  }
  {
    std::lock_guard<std::mutex> lock(m_csFeed);
    m_szReplayFile[chosen] = fileName;
    m_nReplayLogin[chosen] = login;
    m_replaySession[chosen] = session ? *session : RelayReplaySession{};
  }
  m_nPlayerRow[chosen] = row;
  CPlayBackAtl* player = m_pPlayer[chosen];
  player->Stop();
  player->SetPlayOption(kMorvikOptionReplay, 0);
  if (IsPresent(videoCopy)) {
    player->SetMediaParam(ParamText(&videoCopy, sizeof(videoCopy)).c_str(), sizeof(videoCopy), kMorvikMediaVideo);
    if (IsPresent(audioCopy)) {
      player->SetMediaParam(ParamText(&audioCopy, sizeof(audioCopy)).c_str(), sizeof(audioCopy), kMorvikMediaAudio);
    }
  }
  player->SetPlaySeconds(kMorvikPieceLength, seconds);
  player->SetPlaySeconds(kMorvikStartPosition, 0);
  player->Play();
  player->SetRunState(1);
  SetTimer(kPlayStatusTimer, 1000);
}

void CSearchRecDlg::InputReplayData(int kind, const BYTE* data, long length, const RelayFrameInfo* info,
                                    const char* name) {
  if (!name) return;
  std::shared_ptr<MorvikEngine> engine;
  {
    std::lock_guard<std::mutex> lock(m_csFeed);
    for (int p = 0; p < kPlayers && !engine; ++p) {
      if (m_szReplayFile[p] != name || !m_engines[p]) continue;
      // Players 3 and 4 take a file's frames only while they play.
      if (p < 2 || m_engines[p]->IsPlaying()) engine = m_engines[p];
    }
  }
  if (!engine) return;
  BYTE header[16];
  RelayFrameHeader(info, header);
  if (kind == 0) {
    engine->InputVideo(data, length, header, sizeof(header));
  } else if (kind == 1) {
    engine->InputAudio(data, length, header, sizeof(header));
  }
}

// --- relay days ---

int CSearchRecDlg::InputReplayDataByDate(const char* key, long, int channel, int kind, const BYTE* data,
                                         long length, const RelayFrameInfo* info, const VideoParam* video,
                                         const AudioParam* audio, BOOL attached, int seconds, int start) {
  if (!key) return 0;
  std::shared_ptr<MorvikEngine> engine;
  bool changed = false;
  VideoParam videoCopy;
  AudioParam audioCopy;
  int slotIndex = -1;
  {
    std::lock_guard<std::mutex> lock(m_csFeed);
    for (int i = 0; i < kPlaybackSlots && slotIndex < 0; ++i) {
      const VssPlaybackStatus& slot = m_slots.vss[i];
      if (slot.bPlaying && slot.nChannel == channel && std::strncmp(slot.szDevKey, key, sizeof(slot.szDevKey)) == 0)
        slotIndex = i;
    }
    if (slotIndex < 0) return 0;
    VssPlaybackStatus& slot = m_slots.vss[slotIndex];
    engine = EngineOf(slot.nPlayer);
    if (!engine) return 0;
    if (attached) {
      CopyVideoParam(video, &videoCopy);
      CopyAudioParam(audio, &audioCopy);
      changed = !SameVideo(slot.video, videoCopy) || !SameAudio(slot.audio, audioCopy);
      if (changed) {
        slot.video = videoCopy;
        slot.audio = audioCopy;
      }
      slot.nStartSecond = start;
    }
  }
  if (attached) {
    const int position = info ? static_cast<int>(info->dTime / 1000.0) : 0;
    if (changed) {
      engine->Stop();
      engine->SetPlayOption(kMorvikOptionReplay, 0);
      if (IsPresent(videoCopy)) {
        StartFed(*engine, ParamText(&videoCopy, sizeof(videoCopy)), sizeof(videoCopy),
                 IsPresent(audioCopy) ? ParamText(&audioCopy, sizeof(audioCopy)) : std::string(), sizeof(audioCopy),
                 seconds);
      } else {
        engine->SetPlaySeconds(kMorvikPieceLength, seconds);
      }
      engine->Play();
      engine->SetRunState(1);
    } else {
      engine->SetPlaySeconds(kMorvikPieceLength, seconds);
    }
    engine->SetPlaySeconds(kMorvikStartPosition, position);
  }
  BYTE header[16];
  RelayFrameHeader(info, header);
  if (kind == 0) {
    engine->InputVideo(data, length, header, sizeof(header));
  } else if (kind == 1) {
    engine->InputAudio(data, length, header, sizeof(header));
  }
  return 1;
}

// --- NVR files and days ---

void CSearchRecDlg::OnMediaParamRecv(LONG gimbroId, std::string text, LONG kind) {
  NvrMediaParam param;
  const bool parsed = ParseNvrMediaParam(text, &param);
  std::shared_ptr<MorvikEngine> engine;
  {
    std::lock_guard<std::mutex> lock(m_csFeed);
    auto it = m_map.find(gimbroId);
    if (it != m_map.end()) engine = EngineOf(it->second);
  }
  if (kind == GIMBRO_MEDIA_NVR_REPLAY) {
    if (!parsed || !engine) return;
    if (param.hasVideo) {
      if (engine->GetSetupState(kMorvikSetupVideo) < 1) {
        engine->Stop();
        engine->SetPlayOption(kMorvikOptionReplay, 0);
        engine->SetPlaySeconds(kMorvikPieceLength, kNvrDaySeconds);
        engine->SetMediaParam(param.video.c_str(), kMorvikVideoParamSize, kMorvikMediaVideo);
        engine->SetPlaySeconds(kMorvikStartPosition, 0);
        engine->Play();
        engine->SetRunState(1);
      }
    } else if (param.hasAudio && engine->GetSetupState(kMorvikSetupAudio) <= 0) {
      engine->SetMediaParam(param.audio.c_str(), kMorvikAudioParamSize, kMorvikMediaAudio);
    }
    return;
  }
  if (!parsed) return;
  WriteLog(6, "CSearchRecDlg: receive media param, GimbroId=%ld, MediaData=%s", static_cast<long>(gimbroId),
           text.c_str());
  const DevInfo* dev = DeviceByGimbroId(gimbroId);
  const DWORD option = dev && dev->pGimbroCtrl ? dev->pGimbroCtrl->GetReplayOption(gimbroId) : 0;
  if (!engine) return;
  engine->Stop();
  engine->SetPlayOption(kMorvikOptionReplay, static_cast<LONG>(option));
  StartFed(*engine, param.video, TextBlockSize(param.video), param.audio, TextBlockSize(param.audio), param.seconds);
  engine->SetPlaySeconds(kMorvikStartPosition, 0);
  engine->Play();
  engine->SetRunState(1);
  m_bNvrSwitching = 0;
  WriteLog(6, "CSearchRecDlg: set media param success.");
}

void CSearchRecDlg::OnMediaDataRecv(LONG gimbroId, const BYTE* packet, LONG length, const BYTE* header) {
  NvrPacket nvr;
  // A packet is its 20-byte prefix and then the frame: anything shorter is dropped.
  if (!ParseNvrPacket(packet, length, &nvr) || !header) return;
  std::shared_ptr<MorvikEngine> engine;
  int player = -1;
  {
    std::lock_guard<std::mutex> lock(m_csFeed);
    auto it = m_map.find(gimbroId);
    if (it != m_map.end()) {
      player = it->second;
      engine = EngineOf(player);
    }
  }
  if (!engine) return;
  switch (nvr.kind) {
    case kNvrFileVideo:
      engine->InputVideo(nvr.payload, nvr.length, header, 16);
      break;
    case kNvrFileAudio:
      engine->InputAudio(nvr.payload, nvr.length, header, 16);
      break;
    case kNvrDayVideo: {
      const double frameMs = HeaderTimeMs(header);
      const DayPiece piece = SplitDayTime(frameMs < 0 ? 0 : frameMs);
      BYTE inPiece[16];
      std::memcpy(inPiece, header, sizeof(inPiece));
      SetHeaderTimeMs(inPiece, static_cast<double>(piece.msInPiece));
      {
        std::lock_guard<std::mutex> lock(m_csFeed);
        for (PlaybackStatus& slot : m_slots.pb) {
          if (!slot.bPlaying || slot.nPlayer != player) continue;
          if (slot.nStartSecond != piece.pieceStart) slot.nStartSecond = piece.pieceStart;
          break;
        }
      }
      if (engine->GetSetupState(kMorvikSetupStart) == -1) {
        engine->SetPlaySeconds(kMorvikStartPosition, static_cast<LONG>(piece.msInPiece / 1000));
      }
      engine->InputVideo(nvr.payload, nvr.length, inPiece, sizeof(inPiece));
      break;
    }
    case kNvrDayAudio: {
      if (engine->GetSetupState(kMorvikSetupAudio) < 1) {
        const DevInfo* dev = DeviceByGimbroId(gimbroId);
        bool idle = false;
        if (dev) {
          std::lock_guard<std::mutex> lock(m_csFeed);
          for (int i = 0; i < m_slots.nRowCount; ++i) {
            const PlaybackStatus& slot = m_slots.pb[i];
            if (FixedTextView(slot.szDevKey) != FixedTextView(dev->IPAddr) || slot.nChannel != dev->CurNVRChannel)
              continue;
            idle = !slot.bPlaying && slot.nPlayer == -1;
            break;
          }
        }
        if (idle) {
          WriteLog(6, "OnMediaDataRecv: player stop, refuse input media data.");
          return;
        }
      }
      engine->InputAudio(nvr.payload, nvr.length, header, 16);
      break;
    }
    default:
      break;
  }
}
