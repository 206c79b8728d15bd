#include "record_layout_check.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/file_api.h"

uint32_t Le32(const std::string& data, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(data[at + i]);
  return value;
}

uint16_t Le16(const std::string& data, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(data[at]) | static_cast<uint8_t>(data[at + 1]) << 8);
}

LayoutSummary ExpectRecordLayout(const std::string& path) {
  LayoutSummary summary;
  std::string data;
  EXPECT_TRUE(fileapi::ReadWhole(path, data));
  if (data.size() < 5672) {
    ADD_FAILURE() << "short file " << path;
    return summary;
  }
  EXPECT_EQ(data.substr(0, 4), "RIFF");
  EXPECT_EQ(data.substr(8, 4), "AVI ");
  const uint32_t streams = Le32(data, 56);
  EXPECT_TRUE(streams == 1 || streams == 2);
  const size_t movi = streams == 2 ? 9892 : 5668;
  EXPECT_EQ(data.substr(movi, 4), "movi");
  EXPECT_LT(Le32(data, 16) + 16u, 9892u);  // the reader's candidate stays out of its range
  const uint64_t riffEnd = 8ull + Le32(data, 4);
  EXPECT_LE(riffEnd, data.size());
  const uint64_t moviEnd = movi + Le32(data, movi - 4);
  EXPECT_LE(moviEnd, riffEnd);
  std::vector<std::pair<std::string, uint32_t>> chunks;  // code, offset from "movi"
  uint64_t at = movi + 4;
  while (at + 8 <= moviEnd) {
    const std::string code = data.substr(at, 4);
    EXPECT_TRUE(code == "00dc" || code == "01wb") << code << " at " << at;
    chunks.emplace_back(code, static_cast<uint32_t>(at - movi));
    (code == "00dc" ? summary.videoChunks : summary.audioChunks)++;
    at += 8ull + Le32(data, at + 4);
  }
  EXPECT_EQ(at, moviEnd);
  summary.indexEntries = -1;
  if (moviEnd + 8 <= data.size() && data.substr(moviEnd, 4) == "idx1") {
    const uint32_t entries = Le32(data, moviEnd + 4) / 16;
    summary.indexEntries = static_cast<int>(entries);
    EXPECT_EQ(entries, chunks.size());
    for (uint32_t i = 0; i < entries && i < chunks.size(); ++i) {
      const size_t entry = moviEnd + 8 + i * 16;
      EXPECT_EQ(data.substr(entry, 4), chunks[i].first);
      EXPECT_EQ(Le32(data, entry + 8), chunks[i].second);
      const uint32_t flags = Le32(data, entry + 4);
      EXPECT_TRUE(flags == 0 || flags == 0x10);
      if (i == 0) {
        EXPECT_EQ(flags, 0x10u);  // a file starts with a key frame
      }
    }
  }
  return summary;
}

