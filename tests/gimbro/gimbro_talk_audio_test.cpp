// The audio of a talk or a broadcast reaches the devices: a sine made by
// ffmpeg stands in for the microphone, the fake devices keep what they
// receive, and ffmpeg decodes it back.
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <thread>

#include "gimbro_fixture.h"
#include "maker/gimbro/talk/audio_source.h"
#include "maker/gimbro/talk/mulaw_encoder.h"
#include "maker/gimbro/talk/talk_encoder.h"

namespace {

constexpr int kToneHz = 440;

// Runs ffmpeg; its standard output, or empty on failure.
QByteArray Ffmpeg(const QStringList& arguments) {
  QProcess ffmpeg;
  ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-nostdin"} + arguments);
  if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) return {};
  return ffmpeg.readAllStandardOutput();
}

// A sine of kToneHz, 16-bit, at the rate and channels asked for.
std::vector<int16_t> Sine(int rate, int channels) {
  const QByteArray pcm = Ffmpeg({"-f", "lavfi", "-i", QStringLiteral("sine=frequency=%1:sample_rate=%2:duration=2").arg(kToneHz).arg(rate),
                                 "-ac", QString::number(channels), "-f", "s16le", "-"});
  std::vector<int16_t> samples(static_cast<size_t>(pcm.size()) / 2);
  std::memcpy(samples.data(), pcm.constData(), samples.size() * 2);
  return samples;
}

// Plays PCM in a loop at its real pace, as a microphone would deliver it:
// a tick that comes late brings the audio of the time it missed.
class LoopSource : public QObject, public talkaudio::Source {
 public:
  explicit LoopSource(std::vector<int16_t> pcm) : pcm_(std::move(pcm)) {}
  void Start(int sampleRate, int channels, Sink sink) override {
    sink_ = std::move(sink);
    channels_ = channels;
    pace_.Start(sampleRate);
    connect(&timer_, &QTimer::timeout, this, [this]() {
      const size_t frames = pace_.Due();
      if (frames == 0) return;
      std::vector<int16_t> chunk;
      for (size_t i = 0; i < frames * static_cast<size_t>(channels_); ++i) {
        chunk.push_back(pcm_[position_]);
        position_ = (position_ + 1) % pcm_.size();
      }
      sink_(chunk.data(), frames);
    });
    timer_.start(20);
  }

 private:
  std::vector<int16_t> pcm_;
  Sink sink_;
  int channels_ = 1;
  talkaudio::RealTimePace pace_;
  size_t position_ = 0;
  QTimer timer_;
};

// The frequency of the first channel of interleaved PCM, from its rising
// crossings; a crossing counts only once the wave went below -threshold and
// then above +threshold, so that coding noise near zero adds none.
double Frequency(const QByteArray& pcm, int rate, int channels) {
  const auto* samples = reinterpret_cast<const int16_t*>(pcm.constData());
  const size_t frames = static_cast<size_t>(pcm.size()) / 2 / static_cast<size_t>(channels);
  constexpr int kThreshold = 500;
  size_t first = 0, last = 0, crossings = 0;
  bool low = false;
  for (size_t i = 0; i < frames; ++i) {
    const int sample = samples[i * static_cast<size_t>(channels)];
    if (sample < -kThreshold) {
      low = true;
    } else if (low && sample > kThreshold) {
      low = false;
      if (crossings == 0) first = i;
      last = i;
      ++crossings;
    }
  }
  return crossings < 2 ? 0.0 : (crossings - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

double Rms(const QByteArray& pcm) {
  const auto* samples = reinterpret_cast<const int16_t*>(pcm.constData());
  const size_t count = static_cast<size_t>(pcm.size()) / 2;
  double sum = 0;
  for (size_t i = 0; i < count; ++i) sum += double(samples[i]) * samples[i];
  return count ? std::sqrt(sum / count) : 0.0;
}

class TalkAudioTest : public GimbroTest {
 protected:
  void TearDown() override {
    GimbroTest::TearDown();
    talkaudio::SetSourceFactory({});
  }
  void UseSine(int rate, int channels) {
    std::vector<int16_t> sine = Sine(rate, channels);
    ASSERT_FALSE(sine.empty());
    talkaudio::SetSourceFactory([sine]() { return std::make_unique<LoopSource>(sine); });
  }
  // What the device received since the last call: written to the file `name`
  // and described by the count of packets and the format of the last one.
  struct Audio {
    int packets = -1, codec = -1, rate = 0, channels = 0;
  };
  Audio Received(FakeDeviceProcess& device, const std::string& name) {
    const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
    const std::string answer = device.Command("audio " + path);
    Audio got;
    const int fields = std::sscanf(answer.c_str(), "OK %d %d %d %d", &got.packets, &got.codec, &got.rate, &got.channels);
    EXPECT_EQ(fields, 4) << answer;
    return got;
  }

  QTemporaryDir dir_;
};

}  // namespace

TEST_F(TalkAudioTest, TalkCarriesTheMicrophoneAsMuLaw) {
  UseSine(8000, 1);
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  ASSERT_EQ(ctrl->Talk(id, 1), GIMBRO_OK);
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_TALK_STARTED));
  Pump(1500);
  ASSERT_EQ(ctrl->Talk(id, 0), GIMBRO_OK);
  EXPECT_FALSE(device.Take("TALK 0").empty());
  const Audio got = Received(device, "talk.ulaw");
  EXPECT_GE(got.packets, 25);  // 20 ms each
  EXPECT_EQ(got.codec, 0);
  EXPECT_EQ(got.rate, 8000);
  EXPECT_EQ(got.channels, 1);
  const QByteArray pcm = Ffmpeg({"-f", "mulaw", "-ar", "8000", "-ac", "1", "-i", dir_.filePath("talk.ulaw"), "-f", "s16le", "-"});
  ASSERT_FALSE(pcm.isEmpty());
  EXPECT_NEAR(Frequency(pcm, 8000, 1), kToneHz, 5.0);
  EXPECT_GT(Rms(pcm), 1000.0);
  // The talk is over: nothing more arrives.
  Pump(500);
  EXPECT_EQ(Received(device, "after.ulaw").packets, 0);
}

