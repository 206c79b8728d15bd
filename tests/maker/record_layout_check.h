// Checks of the fixed record layout that the recorder writes.
#pragma once

#include <cstdint>
#include <string>

uint32_t Le32(const std::string& data, size_t at);
uint16_t Le16(const std::string& data, size_t at);

struct LayoutSummary {
  int videoChunks = 0;
  int audioChunks = 0;
  int indexEntries = 0;  // -1: no index
};

// The fixed record layout: "movi" at its fixed place for the stream count, the
// RIFF chunk and the movi list ending inside the file, the chunks one after
// another without pad bytes up to the movi list's end, and (when the file was
// finished) the index right after it, one entry per chunk. Failures are
// reported to the running test.
LayoutSummary ExpectRecordLayout(const std::string& path);
