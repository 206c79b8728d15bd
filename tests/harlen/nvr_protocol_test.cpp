// The bytes of the NVR link: request frames, the item finder, reply reading
// and the frame reader.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "harlen/link/protocol/nvr_frame_reader.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/protocol/nvr_request.h"
#include "harlen/link/sections/ipc_head_info.h"
#include "harlen/link/xml/text_codec.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string ToHex(const uint8_t* data, size_t size) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    out.push_back(kDigits[data[i] >> 4]);
    out.push_back(kDigits[data[i] & 15]);
  }
  return out;
}

void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutItem(Bytes& b, uint32_t type, const Bytes& value) {
  Put32(b, type);
  Put32(b, static_cast<uint32_t>(value.size()));
  b.insert(b.end(), value.begin(), value.end());
}

Bytes Number(uint32_t v) {
  Bytes b;
  Put32(b, v);
  return b;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Items(const std::vector<std::pair<uint32_t, Bytes>>& items) {
  Bytes b;
  for (const auto& [type, value] : items) PutItem(b, type, value);
  return b;
}

Bytes Header(int command, int status = 0) {
  Bytes h(NVRMC_MSG_HEADER_SIZE, 0);
  std::memcpy(h.data(), "svpi", 4);
  WriteLe32(h.data() + 8, static_cast<uint32_t>(command));
  WriteLe32(h.data() + 16, static_cast<uint32_t>(status));
  return h;
}

// A reply payload: header item, the given items, terminator.
Bytes Reply(int command, const std::vector<std::pair<uint32_t, Bytes>>& items, int status = 0) {
  Bytes p;
  PutItem(p, NVRMC_TLV_HEADER, Header(command, status));
  const Bytes rest = Items(items);
  p.insert(p.end(), rest.begin(), rest.end());
  Put32(p, 0);
  Put32(p, 0);
  return p;
}

Bytes Frame(const Bytes& payload) {
  Bytes f(NVRMC_FRAME_MAGIC, NVRMC_FRAME_MAGIC + 4);
  Put32(f, 0);
  Put32(f, static_cast<uint32_t>(payload.size()));
  f.insert(f.end(), payload.begin(), payload.end());
  return f;
}

const char* kZeros20 = "0000000000000000000000000000000000000000";

}  // namespace

// ---- requests

TEST(NvrRequest, GetConfigFrameIsEightyBytes) {
  uint8_t buffer[256];
  const int length = WriteGetConfigRequest(buffer, sizeof buffer, NVR_SECTION_CHANNELCFG);
  ASSERT_EQ(length, 80);
  const std::string expected = std::string("73767069") + "00000000" + "44000000" +  // frame head, payload 68
                               "01000000" + "28000000" +                           // header item, 40 bytes
                               "73767069" + "00000000" + "26110000" + "44000000" + "00000000" + kZeros20 +
                               "13000000" + "04000000" + "06000000" +  // section 6
                               "0000000000000000";                     // terminator
  EXPECT_EQ(ToHex(buffer, static_cast<size_t>(length)), expected);
}

TEST(NvrRequest, StatusQueryCarriesAnEmptyTextItem) {
  uint8_t buffer[256];
  const int length = WriteQueryStatusRequest(buffer, sizeof buffer, NVRMC_STATUS_CODERATE);
  ASSERT_EQ(length, 12 + 76);
  const std::string expected = std::string("73767069") + "00000000" + "4c000000" + "01000000" + "28000000" +
                               "73767069" + "00000000" + "31110000" + "4c000000" + "00000000" + kZeros20 +
                               "43000000" + "04000000" + "02100000" +  // control code 4098
                               "14000000" + "00000000" +              // empty text item
                               "0000000000000000";
  EXPECT_EQ(ToHex(buffer, static_cast<size_t>(length)), expected);
}

