// Files written by the recorder open in the record-file reader and read back
// every stored frame byte for byte, with the media description the recorder
// was given.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "common/wait_for.h"
#include "maker/morvik/morvik.h"
#include "record_layout_check.h"
#include "records/playback/rec_file_source.h"
#include "clipta/clipta_ctrl.h"
#include "clipta/record_media.h"
#include "streva/media_blocks.h"
#include "records/recfile/rec_file_reader.h"
#include "records/search/rec_day_map.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

const BYTE* Bytes(const void* p) { return static_cast<const BYTE*>(p); }

struct Packet {
  bool video = false;
  bool key = false;
  double ms = 0;
  std::vector<uint8_t> data;
};

// A stream as the pull client hands it over: parameter blocks and frames.
struct Source {
  VideoParamBlock video{};
  AudioParamBlock audio{};
  bool hasAudio = false;
  std::vector<Packet> packets;
};

bool Demux(const std::string& path, Source& source) {
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) != 0) return false;
  bool ok = avformat_find_stream_info(input, nullptr) >= 0;
  int videoIndex = -1;
  int audioIndex = -1;
  for (unsigned i = 0; ok && i < input->nb_streams; ++i) {
    const AVStream* s = input->streams[i];
    if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && videoIndex < 0) {
      videoIndex = static_cast<int>(i);
      ok = mediablocks::FillVideo(s->codecpar, s->r_frame_rate, s->time_base, &source.video);
    } else if (s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && audioIndex < 0) {
      audioIndex = static_cast<int>(i);
      ok = source.hasAudio = mediablocks::FillAudio(s->codecpar, &source.audio);
    }
  }
  AVPacket* packet = av_packet_alloc();
  while (ok && av_read_frame(input, packet) == 0) {
    if (packet->stream_index == videoIndex || packet->stream_index == audioIndex) {
      Packet p;
      p.video = packet->stream_index == videoIndex;
      const AVRational tb = input->streams[packet->stream_index]->time_base;
      const int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
      p.ms = static_cast<double>(ts) * av_q2d(tb) * 1000.0;
      p.key = p.video && (packet->flags & AV_PKT_FLAG_KEY);
      p.data.assign(packet->data, packet->data + packet->size);
      source.packets.push_back(std::move(p));
    }
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  avformat_close_input(&input);
  return ok && videoIndex >= 0;
}

std::vector<std::string> AviFiles(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".avi") files.push_back(entry.path().string());
  }
  return files;
}

// A clip that ffmpeg made (its arguments), recorded as a stream object feeds
// the recorder: blocks first, then the frames. The stored chunks are what the
// file must give back.
struct RecordedClip {
  Source source;
  std::string path;
  std::vector<std::vector<uint8_t>> video;
  std::vector<std::vector<uint8_t>> audio;
};

void RecordClip(const std::string& args, const TempFolder& folder, RecordedClip* out) {
  const std::string sourcePath = folder.File("source.avi");
  ASSERT_EQ(std::system(("ffmpeg -v error -y " + args + " -f avi " + sourcePath).c_str()), 0);
  Source& source = out->source;
  ASSERT_TRUE(Demux(sourcePath, source));
  ASSERT_FALSE(source.packets.empty());
  const std::string recordFolder = folder.Path() + "day";
  {
    CCliptaCtrl clipta;
    ASSERT_EQ(clipta.BeginStream(1), 0);
    ASSERT_EQ(clipta.SetVideoParam(1, Bytes(&source.video), 536), 0);
    if (source.hasAudio) {
      ASSERT_EQ(clipta.SetAudioParam(1, Bytes(&source.audio), 276), 0);
    }
    const long fileId = clipta.BeginRecordFile(1, recordFolder, 0, 3600, 3600, 1);
    ASSERT_GE(fileId, 1);
    uint32_t sequence[2] = {0, 0};
    bool started = false;  // recording starts at the first video key frame
    std::vector<uint8_t> scratch;
    for (const Packet& p : source.packets) {
      FrameHeader header{p.key ? kFrameFlagKey : 0u, sequence[p.video ? 0 : 1]++, static_cast<uint32_t>(p.ms), 0};
      const long length = static_cast<long>(p.data.size());
      if (p.video) {
        clipta.InputVideo(1, p.data.data(), length, Bytes(&header), 16);
        started = started || p.key;
        if (!started) continue;
        size_t stored = 0;
        const uint8_t* bytes =
            recordmedia::VideoChunk(source.video, p.key, p.data.data(), p.data.size(), scratch, &stored);
        out->video.emplace_back(bytes, bytes + stored);
      } else {
        clipta.InputAudio(1, p.data.data(), length, Bytes(&header), 16);
        if (started) out->audio.push_back(p.data);
      }
    }
    EXPECT_EQ(clipta.StopRecordFile(fileId), 0);
  }
  const std::vector<std::string> files = AviFiles(recordFolder);
  ASSERT_EQ(files.size(), 1u);
  out->path = files[0];
}

