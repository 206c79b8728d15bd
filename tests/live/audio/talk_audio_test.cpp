// Talk audio: the packet and answer readers, the mu-law decoding against
// ffmpeg's, and the decoder thread end to end with a recording renderer.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iterator>
#include <mutex>
#include <random>
#include <thread>

#include "common/temp_folder.h"
#include "live/audio/audio_codec.h"
#include "live/audio/mulaw.h"
#include "live/audio/talk_answer.h"
#include "live/audio/talk_audio_player.h"
#include "live/audio/talk_audio_ring.h"
#include "live/audio/talk_packet.h"

namespace {

using namespace std::chrono_literals;

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<int16_t> ToSamples(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return samples;
}

// ffmpeg's decoding of raw mu-law bytes to 16-bit samples.
std::vector<int16_t> FfmpegDecodeMuLaw(const TempFolder& dir, const std::vector<uint8_t>& codes) {
  WriteFile(dir.File("in.ul"), codes);
  const std::string cmd = "ffmpeg -v error -y -f mulaw -ar 8000 -ac 1 -i " + dir.File("in.ul") +
                          " -f s16le -c:a pcm_s16le " + dir.File("out.raw");
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  return ToSamples(ReadFile(dir.File("out.raw")));
}

// A talk packet as the NVR sends it: 20-byte header, then the payload.
std::vector<uint8_t> MakePacket(uint16_t seq, const std::vector<uint8_t>& payload, uint8_t streamType = 1) {
  std::vector<uint8_t> packet(talk::kPacketHeaderSize + payload.size(), 0);
  packet[8] = seq & 0xFF;
  packet[9] = seq >> 8;
  packet[10] = payload.size() & 0xFF;
  packet[11] = (payload.size() >> 8) & 0xFF;
  packet[14] = streamType;
  std::copy(payload.begin(), payload.end(), packet.begin() + talk::kPacketHeaderSize);
  return packet;
}

// Records what the decoder writes; reports room (or a full ring) as told.
struct RecordingRenderer : AudioRenderer {
  struct Shared {
    std::mutex mutex;
    std::vector<int16_t> samples;
    int writes = 0;
    std::atomic<int> state{kRoom};
    bool allocFails = false;
    std::shared_future<void> stopGate;  // when set, Stop waits for it
  };
  explicit RecordingRenderer(std::shared_ptr<Shared> s) : shared(std::move(s)) {}
  bool Initialize() override { return true; }
  bool AllocDSoundBuffer(const TalkWaveFormat&, size_t) override { return !shared->allocFails; }
  int QueryState() override { return shared->state.load(); }
  void Write(const int16_t* samples, size_t count) override {
    std::lock_guard<std::mutex> lock(shared->mutex);
    shared->samples.insert(shared->samples.end(), samples, samples + count);
    ++shared->writes;
  }
  void Stop() override {
    if (shared->stopGate.valid()) shared->stopGate.wait();
  }
  void SetVolume(int) override {}
  void Release() override {}
  std::shared_ptr<Shared> shared;
};

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

class TalkDecoderTest : public ::testing::Test {
 protected:
  std::shared_ptr<RecordingRenderer::Shared> shared = std::make_shared<RecordingRenderer::Shared>();
  CAudioCodec codec{[this] { return std::make_unique<RecordingRenderer>(shared); }};

  size_t Written() {
    std::lock_guard<std::mutex> lock(shared->mutex);
    return shared->samples.size();
  }
  std::vector<int16_t> Samples() {
    std::lock_guard<std::mutex> lock(shared->mutex);
    return shared->samples;
  }
  int Input(const std::vector<uint8_t>& packet) {
    return codec.InputData(packet.data(), static_cast<long>(packet.size()));
  }
};

}  // namespace

TEST(MuLaw, EveryCodeDecodesAsFfmpegDoes) {
  TempFolder dir;
  std::vector<uint8_t> codes(256);
  for (int i = 0; i < 256; ++i) codes[i] = static_cast<uint8_t>(i);
  const std::vector<int16_t> expected = FfmpegDecodeMuLaw(dir, codes);
  ASSERT_EQ(expected.size(), 256u);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(talk::MuLawToLinear(codes[i]), expected[i]) << "code " << i;
}