TEST_F(TalkAudioTest, BroadcastCarriesAacToEveryDevice) {
  UseSine(16000, 2);
  FakeDeviceProcess first;
  FakeDeviceProcess second;
  const LONG a = AddOnline(first);
  const LONG b = AddOnline(second);
  ASSERT_EQ(ctrl->StartBroadcast(1, 16000, 16, 2), GIMBRO_OK);
  ASSERT_EQ(ctrl->AddBroadcastDevice(a), GIMBRO_OK);
  ASSERT_EQ(ctrl->AddBroadcastDevice(b), GIMBRO_OK);
  Pump(2000);
  ASSERT_EQ(ctrl->StopBroadcast(), GIMBRO_OK);
  EXPECT_FALSE(first.Take("BROADCAST_STOP").empty());
  int index = 0;
  for (FakeDeviceProcess* device : {&first, &second}) {
    SCOPED_TRACE(index);
    const std::string name = "broadcast" + std::to_string(index++) + ".aac";
    const Audio got = Received(*device, name);
    EXPECT_GE(got.packets, 10);  // 64 ms each
    EXPECT_EQ(got.codec, 1);
    EXPECT_EQ(got.rate, 16000);
    EXPECT_EQ(got.channels, 2);
    const QByteArray pcm = Ffmpeg({"-f", "aac", "-i", dir_.filePath(QString::fromStdString(name)), "-f", "s16le", "-ac", "2", "-"});
    ASSERT_FALSE(pcm.isEmpty());
    EXPECT_NEAR(Frequency(pcm, 16000, 2), kToneHz, 5.0);
  }
}

// A device that broadcasts and then refuses a talk keeps hearing the
// broadcast: the refusal ends only the voice of the request it answers.
TEST_F(TalkAudioTest, RefusedTalkLeavesTheBroadcastRunning) {
  UseSine(8000, 1);
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  ASSERT_EQ(ctrl->StartBroadcast(0, 8000, 16, 1), GIMBRO_OK);
  ASSERT_EQ(ctrl->AddBroadcastDevice(id), GIMBRO_OK);
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_TALK_STARTED));
  ASSERT_EQ(device.Command("talk refuse"), "OK");
  ASSERT_EQ(ctrl->Talk(id, 1), GIMBRO_OK);
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_TALK_REFUSED));
  Received(device, "before.ulaw");
  Pump(600);
  const Audio got = Received(device, "after.ulaw");
  EXPECT_GE(got.packets, 10);
  EXPECT_EQ(got.codec, 0);
  ctrl->StopBroadcast();
}

