// The keyboard's bytes as records and "trans" texts: what one port read
// becomes, byte sequence by byte sequence.
#include "live/keyboard/serial_keyboard_records.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace {

std::string Trans(const std::string& hex) { return "<xml>\n<cmd>trans</cmd>\n<data>" + hex + "</data>\n</xml>"; }

std::vector<uint8_t> Sequence(size_t count, uint8_t first = 1) {
  std::vector<uint8_t> bytes(count);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

struct RecordCase {
  const char* name;
  std::vector<uint8_t> bytes;
  std::vector<size_t> sizes;        // bytes of each record, in order
  std::vector<std::string> texts;   // texts of the records, when checked exactly
};

const std::vector<RecordCase>& Cases() {
  static const std::vector<RecordCase> cases = {
      {"nothing read", {}, {}, {}},
      {"one byte", {0x00}, {1}, {Trans("00")}},
      {"upper and lower hex digits", {0x01, 0xA0, 0xFF}, {3}, {Trans("01a0ff")}},
      {"XON and XOFF are plain bytes", {0xFF, 0x11, 0x13, 0x00}, {4}, {Trans("ff111300")}},
      {"a frame of seven", {0xA0, 0x01, 0x00, 0x08, 0x20, 0x20, 0xAF}, {7}, {Trans("a00100082020af")}},
      {"sixteen", Sequence(16), {16}, {Trans("0102030405060708090a0b0c0d0e0f10")}},
      {"twenty: the short record first", Sequence(20), {4, 16},
       {Trans("01020304"), Trans("05060708090a0b0c0d0e0f1011121314")}},
      {"thirty-two", Sequence(32), {16, 16}, {}},
      {"a full read of 48", Sequence(48), {16, 16, 16}, {}},
      {"seventeen", Sequence(17), {1, 16}, {}},
  };
  return cases;
}

}  // namespace

TEST(SerialKeyboardRecords, ByteSequencesToRecordsAndTexts) {
  for (const RecordCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const std::vector<KeyboardRecord> records = CutKeyboardRecords(c.bytes.data(), c.bytes.size());
    ASSERT_EQ(records.size(), c.sizes.size());
    std::vector<uint8_t> joined;
    for (size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(records[i].bytes.size(), c.sizes[i]);
      if (!c.texts.empty()) {
        EXPECT_EQ(records[i].text, c.texts[i]);
      }
      joined.insert(joined.end(), records[i].bytes.begin(), records[i].bytes.end());
    }
    EXPECT_EQ(joined, c.bytes);  // every byte, unchanged and in order
  }
}

TEST(SerialKeyboardRecords, EveryByteValuePassesThrough) {
  std::vector<uint8_t> all(256);
  std::iota(all.begin(), all.end(), 0);
  std::string hex;
  std::vector<uint8_t> joined;
  for (size_t offset = 0; offset < all.size(); offset += kKeyboardReadBytes) {
    const size_t count = std::min(kKeyboardReadBytes, all.size() - offset);
    for (const KeyboardRecord& record : CutKeyboardRecords(all.data() + offset, count)) {
      EXPECT_LE(record.bytes.size(), kKeyboardRecordBytes);
      EXPECT_FALSE(record.text.empty());
      joined.insert(joined.end(), record.bytes.begin(), record.bytes.end());
    }
  }
  EXPECT_EQ(joined, all);
}