TEST(TalkPacket, HeaderAndPayloadMustLieInsideTheDatagram) {
  const std::vector<uint8_t> payload(160, 0x7F);
  const std::vector<uint8_t> packet = MakePacket(0x1234, payload, 1);
  auto ok = talk::ParsePacket(packet.data(), packet.size());
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->sequence, 0x1234);
  EXPECT_EQ(ok->payloadSize, 160);
  EXPECT_EQ(ok->streamType, 1);
  EXPECT_EQ(ok->payload, packet.data() + 20);

  struct Case {
    const char* what;
    size_t length;
    bool accepted;
  };
  const std::vector<uint8_t> big = MakePacket(1, std::vector<uint8_t>(1600, 0));
  for (const Case& c : {Case{"empty", 0, false}, Case{"header cut", 19, false},
                        Case{"payload cut by one", packet.size() - 1, false},
                        Case{"exact", packet.size(), true}}) {
    EXPECT_EQ(talk::ParsePacket(packet.data(), c.length).has_value(), c.accepted) << c.what;
  }
  EXPECT_FALSE(talk::ParsePacket(big.data(), big.size())) << "longer than a packet copy holds";
  const std::vector<uint8_t> headerOnly = MakePacket(2, {});
  EXPECT_TRUE(talk::ParsePacket(headerOnly.data(), headerOnly.size()));
  EXPECT_FALSE(talk::ParsePacket(nullptr, 40));
}

// The NVR's talk answers as the main window reads them.
TEST(TalkAnswer, ReadsTheStartResponsesOfTheMessageBodies) {
  struct Case {
    const char* text;
    int audioType, sampleRate, bitsPerSample, channels;
  } cases[] = {
      {"<MESSAGE><MESSAGE_BODY><RA_START_RESPONSE AudioCodec=\"G711\" Samplerate=\"8000\" "
       "BitsPerSample=\"16\" Channels=\"1\" /></MESSAGE_BODY></MESSAGE>",
       0, 8000, 16, 1},
      {"<X><MESSAGE_BODY><RA_START_RESPONSE AudioCodec=\"AAC\" Samplerate=\"16000\" Channels=\"2\"/></MESSAGE_BODY></X>",
       1, 16000, 16, 2},
      // "AAC" inside a longer name selects AAC; a number is no codec name.
      {"<M><MESSAGE_BODY><RA_START_RESPONSE AudioCodec=\"MPEG4-AAC-LC\"/></MESSAGE_BODY></M>", 1, 8000, 16, 1},
      {"<M><MESSAGE_BODY><RA_START_RESPONSE AudioCodec=\"1\" Samplerate=\"16000\"/></MESSAGE_BODY></M>", 0, 16000, 16,
       1},
      // Without RA_START_RESPONSE, or without MESSAGE_BODY under the root: the defaults.
      {"<MESSAGE><MESSAGE_BODY/></MESSAGE>", 0, 8000, 16, 1},
      {"<MESSAGE><RA_START_RESPONSE Samplerate=\"44100\"/></MESSAGE>", 0, 8000, 16, 1},
      {"<MESSAGE_BODY><RA_START_RESPONSE Samplerate=\"44100\"/></MESSAGE_BODY>", 0, 8000, 16, 1},
      // Every body and response is walked; a later value replaces an earlier one.
      {"<M><MESSAGE_BODY><RA_START_RESPONSE AudioCodec=\"AAC\" Samplerate=\"16000\"/></MESSAGE_BODY>"
       "<MESSAGE_BODY><RA_START_RESPONSE Channels=\"2\"/><RA_START_RESPONSE Samplerate=\"32000\"/></MESSAGE_BODY></M>",
       1, 32000, 16, 2},
  };
  for (const Case& c : cases) {
    const auto params = talk::ParseTalkAnswer(c.text);
    ASSERT_TRUE(params) << c.text;
    EXPECT_EQ(params->audioType, c.audioType) << c.text;
    EXPECT_EQ(params->sampleRate, c.sampleRate) << c.text;
    EXPECT_EQ(params->bitsPerSample, c.bitsPerSample) << c.text;
    EXPECT_EQ(params->channels, c.channels) << c.text;
  }
  for (const char* bad : {"", "not xml at all", "<MESSAGE><MESSAGE_BODY>"}) {
    EXPECT_FALSE(talk::ParseTalkAnswer(bad)) << bad;
  }
  // What the decoder cannot play is refused before a decoder is made.
  for (const char* unplayable : {"<M><MESSAGE_BODY><RA_START_RESPONSE Samplerate=\"0\"/></MESSAGE_BODY></M>",
                                 "<M><MESSAGE_BODY><RA_START_RESPONSE Channels=\"-3\"/></MESSAGE_BODY></M>",
                                 "<M><MESSAGE_BODY><RA_START_RESPONSE BitsPerSample=\"7\"/></MESSAGE_BODY></M>"}) {
    EXPECT_TRUE(talk::ParseTalkAnswer(unplayable)) << unplayable;
    EXPECT_FALSE(ReadTalkAnswer(unplayable)) << unplayable;
  }
}

