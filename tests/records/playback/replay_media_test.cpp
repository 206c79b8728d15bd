// The page's handling of the media that reach its players: parameter block
// copies, frame headers, NVR packets and the 10-minute pieces of an NVR day.
#include "records/playback/replay_media.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/base64.h"

namespace {

using namespace replaymedia;

VideoParam Video(const char* codec, int32_t headerLength) {
  VideoParam v{};
  std::strncpy(v.szCodec, codec, sizeof(v.szCodec) - 1);
  v.dwWidth = 704;
  v.dwHeight = 576;
  v.dwReserved = 77;
  v.dwFrameRate = 25;
  v.dwBitRate = 4096000;
  std::memset(v.byCodecHeader, 0x5A, sizeof(v.byCodecHeader));
  v.nCodecHeaderLen = headerLength;
  return v;
}

TEST(ReplayMedia, BlockCopiesKeepTheHeaderLengthInsideTheBlock) {
  struct Case {
    int32_t stated;
    int32_t kept;
  };
  for (const Case& c : {Case{40, 40}, Case{256, 256}, Case{257, 256}, Case{0x7FFFFFFF, 256}, Case{-1, 0}}) {
    SCOPED_TRACE(c.stated);
    const VideoParam from = Video("H264", c.stated);
    VideoParam to;
    CopyVideoParam(&from, &to);
    EXPECT_EQ(to.nCodecHeaderLen, c.kept);
    EXPECT_EQ(to.dwReserved, 0u);  // the third word is not copied
    EXPECT_EQ(to.dwWidth, 704u);
    EXPECT_EQ(to.dwBitRate, 4096000u);
    EXPECT_EQ(to.byCodecHeader[std::max(0, c.kept - 1)], c.kept ? 0x5A : 0);
    if (c.kept < 256) {
      EXPECT_EQ(to.byCodecHeader[c.kept], 0);
    }
  }
  VideoParam absent;
  CopyVideoParam(nullptr, &absent);
  EXPECT_FALSE(IsPresent(absent));
  VideoParam unterminated = Video("H264", 0);
  std::memset(unterminated.szCodec, 'X', sizeof(unterminated.szCodec));
  VideoParam copy;
  CopyVideoParam(&unterminated, &copy);
  EXPECT_EQ(std::strlen(copy.szCodec), 255u);

  // The same stream: names and sizes; the third word of the copies is 0 on both sides.
  VideoParam a, b;
  const VideoParam h264 = Video("H264", 10), h264Other = Video("H264", 20), mpeg4 = Video("MP4V", 10);
  CopyVideoParam(&h264, &a);
  CopyVideoParam(&h264Other, &b);
  EXPECT_TRUE(SameVideo(a, b));
  CopyVideoParam(&mpeg4, &b);
  EXPECT_FALSE(SameVideo(a, b));
  AudioParam g711{}, aac{};
  std::strcpy(g711.szCodec, "G711");
  std::strcpy(aac.szCodec, "AAC");
  EXPECT_FALSE(SameAudio(g711, aac));
  EXPECT_TRUE(SameAudio(g711, g711));
}

TEST(ReplayMedia, ParameterTextsAndFrameHeaders) {
  const VideoParam video = Video("H264", 0);
  const std::string text = ParamText(&video, sizeof(video));
  EXPECT_EQ(text.size(), 716u);  // 536 bytes
  EXPECT_EQ(TextBlockSize(text), 537);
  std::vector<BYTE> back(600);
  EXPECT_EQ(CBase64::Decode(text.c_str(), back.data(), static_cast<int>(text.size()), 600), 536);
  EXPECT_EQ(std::memcmp(back.data(), &video, sizeof(video)), 0);

  RelayFrameInfo info;
  info.dwKeyFlag = 1;
  info.dwReserved = 0xEEEEEEEE;
  info.dTime = 125400.0;
  BYTE header[16];
  RelayFrameHeader(&info, header);
  uint32_t flag = 0;
  std::memcpy(&flag, header, 4);
  EXPECT_EQ(flag, 1u);
  EXPECT_EQ(HeaderTimeMs(header), 125400.0);
  RelayFrameHeader(nullptr, header);
  EXPECT_EQ(HeaderTimeMs(header), 0.0);
}

TEST(ReplayMedia, NvrPacketsAndDayPieces) {
  std::vector<BYTE> packet(20 + 5, 0);
  packet[14] = kNvrDayVideo;
  NvrPacket nvr;
  ASSERT_TRUE(ParseNvrPacket(packet.data(), 25, &nvr));
  EXPECT_EQ(nvr.kind, kNvrDayVideo);
  EXPECT_EQ(nvr.length, 5);
  EXPECT_EQ(nvr.payload, packet.data() + 20);
  ASSERT_TRUE(ParseNvrPacket(packet.data(), 20, &nvr));
  EXPECT_EQ(nvr.length, 0);
  // Shorter than the prefix: dropped, never a negative length.
  EXPECT_FALSE(ParseNvrPacket(packet.data(), 19, &nvr));
  EXPECT_FALSE(ParseNvrPacket(packet.data(), -4, &nvr));
  EXPECT_FALSE(ParseNvrPacket(nullptr, 25, &nvr));

  struct Case {
    double frameMs;
    int64_t msInPiece;
    int pieceStart;
  };
  const Case cases[] = {
      {36125400.0, 125400, 36000},  // 10:02:05.4 lies 2 min 5.4 s into the piece of 10:00:00
      {36000000.0, 0, 36000},
      {35999999.0, 599999, 35400},
      {0.0, 0, 0},
  };
  for (const Case& c : cases) {
    const DayPiece piece = SplitDayTime(c.frameMs);
    EXPECT_EQ(piece.msInPiece, c.msInPiece) << c.frameMs;
    EXPECT_EQ(piece.pieceStart, c.pieceStart) << c.frameMs;
  }

  NvrMediaParam param;
  ASSERT_TRUE(ParseNvrMediaParam("<REPLAY_PARAM VideoParam=\"QUJD\" AudioParam=\"\" VideoSeconds=\"60\" />", &param));
  EXPECT_TRUE(param.hasVideo);
  EXPECT_TRUE(param.hasAudio);
  EXPECT_EQ(param.video, "QUJD");
  EXPECT_EQ(param.seconds, 60);
  ASSERT_TRUE(ParseNvrMediaParam("<P AudioParam=\"QUJD\"/>", &param));
  EXPECT_FALSE(param.hasVideo);
  EXPECT_FALSE(ParseNvrMediaParam("not xml", &param));
}

}  // namespace
