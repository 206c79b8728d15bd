#include "records/recfile/rec_file_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "common/temp_folder.h"
#include "records/recfile/rec_file_fixture.h"

namespace {

struct Frame {
  int video = -1;
  int key = -1;
  std::vector<uint8_t> bytes;
};

// Reads until ReadFrame returns something below 1; the last result is kept.
std::vector<Frame> ReadAll(CRecFileReader& reader, int* last = nullptr) {
  std::vector<uint8_t> buffer(kRecMaxFrameSize);
  std::vector<Frame> frames;
  for (;;) {
    Frame f;
    const int n = reader.ReadFrame(buffer.data(), kRecMaxFrameSize, &f.video, &f.key);
    if (n < 1) {
      if (last) *last = n;
      return frames;
    }
    f.bytes.assign(buffer.begin(), buffer.begin() + n);
    frames.push_back(std::move(f));
  }
}

// The fill byte of the next frame, which the fixtures use as the frame's number.
int NextFrameMark(CRecFileReader& reader) {
  std::vector<uint8_t> buffer(kRecMaxFrameSize);
  int video = 0;
  int key = 0;
  const int n = reader.ReadFrame(buffer.data(), kRecMaxFrameSize, &video, &key);
  return n >= 8 ? buffer[7] : -100 + n;
}

class RecFileReaderTest : public ::testing::Test {
 protected:
  std::string Write(const RecFileFixture& fixture, const std::string& name = "rec.avi") {
    const std::string path = folder_.File(name);
    fixture.Write(path);
    return path;
  }
  std::string WriteBytes(const std::string& bytes, const std::string& name = "raw.avi") {
    const std::string path = folder_.File(name);
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
  }