TEST(TalkWaveFormat, RateTimesChannelsBelow32000) {
  const TalkWaveFormat mono = MakeTalkWaveFormat(8000, 16, 1);
  EXPECT_EQ(mono.samplesPerSec, 8000);
  EXPECT_EQ(mono.blockAlign, 2);
  EXPECT_EQ(mono.avgBytesPerSec, 16000);
  EXPECT_EQ(MakeTalkWaveFormat(8000, 16, 2).samplesPerSec, 16000);
  EXPECT_EQ(MakeTalkWaveFormat(44100, 16, 2).samplesPerSec, 44100);
  EXPECT_EQ(VolumeToAttenuation(100), -70);
  EXPECT_EQ(VolumeToAttenuation(0), -7000);
  EXPECT_EQ(VolumeToAttenuation(50), -700);
}

std::vector<int16_t> ReadSamples(TalkAudioRing& ring, size_t count) {
  const QByteArray bytes = ring.read(static_cast<qint64>(count * 2));
  return ToSamples(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

void PutSamples(TalkAudioRing& ring, const std::vector<int16_t>& samples) {
  std::vector<uint8_t> bytes;
  for (int16_t s : samples) {
    bytes.push_back(static_cast<uint8_t>(s & 0xFF));
    bytes.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
  }
  ring.Put(bytes.data(), bytes.size());
}

TEST(TalkAudioRing, PlaysInOrderAcrossTheWrapAndFillsWithSilence) {
  TalkAudioRing ring(8);  // four samples
  ASSERT_TRUE(ring.isOpen());
  EXPECT_EQ(ReadSamples(ring, 2), (std::vector<int16_t>{0, 0})) << "silence before the first write";

  PutSamples(ring, {1, -2, 3});
  EXPECT_EQ(ring.Queued(), 6u);
  EXPECT_EQ(ReadSamples(ring, 2), (std::vector<int16_t>{1, -2}));
  PutSamples(ring, {4, 5, 6, 7});  // wraps; one sample more than fits is dropped
  EXPECT_EQ(ring.Queued(), 8u);
  EXPECT_EQ(ReadSamples(ring, 6), (std::vector<int16_t>{3, 4, 5, 6, 0, 0}));
  EXPECT_EQ(ring.Queued(), 0u);

  ring.SetGain(0.5);
  PutSamples(ring, {1000, -32768});
  EXPECT_EQ(ReadSamples(ring, 2), (std::vector<int16_t>{500, -16384}));

  ring.Halt();
  PutSamples(ring, {9, 9});
  EXPECT_EQ(ring.Queued(), 0u) << "a stopped output stays stopped";
  EXPECT_EQ(ReadSamples(ring, 2), (std::vector<int16_t>{0, 0}));
}

// A sine made by ffmpeg as G.711 mu-law, sent as 160-byte packets in a
// shuffled order, comes out as ffmpeg's own decoding of the file.
TEST_F(TalkDecoderTest, ShuffledPacketsOfAnFfmpegFixturePlayInSequence) {
  TempFolder dir;
  ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i sine=frequency=440:sample_rate=8000:duration=0.4 "
                         "-ac 1 -f mulaw -c:a pcm_mulaw " + dir.File("sine.ul")).c_str()),
            0);
  const std::vector<uint8_t> codes = ReadFile(dir.File("sine.ul"));
  ASSERT_EQ(codes.size(), 3200u);
  const std::vector<int16_t> expected = FfmpegDecodeMuLaw(dir, codes);
  ASSERT_EQ(expected.size(), codes.size());

  std::vector<std::vector<uint8_t>> packets;
  for (size_t at = 0; at < codes.size(); at += 160) {
    packets.push_back(MakePacket(static_cast<uint16_t>(100 + packets.size()),
                                 {codes.begin() + at, codes.begin() + at + 160}));
  }
  std::shuffle(packets.begin(), packets.end(), std::mt19937(7));

  ASSERT_EQ(codec.Open(), 0);
  for (size_t i = 0; i + 1 < CAudioCodec::kStartPackets; ++i) ASSERT_EQ(Input(packets[i]), 0);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(Written(), 0u) << "fewer than ten packets make no sound";

  // A device sends in real time: the whole clip is in the buffer long before its
  // first packets have been heard. The renderer stands for that by reporting a
  // full output until the last packet is in; otherwise a test thread paused by
  // a busy machine would hand in packets after later ones had already played.
  shared->state = AudioRenderer::kFull;
  for (size_t i = CAudioCodec::kStartPackets - 1; i < packets.size(); ++i) ASSERT_EQ(Input(packets[i]), 0);
  shared->state = AudioRenderer::kRoom;
  ASSERT_TRUE(WaitUntil([&] { return Written() >= expected.size(); }));
  codec.Close();
  EXPECT_EQ(Samples(), expected);
}