// Every builder: the command in the header, the items after it, and both length fields.
TEST(NvrRequest, EveryBuilderWritesItsItems) {
  IpcHeadInfo camera{};
  std::strcpy(camera.serial, "IPC0001");
  camera.ip = StringToIp("192.168.1.10");
  uint8_t record[88];
  PackIpcHeadInfo(camera, record);
  const std::string text = "<disk path=\"sda\" />";
  struct Case {
    const char* name;
    int command;
    std::function<int(uint8_t*, size_t)> write;
    Bytes items;  // between the header item and the terminator
  };
  const std::vector<Case> cases = {
      {"get", 4390, [](uint8_t* b, size_t c) { return WriteGetConfigRequest(b, c, 0); }, Items({{19, Number(0)}})},
      {"set", 4382, [&](uint8_t* b, size_t c) { return WriteSetConfigRequest(b, c, 14, text.data(), text.size()); },
       Items({{19, Number(14)}, {20, Text(text)}})},
      {"restore", 4384, [](uint8_t* b, size_t c) { return WriteRestoreDefaultRequest(b, c); },
       Items({{19, Number(0)}})},
      {"search", 4394, [](uint8_t* b, size_t c) { return WriteSearchCamerasRequest(b, c); }, Items({})},
      {"ipc", 4397, [&](uint8_t* b, size_t c) { return WriteSetIpcNetParamRequest(b, c, camera); },
       Items({{60, Bytes(record, record + 88)}})},
      {"control", 4401, [&](uint8_t* b, size_t c) { return WriteControlRequest(b, c, 1, text.data(), text.size()); },
       Items({{67, Number(1)}, {20, Text(text)}})},
      {"status", 4401, [](uint8_t* b, size_t c) { return WriteQueryStatusRequest(b, c, 4100); },
       Items({{67, Number(4100)}, {20, {}}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint8_t buffer[1024];
    const int length = c.write(buffer, sizeof buffer);
    ASSERT_GT(length, 0);
    const uint32_t payloadLength = ReadLe32(buffer + 8);
    EXPECT_EQ(payloadLength + 12, static_cast<uint32_t>(length));
    EXPECT_EQ(ReadLe32(buffer + 12 + 8 + 8), static_cast<uint32_t>(c.command));
    EXPECT_EQ(ReadLe32(buffer + 12 + 8 + 12), payloadLength);
    const Bytes written(buffer, buffer + length);
    EXPECT_EQ(Bytes(written.begin() + 60, written.end() - 8), c.items);
    EXPECT_EQ(Bytes(written.end() - 8, written.end()), Bytes(8, 0));
  }
}

TEST(NvrRequest, CameraRecordCarriesTheAddressAtOffset28) {
  IpcHeadInfo camera{};
  std::strcpy(camera.serial, "IPC0001");
  camera.ip = StringToIp("192.168.1.10");
  camera.videoport = 554;
  std::strcpy(camera.password, "secret");
  uint8_t record[88];
  PackIpcHeadInfo(camera, record);
  EXPECT_EQ(ToHex(record + 28, 4), "c0a8010a");
  EXPECT_EQ(ToHex(record + 50, 2), "2a02");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record + 72)), "secret");
  IpcHeadInfo back;
  UnpackIpcHeadInfo(record, back);
  EXPECT_EQ(std::memcmp(&back, &camera, sizeof camera), 0);
}

TEST(NvrRequest, FrameLargerThanTheBufferIsRefusedWithoutWritingPastIt) {
  const std::string text(2000, 'x');
  std::vector<uint8_t> buffer(2000 + 64, 0xAB);  // a guard region after the usable part
  const size_t usable = 2000;
  EXPECT_EQ(WriteSetConfigRequest(buffer.data(), usable, 6, text.data(), text.size()), -1);
  for (size_t i = usable; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0xAB) << i;
  EXPECT_EQ(WriteGetConfigRequest(buffer.data(), 8, 6), -1);
  EXPECT_EQ(WriteGetConfigRequest(buffer.data(), 79, 6), -1);
  EXPECT_EQ(WriteGetConfigRequest(buffer.data(), 80, 6), 80);
}

// ---- the item finder

