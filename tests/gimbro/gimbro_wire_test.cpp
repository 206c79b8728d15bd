#include <gtest/gtest.h>

#include <string>

#include "maker/gimbro/gimbro.h"
#include "maker/gimbro/gimbro_wire.h"

using gimbro_wire::Frame;
using gimbro_wire::FrameReader;
using Result = FrameReader::Result;

TEST(GimbroWire, FramesCutFromBytesArrivingOneByOne) {
  const std::string bytes = gimbro_wire::Encode(gimbro_wire::kAuxResponse, -16776199, 7, std::string_view("abc\0def", 7)) +
                            gimbro_wire::Encode(gimbro_wire::kEchoReply);
  FrameReader reader;
  Frame frame;
  std::vector<Frame> frames;
  for (char c : bytes) {
    reader.Feed(&c, 1);
    while (reader.Next(frame) == Result::kFrame) frames.push_back(frame);
  }
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].type, gimbro_wire::kAuxResponse);
  EXPECT_EQ(frames[0].a, -16776199);
  EXPECT_EQ(frames[0].b, 7);
  EXPECT_EQ(frames[0].body, std::string("abc\0def", 7));
  EXPECT_EQ(frames[1].type, gimbro_wire::kEchoReply);
  EXPECT_TRUE(frames[1].body.empty());
}

TEST(GimbroWire, BadInputEndsTheReaderForGood) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  std::string huge = gimbro_wire::Encode(gimbro_wire::kHello);
  huge[16] = huge[17] = huge[18] = huge[19] = '\xff';
  std::string justOver = gimbro_wire::Encode(gimbro_wire::kHello);
  const uint32_t over = gimbro_wire::kMaxBody + 1;
  for (int i = 0; i < 4; ++i) justOver[16 + i] = static_cast<char>((over >> (8 * i)) & 0xFF);
  const Case cases[] = {
      {"garbage", "HTTP/1.1 200 OK\r\n\r\n"},
      {"wrong magic after a good frame", gimbro_wire::Encode(gimbro_wire::kEchoReply) + "GMBX"},
      {"huge length", huge},
      {"one byte over the limit", justOver},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FrameReader reader;
    reader.Feed(c.bytes.data(), c.bytes.size());
    Frame frame;
    Result r;
    while ((r = reader.Next(frame)) == Result::kFrame) {
    }
    EXPECT_EQ(r, Result::kError);
    EXPECT_FALSE(reader.Error().empty());
    const std::string good = gimbro_wire::Encode(gimbro_wire::kEchoReply);
    reader.Feed(good.data(), good.size());
    EXPECT_EQ(reader.Next(frame), Result::kError);
  }
}

TEST(GimbroWire, TruncatedFrameWaitsForTheRest) {
  const std::string bytes = gimbro_wire::Encode(gimbro_wire::kStatus, 26, 0, "8");
  FrameReader reader;
  reader.Feed(bytes.data(), bytes.size() - 1);
  Frame frame;
  EXPECT_EQ(reader.Next(frame), Result::kNeedMore);
  reader.Feed(bytes.data() + bytes.size() - 1, 1);
  ASSERT_EQ(reader.Next(frame), Result::kFrame);
  EXPECT_EQ(frame.body, "8");
}

TEST(GimbroWire, ResponseWordSplitsIntoFlagAndCode) {
  EXPECT_EQ(GimbroResponseCode(GimbroPackResponse(1, 1017)), 1017);
  EXPECT_EQ(GimbroResponseFlag(GimbroPackResponse(1, 1017)), 1);
  EXPECT_EQ(GimbroPackResponse(1, 1017), 0x010003F9);
  // A flag byte of 0xFF is -1: the split is an arithmetic shift.
  EXPECT_EQ(GimbroResponseFlag(GimbroPackResponse(0xFF, 3001)), -1);
  EXPECT_EQ(GimbroResponseCode(GimbroPackResponse(0xFF, 3001)), 3001);
}

TEST(GimbroWire, LoginDigestCoversNonceLoginAndPassword) {
  const std::string d = gimbro_wire::LoginDigest("n1", "admin", "secret");
  EXPECT_EQ(d.size(), 64u);
  EXPECT_EQ(d.find("secret"), std::string::npos);
  EXPECT_NE(d, gimbro_wire::LoginDigest("n2", "admin", "secret"));
  EXPECT_NE(d, gimbro_wire::LoginDigest("n1", "admin", "secreT"));
  EXPECT_NE(d, gimbro_wire::LoginDigest("n1", "admim", "secret"));
}
