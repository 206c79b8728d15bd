// CAudioCodec: the decoder of an NVR's talk audio. The owner sets the audio
// parameters from the talk answer, opens it, and feeds it the talk packets
// (live/talk_packet.h) as they arrive; a thread of its own plays them in
// sequence-number order: G.711 mu-law to 16-bit samples, written to the
// renderer (by default TalkAudioPlayer on the default sound device).
//
// Playing starts once ten packets wait, which absorbs the network's jitter.
// The packet map and the renderer are shared by the owner's thread and the
// decode thread under one lock. Closing ends the thread before it touches
// what the thread uses, so it never waits on a lock the thread holds.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "live/audio/audio_renderer.h"
#include "live/audio/talk_answer.h"

class CAudioCodec {
 public:
  using RendererFactory = std::function<std::unique_ptr<AudioRenderer>()>;

  // Packets that must wait before playing starts.
  static constexpr size_t kStartPackets = 10;
  // With the renderer drained, a new write waits this long for more packets
  // unless kBurstPackets already wait.
  static constexpr std::chrono::milliseconds kRefillWait{125};
  static constexpr size_t kBurstPackets = 8;

  CAudioCodec();
  // With a renderer maker of the caller's (tests); the default makes a TalkAudioPlayer.
  explicit CAudioCodec(RendererFactory factory);
  virtual ~CAudioCodec();
  CAudioCodec(const CAudioCodec&) = delete;
  CAudioCodec& operator=(const CAudioCodec&) = delete;

  // Before Open: the values of the talk answer.
  void SetAudioParams(const talk::AudioParams& params) { m_params = params; }
  const talk::AudioParams& AudioParams() const { return m_params; }

  // 0 ok, -1 renderer or ring failure, -2 sound device failure. Already open: 0.
  // A machine without a sound device opens silent (0).
  int Open();
  // 0 queued, -1 refused (not open, or a packet too short for its header and
  // announced payload, or longer than talk::kPacketMaxSize).
  int InputData(const uint8_t* packet, long length);
  void Close();
  // Halts playback (ring stopped, volume 0) once playing has started.
  void Stop();

  bool IsOpen() const { return m_bOpen.load(); }

 private:
  void DecodeAudioData();
  // One round of the decode loop, with m_lock held; false when the thread
  // should give the lock back and sleep a moment.
  bool DecodeOne();

  RendererFactory m_makeRenderer;
  talk::AudioParams m_params;
  std::atomic<bool> m_bOpen{false};
  std::atomic<bool> m_bPlayStarted{false};
  bool m_bReportedWait = false;  // decode thread only

  std::mutex m_lock;  // guards m_packets and m_pRenderer
  std::map<uint16_t, std::vector<uint8_t>> m_packets;
  std::unique_ptr<AudioRenderer> m_pRenderer;
  std::chrono::steady_clock::time_point m_lastWrite{};
  std::thread m_thread;
};

// The main window's steps on an NVR's talk answer (each logged):
// ReadTalkAnswer gives the answer's audio parameters, std::nullopt when the
// text does not parse or its format cannot be played; OpenTalkDecoder makes a
// decoder with them in *decoder (deleting the one there first) and opens it:
// 0 open, -3 no decoder could be made, else the decoder's own Open error
// (*decoder is then empty).
std::optional<talk::AudioParams> ReadTalkAnswer(std::string_view answer);
int OpenTalkDecoder(const talk::AudioParams& params, std::unique_ptr<CAudioCodec>* decoder);