  TempFolder folder_;
};

// Video at `rate` frames per second, a key frame every `gop` frames, each frame
// marked with its number; with two streams an audio chunk after every frame.
RecFileFixture GopFile(int streams, uint32_t rate, int frames, int gop) {
  RecFileFixture f(streams);
  f.frameRate = rate;
  for (int i = 0; i < frames; ++i) {
    f.AddVideo(H264Frame(i % gop == 0, 300 + i, static_cast<uint8_t>(i)), i % gop == 0);
    if (streams == 2) f.AddAudio(Bytes(160, static_cast<uint8_t>(0xA0 + i % 16)));
  }
  return f;
}

// An MPEG-4 frame from its parts (start codes written out), then `fill` bytes
// of 0x22 that hold no start code.
std::vector<uint8_t> Mp4Frame(std::initializer_list<std::vector<uint8_t>> parts, size_t fill = 200) {
  std::vector<uint8_t> frame;
  for (const std::vector<uint8_t>& part : parts) frame.insert(frame.end(), part.begin(), part.end());
  frame.insert(frame.end(), fill, 0x22);
  return frame;
}
const std::vector<uint8_t> kVos = {0, 0, 1, 0xB0, 0x01, 0, 0, 1, 0xB5, 0x89, 0x13};  // VOS, visual object
const std::vector<uint8_t> kVo = {0, 0, 1, 0x00};
const std::vector<uint8_t> kVo1 = {0, 0, 1, 0x01};
// A VOL start code and 16 bytes of its fields.
const std::vector<uint8_t> kVol = {0, 0, 1, 0x20, 0x00, 0xC4, 0x8D, 0x8F, 0xFF, 0xFD, 0x14, 0x04,
                                   0x2D, 0x14, 0x63, 0x11, 0x22, 0x33, 0x44, 0x55};
const std::vector<uint8_t> kUserData = {0, 0, 1, 0xB2, 'L', 'a', 'v', 'c'};
const std::vector<uint8_t> kGov = {0, 0, 1, 0xB3, 0x00, 0x10, 0x07};
const std::vector<uint8_t> kIVop = {0, 0, 1, 0xB6, 0x10};
const std::vector<uint8_t> kPVop = {0, 0, 1, 0xB6, 0x50};

TEST_F(RecFileReaderTest, ReadsEveryChunkOfATwoStreamFileByteExact) {
  const RecFileFixture fixture = GopFile(2, 5, 15, 5);
  CRecFileReader reader;
  ASSERT_EQ(reader.Open(Write(fixture).c_str()), 1);
  EXPECT_EQ(reader.GetVideoChunkCount(), 15u);
  EXPECT_EQ(reader.GetAudioChunkCount(), 15u);
  EXPECT_EQ(reader.GetKeyFrameCount(), 3u);

  int last = 0;
  const std::vector<Frame> frames = ReadAll(reader, &last);
  EXPECT_EQ(last, -2);
  ASSERT_EQ(frames.size(), fixture.chunks.size());
  for (size_t i = 0; i < frames.size(); ++i) {
    const FixtureChunk& chunk = fixture.chunks[i];
    EXPECT_EQ(frames[i].bytes, chunk.payload) << i;
    EXPECT_EQ(frames[i].video, chunk.code == "00dc" ? 1 : 0) << i;
    EXPECT_EQ(frames[i].key, chunk.flags == 0x10 ? 1 : 0) << i;
  }
  EXPECT_EQ(reader.ReadFrame(nullptr, 0, nullptr, nullptr), -2);
}

TEST_F(RecFileReaderTest, MediaDescriptionComesFromTheFixedHeader) {
  std::vector<uint8_t> withPattern = H264Frame(true, 400, 0x11);
  const uint8_t pattern[] = {0, 0, 0, 1, 0x28, 0xCE};
  std::memcpy(withPattern.data() + 40, pattern, sizeof pattern);
  std::vector<uint8_t> patternAt249 = H264Frame(true, 400, 0x11);
  std::memcpy(patternAt249.data() + 249, pattern, sizeof pattern);
  std::vector<uint8_t> volFirst = Bytes(400, 0x22);
  std::memcpy(volFirst.data(), "\x00\x00\x01\x01", 4);
  std::vector<uint8_t> volAt10 = Bytes(400, 0x22);
  std::memcpy(volAt10.data() + 10, "\x00\x00\x01\x01", 4);

  struct Case {
    const char* name;
    int streams;
    const char* handler;
    uint32_t rate, width, audioHandler;
    uint16_t channels;
    uint32_t sampleRate;
    std::vector<uint8_t> first;
    // Expected.
    BYTE mask;
    const char* codec;
    uint32_t frameRate;
    int headerLen;
    const char* audioCodec;
    uint32_t audioRate, bits, audioChannels, fixed, audioBitRate;
  } cases[] = {
      {"h264 pattern at 40, G.711", 2, "H264", 25, 352, 1, 1, 8000, withPattern,
       0x11, "H264", 25, 48, "G711", 8000, 16, 1, 8, 64000},
      {"h264 wide, no pattern, video only", 1, "H264", 30, 704, 1, 1, 8000, H264Frame(true, 400, 0x11),
       0x10, "H264", 30, 114, "", 0, 0, 0, 0, 0},
      {"h264 narrow, no pattern", 1, "H264", 25, 352, 1, 1, 8000, H264Frame(true, 400, 0x11),
       0x10, "H264", 25, 86, "", 0, 0, 0, 0, 0},
      {"pattern at 249: length beyond the field", 1, "H264", 25, 352, 1, 1, 8000, patternAt249,
       0x10, "H264", 25, 257, "", 0, 0, 0, 0, 0},
      {"rate 0 reads as 25, AAC stereo", 2, "H264", 0, 352, 3, 2, 16000, H264Frame(true, 400, 0x11),
       0x11, "H264", 25, 86, "AAC", 16000, 16, 2, 8, 32000},
      {"mpeg-4 starting with a VOL", 1, "XVID", 25, 352, 1, 1, 8000, volFirst,
       0x10, "MP4V", 25, 18, "", 0, 0, 0, 0, 0},
      {"mpeg-4 with a VOL at 10", 2, "XVID", 25, 352, 1, 1, 8000, volAt10,
       0x11, "MP4V", 25, 29, "G711", 8000, 16, 1, 8, 64000},
      // Headers of other encoders: whatever stands in front of the picture.
      {"mpeg-4 from the VO code 00 00 01 00, then a group of VOPs", 1, "XVID", 25, 352, 1, 1, 8000,
       Mp4Frame({kVo, kVol, kGov, kIVop}), 0x10, "MP4V", 25, 24, "", 0, 0, 0, 0, 0},
      {"mpeg-4 from a VOS header, with user data", 2, "XVID", 25, 352, 1, 1, 8000,
       Mp4Frame({kVos, kVo, kVol, kUserData, kIVop}), 0x11, "MP4V", 25, 43, "G711", 8000, 16, 1, 8, 64000},
      {"mpeg-4 VO code 01 in front of a longer VOL than the maker's", 1, "XVID", 25, 352, 1, 1, 8000,
       Mp4Frame({kVo1, kVol, kUserData, kGov, kIVop}), 0x10, "MP4V", 25, 32, "", 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecFileFixture f(c.streams);
    f.videoHandler = c.handler;
    f.frameRate = c.rate;
    f.width = c.width;
    f.height = 576;
    f.maxBytesPerSec = 50000;
    f.audioHandler = c.audioHandler;
    f.audioChannels = c.channels;
    f.audioSampleRate = c.sampleRate;
    f.AddVideo(c.first, true);
    for (int i = 1; i < 30; ++i) f.AddVideo(H264Frame(false, 100, static_cast<uint8_t>(i)), false);

    CRecFileReader reader;
    ASSERT_EQ(reader.Open(Write(f).c_str()), 1);
    BYTE mask = 0;
    VideoParam video;
    AudioParam audio;
    std::memset(&video, 0x5A, sizeof video);
    std::memset(&audio, 0x5A, sizeof audio);
    EXPECT_EQ(reader.GetMediaInfo(&mask, &video, &audio), 0);
    EXPECT_EQ(mask, c.mask);
    EXPECT_STREQ(video.szCodec, c.codec);
    EXPECT_EQ(video.dwWidth, c.width);
    EXPECT_EQ(video.dwHeight, 576u);
    EXPECT_EQ(video.dwReserved, 0u);
    EXPECT_EQ(video.dwFrameRate, c.frameRate);
    EXPECT_EQ(video.dwBitRate, 400000u);
    EXPECT_EQ(video.nCodecHeaderLen, c.headerLen);
    const size_t copied = c.headerLen <= 256 ? static_cast<size_t>(c.headerLen) : 0;
    EXPECT_EQ(std::memcmp(video.byCodecHeader, c.first.data(), copied), 0);
    for (size_t i = copied; i < sizeof video.byCodecHeader; ++i) ASSERT_EQ(video.byCodecHeader[i], 0) << i;
    EXPECT_STREQ(audio.szCodec, c.audioCodec);
    EXPECT_EQ(audio.dwSampleRate, c.audioRate);
    EXPECT_EQ(audio.dwBitsPerSample, c.bits);
    EXPECT_EQ(audio.dwChannels, c.audioChannels);
    EXPECT_EQ(audio.dwFixed, c.fixed);
    EXPECT_EQ(audio.dwBitRate, c.audioBitRate);
    EXPECT_EQ(reader.GetKeyFrameCount(), 30u / c.frameRate);
  }
}

TEST_F(RecFileReaderTest, RefusesFilesItCannotReadAndStaysClosed) {
  auto good = [] { return GopFile(2, 5, 20, 5); };
  struct Case {
    const char* name;
    std::string bytes;
  };
  std::vector<Case> cases;
  {
    RecFileFixture f = good();
    f.streams = 3;
    cases.push_back({"three streams", f.Build()});
    f.streams = 0;
    cases.push_back({"no stream", f.Build()});
  }
  cases.push_back({"empty file", std::string()});
  cases.push_back({"shorter than the stream count", good().Build().substr(0, 60)});
  cases.push_back({"header cut short", good().Build().substr(0, 9000)});
  {
    // Without a whole index the chunks are walked; nothing to walk is refused.
    const RecFileFixture f = good();
    cases.push_back({"cut inside the first chunk", f.Build().substr(0, f.ChunkPos(0) + 20)});
    std::string noMovi = f.Build().substr(0, f.DataEnd());
    noMovi.replace(f.MoviPos(), 4, "junk");
    cases.push_back({"no index and no movi list where the layout puts it", noMovi});
    RecFileFixture audioFirst(2);
    audioFirst.writeIndex = false;
    for (int i = 0; i < 10; ++i) audioFirst.AddAudio(Bytes(160, 1));
    audioFirst.chunks.push_back({"JUNK", Bytes(100, 0), 0, false});
    audioFirst.AddVideo(H264Frame(true, 300, 1), true);
    cases.push_back({"no index, and no video before the first damaged chunk", audioFirst.Build()});
  }
  {
    RecFileFixture f(2);
    for (int i = 0; i < 40; ++i) f.AddAudio(Bytes(160, 1));
    cases.push_back({"no video in the index", f.Build()});
  }
  {
    RecFileFixture f(1);
    f.videoHandler = "XVID";
    for (int i = 0; i < 40; ++i) f.AddVideo(Bytes(100, 0x33), i == 0);
    cases.push_back({"mpeg-4 without a VOL header", f.Build()});
    f.chunks[0].payload = Mp4Frame({kVo, kGov, kIVop});
    cases.push_back({"mpeg-4 headers without a VOL", f.Build()});
    f.chunks[0].payload = Mp4Frame({kVo, kVol}, 400);
    cases.push_back({"mpeg-4 VOL without a picture behind it", f.Build()});
  }
  {
    RecFileFixture f(1);
    f.AddVideo(H264Frame(true, 100, 1), true);
    cases.push_back({"h264 file shorter than a codec header", f.Build()});
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CRecFileReader reader;
    EXPECT_EQ(reader.Open(WriteBytes(c.bytes).c_str()), 0);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.GetKeyFrameCount(), 0u);
    BYTE buffer[16];
    EXPECT_EQ(reader.ReadFrame(buffer, sizeof buffer, nullptr, nullptr), -1);
  }

  CRecFileReader reader;
  EXPECT_EQ(reader.Open(folder_.File("missing.avi").c_str()), 0);
  std::filesystem::create_directory(folder_.File("folder.avi"));
  EXPECT_EQ(reader.Open(folder_.File("folder.avi").c_str()), 0);
  EXPECT_EQ(reader.Open(nullptr), 0);
  EXPECT_FALSE(reader.IsOpen());
}

TEST_F(RecFileReaderTest, DataStartCandidatesAreTakenOnlyWhereMoviStands) {
  struct Case {
    const char* name;
    int streams;
    uint32_t moviPos;                 // 0: the fixed position
    std::optional<uint32_t> hdrl;     // two streams: header list size
    std::optional<uint32_t> riff;     // one stream: RIFF size
    int frames;
  } cases[] = {
      {"two streams, the writer's own header size", 2, 0, {}, {}, 25},
      {"two streams, candidate above the range", 2, 0, 30000 - 16, {}, 25},
      {"two streams, candidate below the range", 2, 0, 9000, {}, 25},
      {"two streams, candidate in range without movi", 2, 0, 12000 - 16, {}, 25},
      {"two streams, movi where the candidate points", 2, 12000, 12000 - 16, {}, 25},
      // A one-stream file of 9.9 to 19.8 KB: its RIFF size + 4 is its length.
      {"one small stream, candidate at the end of the file", 1, 0, {}, {}, 25},
      {"one stream, movi where the candidate points", 1, 10000, {}, 10000 - 4, 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecFileFixture f = GopFile(c.streams, 5, c.frames, 5);
    f.moviPos = c.moviPos;
    f.hdrlSize = c.hdrl;
    f.riffSize = c.riff;
    const std::string bytes = f.Build();
    if (c.streams == 1 && c.moviPos == 0) {
      ASSERT_GE(bytes.size(), 9892u);
      ASSERT_LE(bytes.size(), 19792u);
    }
    CRecFileReader reader;
    ASSERT_EQ(reader.Open(WriteBytes(bytes).c_str()), 1);
    const std::vector<Frame> frames = ReadAll(reader);
    ASSERT_EQ(frames.size(), f.chunks.size());
    for (size_t i = 0; i < frames.size(); ++i) ASSERT_EQ(frames[i].bytes, f.chunks[i].payload) << i;
  }
}

TEST_F(RecFileReaderTest, KeyTableHoldsOneKeyFramePerSecond) {
  struct Case {
    const char* name;
    uint32_t rate;
    int frames;
    std::vector<int> keys;          // frame numbers flagged as key frames
    std::vector<int> entryFrames;   // the frame each table entry 0..K-1 seeks to
  } cases[] = {
      {"24 frames at 25 per second", 25, 24, {0}, {0}},
      {"a key frame every two seconds", 5, 30, {0, 10, 20}, {0, 0, 10, 10, 20, 20}},
      {"a key frame every second", 5, 17, {0, 5, 10, 15}, {0, 5, 10}},
      {"rate 0 reads as 25", 0, 60, {0, 25, 50}, {0, 25}},
      // Entries before the first key frame lead to it, not to the "movi" code.
      {"first frames are no key frames", 5, 20, {2, 12}, {2, 2, 2, 12}},
      {"no key frame at all", 5, 10, {}, {0, 0}},
  };
  // The same table from the index and, without one, from the chunks' own frames.
  for (const Case& c : cases) {
    for (const bool indexed : {true, false}) {
    SCOPED_TRACE(std::string(c.name) + (indexed ? ", indexed" : ", walked"));
    RecFileFixture f(2);
    f.frameRate = c.rate;
    f.writeIndex = indexed;
    for (int i = 0; i < c.frames; ++i) {
      const bool key = std::find(c.keys.begin(), c.keys.end(), i) != c.keys.end();
      f.AddVideo(H264Frame(key, 300, static_cast<uint8_t>(i)), key);
      f.AddAudio(Bytes(100, 0xEE));
    }
    CRecFileReader reader;
    ASSERT_EQ(reader.Open(Write(f).c_str()), 1);
    EXPECT_EQ(reader.IsIndexed(), indexed);
    ASSERT_EQ(reader.GetKeyFrameCount(), c.entryFrames.size());
    for (size_t n = 0; n < c.entryFrames.size(); ++n) {
      ASSERT_EQ(reader.SeekKeyFrame(static_cast<DWORD>(n)), 0);
      EXPECT_EQ(NextFrameMark(reader), c.entryFrames[n]) << "entry " << n;
    }
    }
  }
}

TEST_F(RecFileReaderTest, ReadFrameKeepsToTheLimitAndTheCallersBuffer) {
  RecFileFixture f(2);
  f.AddVideo(H264Frame(true, 300, 1), true);
  f.AddVideo(H264Frame(false, 512000, 2), false);
  f.chunks.push_back({"JUNK", Bytes(40, 3), 0, false});
  f.AddVideo(H264Frame(false, 2000, 4), false);
  f.AddVideo(H264Frame(false, 512001, 5), false);
  CRecFileReader reader;
  ASSERT_EQ(reader.Open(Write(f).c_str()), 1);

  std::vector<uint8_t> buffer(kRecMaxFrameSize + 64, 0xCC);
  int video = -1;
  int key = -1;
  EXPECT_EQ(reader.ReadFrame(buffer.data(), kRecMaxFrameSize, &video, &key), 300);
  EXPECT_EQ(reader.ReadFrame(buffer.data(), kRecMaxFrameSize, &video, &key), 512000);
  EXPECT_EQ(video, 1);
  EXPECT_EQ(key, 0);
  // Another chunk kind inside the data: consumed, 0, flags as they were.
  video = key = 7;
  EXPECT_EQ(reader.ReadFrame(buffer.data(), kRecMaxFrameSize, &video, &key), 0);
  EXPECT_EQ(video, 7);
  EXPECT_EQ(key, 7);
  // A buffer too small for the chunk: refused, nothing written past it.
  std::fill(buffer.begin(), buffer.end(), 0xCC);
  EXPECT_EQ(reader.ReadFrame(buffer.data(), 1000, &video, &key), -3);
  EXPECT_EQ(buffer[0], 0xCC);
  EXPECT_EQ(buffer[1000], 0xCC);
  ASSERT_EQ(reader.SeekKeyFrame(0), 0);
  EXPECT_EQ(reader.ReadFrame(nullptr, 0, &video, &key), -3);

  // One byte over the limit: -3 even with a buffer that would hold it.
  ASSERT_EQ(reader.SeekToDataStart(), 1);
  for (int i = 0; i < 4; ++i) reader.ReadFrame(buffer.data(), kRecMaxFrameSize + 64, &video, &key);
  EXPECT_EQ(reader.ReadFrame(buffer.data(), kRecMaxFrameSize + 64, &video, &key), -3);
}

TEST_F(RecFileReaderTest, SeeksMoveInTheKeyTable) {
  // 5 frames per second, key frames at 0, 10, 20: entries 0..5 at frames
  // 0, 0, 10, 10, 20, 20.
  const RecFileFixture f = GopFile(2, 5, 30, 10);
  CRecFileReader reader;
  ASSERT_EQ(reader.Open(Write(f).c_str()), 1);
  const uint32_t frame10 = f.ChunkPos(20);  // video and audio alternate
  const uint32_t frame20 = f.ChunkPos(40);
  const uint32_t first = f.ChunkPos(0);
  const uint32_t lastChunk = f.ChunkPos(f.chunks.size() - 1);

  EXPECT_DOUBLE_EQ(reader.GetPosRatio(), 1.0 / (lastChunk - first));
  EXPECT_EQ(reader.GetKeyIndex(), 0);
  EXPECT_EQ(reader.SeekPrevKeyFrame(), -2);  // at the data start

  EXPECT_EQ(reader.SeekKeyFrame(6), -1);  // K
  EXPECT_EQ(reader.SeekKeyFrame(0xFFFFFFFFu), -1);
  EXPECT_EQ(NextFrameMark(reader), 0);  // position unchanged

  EXPECT_EQ(reader.SeekNextKeyFrame(), 0);
  EXPECT_EQ(reader.GetKeyIndex(), 2);  // entries 2 and 3 hold frame 10
  EXPECT_EQ(NextFrameMark(reader), 10);
  EXPECT_EQ(reader.SeekNextKeyFrame(), 0);
  EXPECT_EQ(NextFrameMark(reader), 20);
  EXPECT_EQ(reader.SeekNextKeyFrame(), -4);  // nothing after frame 20
  EXPECT_EQ(reader.SeekPrevKeyFrame(), 0);
  EXPECT_EQ(NextFrameMark(reader), 20);
  EXPECT_EQ(reader.SeekPrevKeyFrame(), 0);  // back onto frame 20
  EXPECT_EQ(reader.SeekPrevKeyFrame(), 0);  // below it: frame 10
  EXPECT_EQ(NextFrameMark(reader), 10);
  EXPECT_EQ(reader.SeekPrevKeyFrame(), 0);
  EXPECT_EQ(reader.SeekPrevKeyFrame(), 0);  // entry 1 holds frame 0
  EXPECT_EQ(NextFrameMark(reader), 0);

  ASSERT_EQ(reader.SeekToDataStart(), 1);
  EXPECT_EQ(reader.SeekKeyFrameBetween(0, 2), 1);  // a below 1
  EXPECT_EQ(reader.SeekKeyFrameBetween(2, 6), 1);  // b not below K
  EXPECT_EQ(reader.SeekKeyFrameBetween(2, 3), 1);  // same position
  EXPECT_EQ(reader.SeekKeyFrameBetween(2, 4), 0);
  EXPECT_EQ(reader.GetKeyIndex(), 4);
  EXPECT_EQ(reader.SeekKeyFrameBetween(1, 2), 0);  // past entry 2: stays
  EXPECT_EQ(NextFrameMark(reader), 20);

  ASSERT_EQ(reader.SeekKeyFrame(2), 0);
  EXPECT_DOUBLE_EQ(reader.GetPosRatio(), (frame10 + 1.0 - first) / (lastChunk - first));
  ASSERT_EQ(reader.SeekKeyFrame(4), 0);
  EXPECT_DOUBLE_EQ(reader.GetPosRatio(), (frame20 + 1.0 - first) / (lastChunk - first));

  ASSERT_EQ(reader.SeekToDataEnd(), 1);
  EXPECT_EQ(reader.ReadFrame(nullptr, 0, nullptr, nullptr), -2);
  EXPECT_EQ(reader.SeekNextKeyFrame(), -2);
  EXPECT_EQ(reader.SeekKeyFrameBetween(2, 4), -2);
  EXPECT_EQ(reader.GetKeyIndex(), -1);
  ASSERT_EQ(reader.SeekToDataStart(), 1);
  EXPECT_EQ(NextFrameMark(reader), 0);

  EXPECT_EQ(reader.Reset(), 1);
  EXPECT_EQ(reader.GetPosRatio(), 0.0);
  EXPECT_EQ(reader.SeekKeyFrame(0), -1);
  EXPECT_EQ(reader.SeekNextKeyFrame(), -1);
  EXPECT_EQ(reader.SeekPrevKeyFrame(), -1);
  EXPECT_EQ(reader.SeekKeyFrameBetween(1, 2), -1);
  EXPECT_EQ(reader.SeekToDataStart(), 0);
  EXPECT_EQ(reader.SeekToDataEnd(), 0);
  EXPECT_EQ(reader.GetKeyIndex(), -1);
  EXPECT_EQ(reader.GetKeyFrameCount(), 0u);
}

TEST_F(RecFileReaderTest, SeekPrevKeyFrameNeverTakesTheFirstEntry) {
  // Key frames at 0 and 3, 5 per second: entry 0 holds frame 0, entry 1 frame 3.
  RecFileFixture f(1);
  f.frameRate = 5;
  for (int i = 0; i < 10; ++i) f.AddVideo(H264Frame(i == 0 || i == 3, 300, static_cast<uint8_t>(i)), i == 0 || i == 3);
  CRecFileReader reader;
  ASSERT_EQ(reader.Open(Write(f).c_str()), 1);
  ASSERT_EQ(reader.SeekKeyFrame(1), 0);
  EXPECT_EQ(reader.SeekPrevKeyFrame(), 0);
  EXPECT_EQ(NextFrameMark(reader), 3);
}

TEST_F(RecFileReaderTest, OpenOnAnOpenReaderStartsOver) {
  CRecFileReader reader;
  ASSERT_EQ(reader.Open(Write(GopFile(2, 5, 30, 5), "a.avi").c_str()), 1);
  ReadAll(reader);
  ASSERT_EQ(reader.Open(Write(GopFile(1, 5, 10, 5), "b.avi").c_str()), 1);
  BYTE mask = 0;
  AudioParam audio;
  reader.GetMediaInfo(&mask, nullptr, &audio);
  EXPECT_EQ(mask, kRecMediaVideo);
  EXPECT_STREQ(audio.szCodec, "");
  EXPECT_EQ(reader.GetKeyFrameCount(), 2u);
  EXPECT_EQ(ReadAll(reader).size(), 10u);
}

TEST_F(RecFileReaderTest, AFileCutWhileOpenEndsTheReadingQuietly) {
  const RecFileFixture f = GopFile(2, 5, 40, 5);
  const std::string path = Write(f);
  CRecFileReader reader;
  ASSERT_EQ(reader.Open(path.c_str()), 1);
  ASSERT_EQ(::truncate(path.c_str(), f.ChunkPos(30) + 100), 0);
  int last = 1;
  const std::vector<Frame> frames = ReadAll(reader, &last);
  EXPECT_EQ(last, 0);
  EXPECT_GE(frames.size(), 29u);
  EXPECT_LE(frames.size(), 30u);
}

// The chunks of `f` that lie whole before byte `cut`.
size_t WholeChunksBefore(const RecFileFixture& f, uint64_t cut) {
  size_t whole = 0;
  while (whole < f.chunks.size() && f.ChunkPos(whole) + 8 + f.chunks[whole].payload.size() <= cut) ++whole;
  return whole;
}

// What a reader gives of a file without a whole index: every whole chunk
// before the damage, byte exact, then the end; a key table of the whole chunks
// whose entries lead to key frames; a position ratio that reaches the last one.
void ExpectReadToLastWholeChunk(CRecFileReader& reader, const RecFileFixture& f, size_t whole) {
  EXPECT_FALSE(reader.IsIndexed());
  size_t video = 0;
  for (size_t i = 0; i < whole; ++i) video += f.chunks[i].code == "00dc" ? 1 : 0;
  EXPECT_EQ(reader.GetVideoChunkCount(), video);
  EXPECT_EQ(reader.GetAudioChunkCount(), whole - video);
  EXPECT_EQ(reader.GetKeyFrameCount(), std::max<size_t>(video / f.frameRate, 1));
  int last = 1;
  const std::vector<Frame> frames = ReadAll(reader, &last);
  EXPECT_EQ(last, -2);
  ASSERT_EQ(frames.size(), whole);
  for (size_t i = 0; i < whole; ++i) {
    EXPECT_EQ(frames[i].bytes, f.chunks[i].payload) << i;
    EXPECT_EQ(frames[i].key, f.chunks[i].flags == 0x10 ? 1 : 0) << i;
  }
  if (whole > 1) EXPECT_GT(reader.GetPosRatio(), 0.99);  // one chunk alone has no span to measure
  for (DWORD k = 0; k < reader.GetKeyFrameCount(); ++k) {
    ASSERT_EQ(reader.SeekKeyFrame(k), 0);
    std::vector<uint8_t> buffer(kRecMaxFrameSize);
    int isVideo = 0;
    int isKey = 0;
    ASSERT_GT(reader.ReadFrame(buffer.data(), kRecMaxFrameSize, &isVideo, &isKey), 0);
    EXPECT_EQ(isVideo, 1) << "entry " << k;
    EXPECT_EQ(isKey, 1) << "entry " << k;
  }
}

// A file still being written, or left by a recorder that died, has no whole
// index: its chunks are read all the same.
TEST_F(RecFileReaderTest, FilesWithoutAWholeIndexAreReadToTheirLastWholeChunk) {
  const RecFileFixture whole = GopFile(2, 5, 40, 5);
  struct Case {
    const char* name;
    RecFileFixture f;
  };
  std::vector<Case> cases;
  {
    RecFileFixture f = whole;
    f.writeIndex = false;
    cases.push_back({"no index", f});
    f.writeIndex = true;
    f.indexCode = "idx2";
    cases.push_back({"another code where the index stands", f});
  }
  {
    RecFileFixture f = whole;
    f.indexSize = 0xFFFFFFF0u;
    cases.push_back({"index length past the end of the file", f});
    f.indexSize = 16 * 80 + 16;
    cases.push_back({"index one entry longer than the file", f});
  }
  {
    RecFileFixture f = whole;
    f.moviSize = 0x7FFFFFF0u;  // what a cut file's header says
    cases.push_back({"movi list past the end of the file", f});
  }
  {
    RecFileFixture f = GopFile(1, 5, 40, 5);
    f.writeIndex = false;
    cases.push_back({"video only, no index", f});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CRecFileReader reader;
    ASSERT_EQ(reader.Open(Write(c.f).c_str()), 1);
    ExpectReadToLastWholeChunk(reader, c.f, c.f.chunks.size());
  }
  CRecFileReader indexed;
  ASSERT_EQ(indexed.Open(Write(whole).c_str()), 1);
  EXPECT_TRUE(indexed.IsIndexed());
}

// A file cut anywhere behind its first chunk opens and is read to its last
// whole chunk: at a chunk's end, inside a chunk's header or payload, at the
// index, inside the index.
TEST_F(RecFileReaderTest, AFileCutAtTenPlacesIsReadToItsLastWholeChunk) {
  const RecFileFixture f = GopFile(2, 5, 40, 5);
  const std::string bytes = f.Build();
  const uint64_t cuts[] = {
      f.ChunkPos(1),            // the first chunk alone
      f.ChunkPos(1) + 3,        // inside the next chunk's code
      f.ChunkPos(2) + 8,        // the next header whole, its payload gone
      f.ChunkPos(17) + 150,     // inside a video payload
      f.ChunkPos(40) + 1,       // one byte of an audio chunk's code
      f.ChunkPos(63) - 1,       // one byte short of a whole chunk
      f.DataEnd(),              // every chunk, the index gone
      f.DataEnd() + 6,          // inside the index's length
      f.DataEnd() + 8 + 16 * 33 + 5,  // inside the index's entries
      bytes.size() - 1,         // the last index entry one byte short
  };
  for (const uint64_t cut : cuts) {
    SCOPED_TRACE(cut);
    CRecFileReader reader;
    ASSERT_EQ(reader.Open(WriteBytes(bytes.substr(0, cut)).c_str()), 1);
    ExpectReadToLastWholeChunk(reader, f, WholeChunksBefore(f, cut));
  }
}

TEST(RecFileKeyRules, H264) {
  struct Case {
    std::vector<uint8_t> frame;
    int keyFrame;
    int keyNal;
  } cases[] = {
      {{0, 0, 0, 1, 0x67, 0x42, 0x00}, 1, 1},        // SPS
      {{0, 0, 0, 1, 0x68, 0xCE, 0x00}, 1, 1},        // PPS
      {{0, 0, 0, 1, 0x65, 0x88, 0x00}, 1, 1},        // IDR slice
      {{0, 0, 0, 1, 0x06, 0x05, 0x00}, 0, 1},        // SEI
      {{0, 0, 0, 1, 0x41, 0xB0, 0x00}, 1, 0},        // slice, (b & 0xB0) == 0xB0
      {{0, 0, 0, 1, 0x41, 0x88, 0x00}, 1, 0},        // slice, b == 0x88
      {{0, 0, 0, 1, 0x41, 0x4C, 0x00}, 1, 0},        // slice, (b & 0x4C) == 0x4C
      {{0, 0, 0, 1, 0x41, 0x9A, 0x00}, 0, 0},        // ordinary P slice
      {{0, 0, 0, 1, 0x09, 0xF0, 0x00}, 0, 0},        // access unit delimiter
      {{0, 0, 0, 1, 0x67, 0x42}, 0, 0},              // shorter than 7
      {{0, 0, 1, 0x67, 0x42, 0x00, 0x00}, 0, 0},     // three-byte start code
      {{1, 0, 0, 1, 0x65, 0x88, 0x00}, 0, 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const int len = static_cast<int>(c.frame.size());
    EXPECT_EQ(CRecFileReader::IsH264KeyFrame(c.frame.data(), len), c.keyFrame) << i;
    EXPECT_EQ(IsH264KeyNal(c.frame.data(), len), c.keyNal) << i;
  }
  EXPECT_EQ(CRecFileReader::IsH264KeyFrame(nullptr, 7), 0);
  EXPECT_EQ(IsH264KeyNal(nullptr, 7), 0);
}

TEST_F(RecFileReaderTest, Mpeg4KeyFramesAreIntraVops) {
  auto frame = [](std::initializer_list<std::pair<size_t, uint8_t>> bytes, size_t size) {
    std::vector<uint8_t> f(size, 0x55);
    f[0] = f[1] = 0;
    f[2] = 1;
    for (auto [at, value] : bytes) f[at] = value;
    return f;
  };
  struct Case {
    std::vector<uint8_t> frame;
    int key;
  } cases[] = {
      {frame({{3, 0xB6}, {4, 0x10}}, 40), 1},              // I-VOP
      {frame({{3, 0xB6}, {4, 0x50}}, 40), 0},              // P-VOP
      {frame({{3, 0x01}, {21, 0xB6}, {22, 0x20}}, 40), 1},  // VOL, then an I-VOP
      {frame({{3, 0x01}, {21, 0xB6}, {22, 0x60}}, 40), 0},  // VOL, then a P-VOP
      {frame({{3, 0x01}, {21, 0xB6}}, 22), 0},              // too short to tell
      {frame({{3, 0xB6}}, 4), 0},
      {Mp4Frame({kGov, kIVop}), 1},                        // a group of VOPs, then an I-VOP
      {Mp4Frame({kGov, kPVop}), 0},
      {Mp4Frame({kVo, kVol, kGov, kIVop}), 1},             // stream headers in front
      {Mp4Frame({kVos, kVo, kVol, kUserData, kPVop}), 0},
  };
  RecFileFixture f(1);
  f.videoHandler = "XVID";
  std::vector<uint8_t> vol = Bytes(300, 0x77);
  std::memcpy(vol.data(), "\x00\x00\x01\x01", 4);
  f.AddVideo(vol, true);
  for (const Case& c : cases) f.AddVideo(c.frame, c.key != 0);
  CRecFileReader reader;
  ASSERT_EQ(reader.Open(Write(f).c_str()), 1);
  std::vector<Frame> frames = ReadAll(reader);
  ASSERT_EQ(frames.size(), std::size(cases) + 1);
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(frames[i + 1].key, cases[i].key) << i;
}

}  // namespace