TEST_F(TalkDecoderTest, MalformedPacketsAreRefusedAndOversizedPayloadsDropped) {
  EXPECT_EQ(Input(MakePacket(1, std::vector<uint8_t>(160, 0xFF))), -1) << "not open";
  ASSERT_EQ(codec.Open(), 0);
  EXPECT_EQ(codec.Open(), 0) << "a second open keeps the decoder";

  // A header that announces more payload than arrived, a cut header, and a
  // datagram longer than a packet copy: refused before any field is used.
  std::vector<uint8_t> lying = MakePacket(2, std::vector<uint8_t>(160, 0xFF));
  lying.resize(100);
  EXPECT_EQ(Input(lying), -1);
  EXPECT_EQ(codec.InputData(lying.data(), 10), -1);
  EXPECT_EQ(Input(MakePacket(3, std::vector<uint8_t>(1700, 0xFF))), -1);
  EXPECT_EQ(codec.InputData(lying.data(), -5), -1);

  // Ten packets: one with a payload above 1360 bytes, one without the audio
  // stream type; those two are dropped, the others play.
  for (uint16_t seq = 10; seq < 20; ++seq) {
    std::vector<uint8_t> packet = MakePacket(seq, std::vector<uint8_t>(80, 0xFF));
    if (seq == 12) packet = MakePacket(seq, std::vector<uint8_t>(1361, 0xFF));
    if (seq == 15) packet = MakePacket(seq, std::vector<uint8_t>(80, 0xFF), 0);
    ASSERT_EQ(Input(packet), 0) << seq;
  }
  ASSERT_TRUE(WaitUntil([&] { return Written() >= 8 * 80u; }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(Written(), 8 * 80u);
}

// Closing while the decode thread waits for the lock: another caller (Stop)
// holds it, the thread queues behind it, and Close starts. Close ends the
// thread before it takes the lock itself, so it returns once the other caller
// lets go; the decoder then opens again.
TEST_F(TalkDecoderTest, CloseWhileTheThreadWaitsForTheLockDoesNotDeadlock) {
  shared->state = AudioRenderer::kFull;  // the thread keeps going round without writing
  for (int round = 0; round < 8; ++round) {
    ASSERT_EQ(codec.Open(), 0);
    for (uint16_t seq = 0; seq < 12; ++seq) ASSERT_EQ(Input(MakePacket(seq, std::vector<uint8_t>(80, 1))), 0);
    std::this_thread::sleep_for(20ms);  // playing has started

    std::promise<void> gate;
    shared->stopGate = gate.get_future().share();
    std::thread stopper([&] { codec.Stop(); });  // holds the lock until the gate opens
    std::this_thread::sleep_for(30ms);           // the decode thread now waits for the lock
    std::promise<void> closed;
    std::future<void> closedFuture = closed.get_future();
    std::thread closer([&] {
      codec.Close();
      closed.set_value();
    });
    std::this_thread::sleep_for(30ms);
    gate.set_value();
    if (closedFuture.wait_for(20s) != std::future_status::ready) {
      std::fprintf(stderr, "Close deadlocked with the decode thread\n");
      std::abort();
    }
    stopper.join();
    closer.join();
    shared->stopGate = {};
    EXPECT_FALSE(codec.IsOpen());
  }
  EXPECT_EQ(Written(), 0u);

  shared->state = AudioRenderer::kRoom;
  ASSERT_EQ(codec.Open(), 0);
  for (uint16_t seq = 0; seq < 10; ++seq) ASSERT_EQ(Input(MakePacket(seq, std::vector<uint8_t>(80, 1))), 0);
  EXPECT_TRUE(WaitUntil([&] { return Written() == 800u; })) << "opens again after closing";
}

TEST(TalkDecoder, RendererFailuresFailTheOpen) {
  CAudioCodec noRenderer([] { return std::unique_ptr<AudioRenderer>(); });
  EXPECT_EQ(noRenderer.Open(), -1);
  auto shared = std::make_shared<RecordingRenderer::Shared>();
  shared->allocFails = true;
  CAudioCodec noRing([&] { return std::make_unique<RecordingRenderer>(shared); });
  EXPECT_EQ(noRing.Open(), -1);
  EXPECT_FALSE(noRing.IsOpen());
}

TEST(TalkDecoder, AnUnreadableTalkAnswerOpensNoDecoder) {
  EXPECT_FALSE(ReadTalkAnswer("\x01\x02 garbage"));
  // An answer without RA_START_RESPONSE opens the decoder with the defaults.
  const auto params = ReadTalkAnswer("<MESSAGE><MESSAGE_BODY/></MESSAGE>");
  ASSERT_TRUE(params);
  std::unique_ptr<CAudioCodec> codec;
  ASSERT_EQ(OpenTalkDecoder(*params, &codec), 0);
  ASSERT_NE(codec, nullptr);
  EXPECT_TRUE(codec->IsOpen());
  EXPECT_EQ(codec->AudioParams().audioType, 0);
  EXPECT_EQ(codec->AudioParams().sampleRate, 8000);
  EXPECT_EQ(codec->AudioParams().bitsPerSample, 16);
  EXPECT_EQ(codec->AudioParams().channels, 1);
}

// On the machine's own sound output, or silently without one: opening never
// fails for want of a device, and packets go through.
TEST(TalkDecoder, DefaultPlayerOpensWithOrWithoutASoundDevice) {
  CAudioCodec codec;
  ASSERT_EQ(codec.Open(), 0);
  for (uint16_t seq = 0; seq < 12; ++seq) {
    const std::vector<uint8_t> packet = MakePacket(seq, std::vector<uint8_t>(160, 0xFF));
    EXPECT_EQ(codec.InputData(packet.data(), static_cast<long>(packet.size())), 0);
  }
  std::this_thread::sleep_for(50ms);
  codec.Close();
  EXPECT_FALSE(codec.IsOpen());
}