TEST(RecFileRecorder, RecordedFilesReadBackEveryFrame) {
  if (std::system("ffmpeg -hide_banner -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
  struct Case {
    const char* name;
    const char* args;
    const char* codec;
    uint32_t width, height;
    BYTE mask;
    const char* audioCodec;
    uint32_t sampleRate, channels;
  } cases[] = {
      {"h264 and G.711",
       "-f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i sine=f=440:r=8000 -t 4 -c:v libx264 -preset ultrafast "
       "-g 25 -pix_fmt yuv420p -c:a pcm_alaw -ac 1",
       "H264", 352, 288, kRecMediaVideoAudio, "G711", 8000, 1},
      {"h264 video only",
       "-f lavfi -i testsrc=size=704x576:rate=25 -t 3 -c:v libx264 -preset ultrafast -g 50 -pix_fmt yuv420p",
       "H264", 704, 576, kRecMediaVideo, "", 0, 0},
      {"h264 and AAC",
       "-f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i sine=f=440:r=16000 -t 3 -c:v libx264 -preset ultrafast "
       "-g 25 -pix_fmt yuv420p -c:a aac -ac 2",
       "H264", 352, 288, kRecMediaVideoAudio, "AAC", 16000, 2},
      // Key frames that begin with a group-of-VOP header, the stream headers
      // only in the configuration, as cameras send MPEG-4.
      {"mpeg4 with its headers apart and G.711 mu-law",
       "-f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i sine=f=440:r=8000 -t 3 -c:v mpeg4 -flags +global_header "
       "-g 25 -c:a pcm_mulaw -ac 1",
       "MP4V", 352, 288, kRecMediaVideoAudio, "G711", 8000, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    RecordedClip clip;
    RecordClip(c.args, folder, &clip);
    if (HasFatalFailure()) return;
    const std::vector<std::vector<uint8_t>>& expectedVideo = clip.video;
    const std::vector<std::vector<uint8_t>>& expectedAudio = clip.audio;
    const std::vector<std::string> files = {clip.path};

    CRecFileReader reader;
    ASSERT_EQ(reader.Open(files[0].c_str()), 1);
    BYTE mask = 0;
    VideoParam video;
    AudioParam audio;
    reader.GetMediaInfo(&mask, &video, &audio);
    EXPECT_EQ(mask, c.mask);
    EXPECT_STREQ(video.szCodec, c.codec);
    EXPECT_EQ(video.dwWidth, c.width);
    EXPECT_EQ(video.dwHeight, c.height);
    EXPECT_EQ(video.dwFrameRate, 25u);
    EXPECT_GT(video.nCodecHeaderLen, 0);
    EXPECT_STREQ(audio.szCodec, c.audioCodec);
    EXPECT_EQ(audio.dwSampleRate, c.sampleRate);
    EXPECT_EQ(audio.dwChannels, c.channels);
    EXPECT_EQ(reader.GetVideoChunkCount(), expectedVideo.size());
    EXPECT_EQ(reader.GetKeyFrameCount(), expectedVideo.size() / 25);

    std::vector<std::vector<uint8_t>> readVideo;
    std::vector<std::vector<uint8_t>> readAudio;
    std::vector<BYTE> buffer(kRecMaxFrameSize);
    int isVideo = 0;
    int isKey = 0;
    int n = 0;
    while ((n = reader.ReadFrame(buffer.data(), kRecMaxFrameSize, &isVideo, &isKey)) > 0) {
      (isVideo ? readVideo : readAudio).emplace_back(buffer.begin(), buffer.begin() + n);
      if (readVideo.size() == 1 && isVideo) {
        EXPECT_EQ(isKey, 1);  // the file starts at a key frame
      }
    }
    EXPECT_EQ(n, -2);
    EXPECT_TRUE(readVideo == expectedVideo) << readVideo.size() << " video chunks read, "
                                            << expectedVideo.size() << " recorded";
    EXPECT_TRUE(readAudio == expectedAudio) << readAudio.size() << " audio chunks read, "
                                            << expectedAudio.size() << " recorded";

    // Every entry of the key table leads to a key frame.
    for (DWORD k = 0; k < reader.GetKeyFrameCount(); ++k) {
      ASSERT_EQ(reader.SeekKeyFrame(k), 0);
      do {
        n = reader.ReadFrame(buffer.data(), kRecMaxFrameSize, &isVideo, &isKey);
      } while (n > 0 && !isVideo);
      EXPECT_EQ(isKey, 1) << "entry " << k;
    }
    EXPECT_EQ(CRecDayMapBuilder::GetRecFileSeconds(files[0].c_str()),
              static_cast<int>(reader.GetKeyFrameCount()));
  }
}

// A recorded file cut anywhere, as a crash or a full disk leaves it: the reader
// gives every chunk that stands whole before the cut and the program's player
// shows every one of its pictures.
TEST(RecFileRecorder, ARecordingCutAtTenPlacesPlaysToItsLastWholeFrame) {
  if (std::system("ffmpeg -hide_banner -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
  TempFolder folder;
  RecordedClip clip;
  RecordClip("-f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i sine=f=440:r=16000 -t 4 -c:v mpeg4 "
             "-flags +global_header -g 25 -c:a aac -ac 1",
             folder, &clip);
  if (HasFatalFailure()) return;
  std::string bytes;
  {
    std::ifstream in(clip.path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // The chunks in file order: where each ends, and whether it is video.
  constexpr size_t kMovi = 9892;
  ASSERT_EQ(bytes.compare(kMovi, 4, "movi"), 0);
  std::vector<std::pair<size_t, bool>> chunkEnds;
  size_t pos = kMovi + 4;
  while (pos + 8 <= bytes.size() && (bytes.compare(pos, 4, "00dc") == 0 || bytes.compare(pos, 4, "01wb") == 0)) {
    const size_t end = pos + 8 + Le32(bytes, pos + 4);
    chunkEnds.emplace_back(end, bytes[pos + 1] == '0');
    pos = end;
  }
  ASSERT_EQ(chunkEnds.size(), clip.video.size() + clip.audio.size());
  ASSERT_EQ(bytes.compare(pos, 4, "idx1"), 0);
  const size_t dataEnd = pos;

  Morvik_SetFileSourceFactory(MakeRecFileSource);
  // Eight cuts spread over the chunks (mostly inside one), one at the index,
  // one inside it.
  std::vector<size_t> cuts;
  for (size_t k = 1; k <= 8; ++k) cuts.push_back(kMovi + 4 + (dataEnd - kMovi - 4) * k / 9 + 3 * k);
  cuts.push_back(dataEnd);
  cuts.push_back(dataEnd + 8 + 16 * 20 + 7);
  for (const size_t cut : cuts) {
    SCOPED_TRACE(cut);
    const std::string path = folder.File("cut.avi");
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(bytes.data(), static_cast<std::streamsize>(cut));
    }
    size_t wholeVideo = 0;
    size_t wholeAudio = 0;
    for (const auto& [end, video] : chunkEnds) {
      if (end > cut) break;
      (video ? wholeVideo : wholeAudio)++;
    }
    CRecFileReader reader;
    ASSERT_EQ(reader.Open(path.c_str()), 1);
    EXPECT_FALSE(reader.IsIndexed());
    std::vector<BYTE> buffer(kRecMaxFrameSize);
    size_t video = 0;
    size_t audio = 0;
    int isVideo = 0;
    int isKey = 0;
    int n = 0;
    while ((n = reader.ReadFrame(buffer.data(), kRecMaxFrameSize, &isVideo, &isKey)) > 0) {
      const std::vector<uint8_t> frame(buffer.begin(), buffer.begin() + n);
      if (isVideo) {
        ASSERT_LT(video, clip.video.size());
        EXPECT_TRUE(frame == clip.video[video]) << "video " << video;
        ++video;
      } else {
        ASSERT_LT(audio, clip.audio.size());
        EXPECT_TRUE(frame == clip.audio[audio]) << "audio " << audio;
        ++audio;
      }
    }
    EXPECT_EQ(n, -2);
    EXPECT_EQ(video, wholeVideo);
    EXPECT_EQ(audio, wholeAudio);
    reader.Close();

    MorvikEngine player;
    ASSERT_EQ(player.OpenFile(path.c_str()), 0);
    player.Command(kMorvikCmdFast, 32);
    ASSERT_TRUE(WaitFor([&] { return !player.IsFilePlaying(); }, 30000));
    EXPECT_EQ(player.PicturesShown(), wholeVideo);
    player.Close();
  }
  Morvik_SetFileSourceFactory(nullptr);
}

}  // namespace