TEST(NvrItemFinder, Rules) {
  struct Case {
    const char* name;
    Bytes payload;
    uint32_t type;
    bool found;
    std::string value;
  };
  Bytes twoSections;
  PutItem(twoSections, 19, Number(6));
  PutItem(twoSections, 19, Number(7));
  Bytes afterType68;
  PutItem(afterType68, 1, Text("h"));
  PutItem(afterType68, 68, Text("x"));
  PutItem(afterType68, 20, Text("late"));
  Bytes afterType0;
  PutItem(afterType0, 1, Text("h"));
  Put32(afterType0, 0);
  Put32(afterType0, 0);
  PutItem(afterType0, 20, Text("late"));
  Bytes hugeLength;
  Put32(hugeLength, 1);
  Put32(hugeLength, 0xFFFFFF);
  PutItem(hugeLength, 20, Text("x"));
  Bytes pastEnd;
  PutItem(pastEnd, 1, Text("h"));
  Put32(pastEnd, 20);
  Put32(pastEnd, 100);
  pastEnd.insert(pastEnd.end(), 10, 'y');
  Bytes cutHead;
  PutItem(cutHead, 1, Text("h"));
  Put32(cutHead, 20);
  Bytes eightBytes;
  Put32(eightBytes, 20);
  Put32(eightBytes, 0);
  Bytes emptyValue;
  PutItem(emptyValue, 20, {});
  Put32(emptyValue, 0);
  Put32(emptyValue, 0);
  const std::vector<Case> cases = {
      {"first match wins", twoSections, 19, true, "06000000"},
      {"type 68 ends the walk", afterType68, 20, false, ""},
      {"type 0 ends the walk", afterType0, 20, false, ""},
      {"length 0xFFFFFF ends the walk", hugeLength, 20, false, ""},
      {"value past the payload", pastEnd, 20, false, ""},
      {"item head cut short", cutHead, 20, false, ""},
      {"payload of 8 bytes", eightBytes, 20, false, ""},
      {"empty value found", emptyValue, 20, true, ""},
      {"absent type", twoSections, 20, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NvrItemView item;
    EXPECT_EQ(FindNvrItem(c.payload.data(), c.payload.size(), c.type, item), c.found);
    if (c.found) {
      EXPECT_EQ(ToHex(item.value, item.length), c.value);
    }
  }
}

// ---- reading replies

TEST(NvrReplyReading, ReplyTable) {
  struct Case {
    const char* name;
    Bytes payload;
    bool delivered;
    int command;
    int status;
    int argument;
    bool hasData;
    std::string data;
  };
  const std::vector<Case> cases = {
      {"set ack", Reply(4383, {}), true, 4383, 0, -1, false, ""},
      {"ack of a request never sent", Reply(4387, {}), true, 4387, 0, -1, false, ""},
      {"4389", Reply(4389, {}), true, 4389, 0, -1, false, ""},
      {"4396", Reply(4396, {}), true, 4396, 0, -1, false, ""},
      {"ipc ack with status", Reply(4398, {}, 3), true, 4398, 3, -1, false, ""},
      {"config", Reply(4391, {{19, Number(6)}, {20, Text("<a />")}}), true, 4391, 0, 6, true, "<a />"},
      {"config without section", Reply(4391, {{20, Text("<a />")}}), true, 4391, 0, -1, true, "<a />"},
      {"config without text", Reply(4391, {{19, Number(6)}}), false, 0, 0, 0, false, ""},
      {"restore", Reply(4385, {{19, Number(0)}, {20, Text("<nvr />")}}), true, 4385, 0, 0, true, "<nvr />"},
      {"4393", Reply(4393, {{20, Text("t")}}), true, 4393, 0, -1, true, "t"},
      {"search", Reply(4395, {{20, Text("<l />")}}), true, 4395, 0, -1, true, "<l />"},
      {"search without text", Reply(4395, {}), false, 0, 0, 0, false, ""},
      {"control", Reply(4402, {{67, Number(4098)}, {20, Text("<s />")}}), true, 4402, 0, 4098, true, "<s />"},
      {"control without code", Reply(4402, {{20, Text("<s />")}}), true, 4402, 0, -1, true, "<s />"},
      {"control without text", Reply(4402, {{67, Number(4098)}}), false, 0, 0, 0, false, ""},
      {"unknown command", Reply(9999, {{20, Text("x")}}), false, 0, 0, 0, false, ""},
      {"no header item", Bytes(), false, 0, 0, 0, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NvrReply reply;
    ASSERT_EQ(ParseNvrReply(c.payload.data(), c.payload.size(), reply), c.delivered);
    if (!c.delivered) continue;
    EXPECT_EQ(reply.command, c.command);
    EXPECT_EQ(reply.status, c.status);
    EXPECT_EQ(reply.argument, c.argument);
    EXPECT_EQ(reply.hasData, c.hasData);
    EXPECT_EQ(reply.data, c.data);
  }
}

// The text ends where its item ends, also when the next item is not the terminator.
TEST(NvrReplyReading, TextIsCutAtItsLengthAndTerminated) {
  Bytes payload;
  PutItem(payload, NVRMC_TLV_HEADER, Header(4391));
  PutItem(payload, 20, Text("<abc />"));
  PutItem(payload, 19, Number(0x41414141));  // "AAAA" right after the text, no zero between
  Put32(payload, 0);
  Put32(payload, 0);
  NvrReply reply;
  ASSERT_TRUE(ParseNvrReply(payload.data(), payload.size(), reply));
  EXPECT_EQ(reply.data.size(), 7u);
  EXPECT_STREQ(reply.data.c_str(), "<abc />");
  EXPECT_EQ(reply.argument, 0x41414141);
}

TEST(NvrReplyReading, ShortHeaderItemIsNotRead) {
  Bytes payload;
  PutItem(payload, NVRMC_TLV_HEADER, Bytes(12, 0));
  Put32(payload, 0);
  Put32(payload, 0);
  NvrReply reply;
  EXPECT_FALSE(ParseNvrReply(payload.data(), payload.size(), reply));
}

// ---- the frame reader

namespace {

// Feeds bytes in pieces of `piece` and collects the payloads of the frames read.
std::vector<Bytes> ReadFrames(NvrFrameReader& reader, const Bytes& stream, size_t piece, int* oversize = nullptr) {
  std::vector<Bytes> frames;
  for (size_t at = 0; at < stream.size(); at += piece) {
    const size_t size = std::min(piece, stream.size() - at);
    size_t offset = 0;
    while (offset < size) {
      size_t used = 0;
      const auto event = reader.Feed(stream.data() + at + offset, size - offset, used);
      offset += used;
      if (event == NvrFrameReader::Event::kFrame) {
        frames.emplace_back(reader.Payload(), reader.Payload() + reader.PayloadLength());
      } else if (event == NvrFrameReader::Event::kOversize && oversize != nullptr) {
        ++*oversize;
      }
    }
  }
  return frames;
}

}  // namespace

TEST(NvrFrameReader, StrayBytesAndPiecesGiveEachFrameOnce) {
  const Bytes first = Reply(4383, {});
  const Bytes second = Reply(4391, {{19, Number(1)}, {20, Text("<common />")}});
  Bytes stream = Text("sv\x01svp");  // stray bytes, two of them a false start of the magic
  const Bytes f1 = Frame(first);
  const Bytes f2 = Frame(second);
  stream.insert(stream.end(), f1.begin(), f1.end());
  stream.insert(stream.end(), {'s', 's', 'v'});
  stream.insert(stream.end(), f2.begin(), f2.end());
  for (size_t piece : {size_t{1}, size_t{3}, size_t{7}, stream.size()}) {
    SCOPED_TRACE(piece);
    NvrFrameReader reader(NVRMC_RECV_CAPACITY);
    const std::vector<Bytes> frames = ReadFrames(reader, stream, piece);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], first);
    EXPECT_EQ(frames[1], second);
    EXPECT_FALSE(reader.InFrame());
  }
}

TEST(NvrFrameReader, OversizedFrameIsReportedAndNotStored) {
  NvrFrameReader reader(64);
  Bytes stream = Frame(Bytes(65, 'x'));
  const Bytes fits = Frame(Bytes(64, 'y'));
  stream.insert(stream.end(), fits.begin(), fits.end());
  int oversize = 0;
  const std::vector<Bytes> frames = ReadFrames(reader, stream, 5, &oversize);
  EXPECT_EQ(oversize, 1);
  // The reader looks for the next magic after the announcement; the 64-byte frame is whole.
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], Bytes(64, 'y'));
}

TEST(NvrFrameReader, EmptyPayloadIsAFrame) {
  NvrFrameReader reader(64);
  EXPECT_EQ(ReadFrames(reader, Frame({}), 4).size(), 1u);
}
