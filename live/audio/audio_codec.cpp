#include "live/audio/audio_codec.h"

#include <new>
#include <string>

#include "core/client_log.h"
#include "live/audio/mulaw.h"
#include "live/audio/talk_audio_player.h"
#include "live/audio/talk_packet.h"

namespace {

constexpr size_t kSmallRing = 10240;  // audio type 0
constexpr size_t kLargeRing = 20480;  // audio type 1
constexpr std::chrono::milliseconds kPause{5};

}  // namespace

CAudioCodec::CAudioCodec()
    : CAudioCodec([] { return std::make_unique<TalkAudioPlayer>(); }) {}

CAudioCodec::CAudioCodec(RendererFactory factory) : m_makeRenderer(std::move(factory)) {}

CAudioCodec::~CAudioCodec() { Close(); }

int CAudioCodec::Open() {
  if (m_bOpen.load()) {
    WriteLog(6, "CAudioCodec: decode have opened.");
    return 0;
  }
  std::unique_ptr<AudioRenderer> renderer = m_makeRenderer ? m_makeRenderer() : nullptr;
  if (!renderer) {
    WriteLog(3, "CAudioCodec: new audio render failed.");
    return -1;
  }
  const TalkWaveFormat format =
      MakeTalkWaveFormat(m_params.sampleRate, m_params.bitsPerSample, m_params.channels);
  // No sound device is no failure: the renderer then plays nothing.
  renderer->Initialize();
  if (!renderer->AllocDSoundBuffer(format, m_params.audioType == 1 ? kLargeRing : kSmallRing)) {
    WriteLog(3, "CAudioCodec: alloc dsound buffer failed.");
    return -1;
  }
  renderer->SetVolume(100);
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_pRenderer = std::move(renderer);
    m_packets.clear();
  }
  m_bPlayStarted = false;
  m_bReportedWait = false;
  m_bOpen = true;
  m_thread = std::thread(&CAudioCodec::DecodeAudioData, this);
  return 0;
}

int CAudioCodec::InputData(const uint8_t* packet, long length) {
  if (!m_bOpen.load()) {
    WriteLog(6, "CAudioCodec: decode hav't open,decode refuse.");
    return -1;
  }
  const auto view = length > 0 ? talk::ParsePacket(packet, static_cast<size_t>(length)) : std::nullopt;
  if (!view) {
    WriteLog(3, "CAudioCodec: talk packet of %ld bytes dropped, its header does not match its length.",
             length);
    return -1;
  }
  WriteLog(6, "CAudioCodec: pPacketHead->pack_seq = %d", view->sequence);
  // Only the header and the payload it announces are kept.
  std::vector<uint8_t> copy(packet, packet + talk::kPacketHeaderSize + view->payloadSize);
  std::lock_guard<std::mutex> guard(m_lock);
  m_packets[view->sequence] = std::move(copy);
  return 0;
}

void CAudioCodec::Close() {
  const bool wasOpen = m_bOpen.exchange(false);
  // The thread gives the lock back every round and sees the cleared flag, so
  // it is joined before the lock is taken here.
  if (m_thread.joinable()) m_thread.join();
  if (!wasOpen) return;
  std::lock_guard<std::mutex> guard(m_lock);
  m_packets.clear();
  if (m_pRenderer) {
    m_pRenderer->Stop();
    m_pRenderer->Release();
    m_pRenderer.reset();
  }
  WriteLog(6, "CAudioCodec: close decoder.");
}

void CAudioCodec::Stop() {
  if (!m_bPlayStarted.load()) return;
  std::lock_guard<std::mutex> guard(m_lock);
  if (m_pRenderer) {
    m_pRenderer->Stop();
    m_pRenderer->SetVolume(0);
  }
}

void CAudioCodec::DecodeAudioData() {
  WriteLog(6, "begin decode audio data.");
  while (m_bOpen.load()) {
    std::unique_lock<std::mutex> lock(m_lock);
    const bool served = DecodeOne();
    lock.unlock();
    if (!served) std::this_thread::sleep_for(kPause);
  }
}

bool CAudioCodec::DecodeOne() {
  if (!m_pRenderer) return false;
  if (!m_bPlayStarted.load()) {
    if (m_packets.size() < kStartPackets) return false;
    m_bPlayStarted = true;
  }
  if (m_packets.empty()) return false;

  const int state = m_pRenderer->QueryState();
  if (state == AudioRenderer::kFull) return false;
  if (state == AudioRenderer::kNoData) {
    m_pRenderer->SetVolume(0);
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastWrite < kRefillWait && m_packets.size() < kBurstPackets) {
      if (!m_bReportedWait) {
        WriteLog(6, "pAudioCodec->audiopack.size() == %d", static_cast<int>(m_packets.size()));
        m_bReportedWait = true;
      }
      return false;
    }
  }
  m_bReportedWait = false;

  auto first = m_packets.begin();
  const std::vector<uint8_t> packet = std::move(first->second);
  m_packets.erase(first);
  const auto view = talk::ParsePacket(packet.data(), packet.size());
  if (view && view->payloadSize <= talk::kPayloadMaxSize && view->streamType != 0) {
    std::vector<int16_t> samples;
    talk::DecodeMuLaw(view->payload, view->payloadSize, &samples);
    m_pRenderer->SetVolume(100);
    m_pRenderer->Write(samples.data(), samples.size());
    m_lastWrite = std::chrono::steady_clock::now();
  } else {
    WriteLog(3, "Decode audio data failed. payload_size=%d, streamtype=%d", view ? view->payloadSize : 0,
             view ? view->streamType : 0);
  }
  return true;
}

std::optional<talk::AudioParams> ReadTalkAnswer(std::string_view answer) {
  const auto params = talk::ParseTalkAnswer(answer);
  if (!params) {
    WriteLog(3, "OnNVRSpeakParam(): xml parse failed. xml=%s", std::string(answer.substr(0, 1024)).c_str());
    return std::nullopt;
  }
  if (!talk::IsPlayable(*params)) {
    WriteLog(3, "OnNVRSpeakParam(): the talk format cannot be played. samplerate=%d, bitspersample=%d, channels=%d",
             params->sampleRate, params->bitsPerSample, params->channels);
    return std::nullopt;
  }
  return params;
}

int OpenTalkDecoder(const talk::AudioParams& params, std::unique_ptr<CAudioCodec>* decoder) {
  decoder->reset();
  std::unique_ptr<CAudioCodec> codec(new (std::nothrow) CAudioCodec());
  if (codec == nullptr) {
    WriteLog(3, "OnNVRSpeakParam(): new audiocodec failed.");
    return -3;
  }
  codec->SetAudioParams(params);
  const int result = codec->Open();
  if (result != 0) {
    WriteLog(3, "OnNVRSpeakParam(): m_pAudioCodec OpenDec failed.");
    return result;
  }
  WriteLog(6,
           "OnNVRSpeakParam(): m_pAudioCodec OpenDec success. audio_type=%d, samplerate=%d, bitspersample=%d, "
           "channels=%d",
           params.audioType, params.sampleRate, params.bitsPerSample, params.channels);
  *decoder = std::move(codec);
  return 0;
}