// Without a capture device a talk still runs: silence is sent.
TEST_F(TalkAudioTest, WithoutMicrophoneSilenceIsSent) {
  talkaudio::SetSourceFactory([]() { return talkaudio::MicrophoneSource::WithoutDevice(); });
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  ASSERT_EQ(ctrl->Talk(id, 1), GIMBRO_OK);
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_TALK_STARTED));
  Pump(600);
  ctrl->Talk(id, 0);
  EXPECT_FALSE(device.Take("TALK 0").empty());
  EXPECT_GE(Received(device, "silence.ulaw").packets, 5);
  QFile file(dir_.filePath("silence.ulaw"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray codes = file.readAll();
  EXPECT_EQ(codes.count('\xff'), codes.size());  // the code of 0
}

// A source that makes its own sound (the silence without a microphone) owes
// the audio of the time that passed, however late its timer comes; a second
// at most is made up at once.
TEST(TalkAudio, ALateTickBringsTheAudioOfTheTimeItMissed) {
  talkaudio::RealTimePace pace;
  EXPECT_EQ(pace.Due(), 0u) << "not started";
  pace.Start(8000);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const size_t first = pace.Due();
  EXPECT_GE(first, 800u);
  EXPECT_LE(first, 8000u);
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  EXPECT_EQ(pace.Due(), 8000u);
}

// Every 16-bit sample is coded as G.711 codes it: the decoder's expansion of
// the code lies within one step of the sample.
TEST(TalkAudio, MuLawCodesInvertTheExpansion) {
  auto expand = [](uint8_t code) {
    const int inverted = ~code & 0xFF;
    const int segment = (inverted >> 4) & 0x07;
    const int magnitude = ((((inverted & 0x0F) << 1) + 33) << segment) - 33;
    return ((inverted & 0x80) ? -magnitude : magnitude) * 4;
  };
  EXPECT_EQ(talkaudio::LinearToMuLaw(0), 0xFF);
  EXPECT_EQ(talkaudio::LinearToMuLaw(-1), 0x7F);
  EXPECT_EQ(talkaudio::LinearToMuLaw(32767), 0x80);
  EXPECT_EQ(talkaudio::LinearToMuLaw(-32768), 0x00);
  for (int sample = -32768; sample <= 32767; ++sample) {
    const uint8_t code = talkaudio::LinearToMuLaw(static_cast<int16_t>(sample));
    const int segment = ((~code & 0xFF) >> 4) & 0x07;
    const int step = 4 << (segment + 1);  // the width of one step in that segment
    ASSERT_LE(std::abs(expand(code) - sample), std::max(step, std::abs(sample) > 32000 ? 1024 : 0)) << sample;
  }
}

TEST(TalkAudio, TalkAnswerGivesTheFormat) {
  struct Case {
    const char* text;
    int codec, rate, channels;  // codec -1: no format
  };
  const Case cases[] = {
      {"<MESSAGE><MESSAGE_BODY><RA_START_RESPONSE AudioCodec=\"G711\" Samplerate=\"8000\" BitsPerSample=\"16\" "
       "Channels=\"1\" /></MESSAGE_BODY></MESSAGE>",
       0, 8000, 1},
      {"<RA_START_RESPONSE AudioCodec=\"AAC\" Samplerate=\"16000\" Channels=\"2\"/>", 1, 16000, 2},
      {"<RA_START_RESPONSE AudioCodec=\"G711\"/>", 0, 8000, 1},
      {"<RA_START_RESPONSE AudioCodec=\"OPUS\" Samplerate=\"48000\"/>", -1, 0, 0},
      {"not xml", -1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto format = talkaudio::FormatOfTalkAnswer(c.text);
    ASSERT_EQ(format.has_value(), c.codec >= 0);
    if (!format) continue;
    EXPECT_EQ(format->codec, c.codec);
    EXPECT_EQ(format->sampleRate, c.rate);
    EXPECT_EQ(format->channels, c.channels);
  }
}

// Formats a device may name that cannot be encoded are refused, not tried.
TEST(TalkAudio, UnusableFormatsMakeNoEncoder) {
  struct Case {
    int codec, rate, channels;
    bool usable;
  };
  const Case cases[] = {
      {0, 8000, 1, true},   {1, 16000, 2, true}, {1, 48000, 1, true},    {0, 0, 1, false},
      {0, 2000000000, 1, false}, {0, 8000, 0, false}, {0, 8000, 9, false}, {1, 8001, 1, false},
      {7, 8000, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codec << " " << c.rate << " " << c.channels);
    talkaudio::Format format;
    format.codec = c.codec;
    format.sampleRate = c.rate;
    format.channels = c.channels;
    std::string error;
    const auto encoder = talkaudio::MakeEncoder(format, &error);
    EXPECT_EQ(encoder != nullptr, c.usable) << error;
    EXPECT_EQ(error.empty(), c.usable);
  }
}
