// A record file without a whole index: the file of a recording still under
// way (its index is written when it ends), or of a recorder that died. Its
// chunks are walked from the first one; the walk ends at the first that is not
// whole or not a chunk of the file, and what lies before is served.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "records/recfile/rec_file_reader.h"
#include "records/recfile/rec_key_table.h"

namespace {

constexpr size_t kWindowBytes = 64 * 1024;
constexpr size_t kChunkHead = 8;
// Bytes of a video payload that decide whether it is a key frame (the stream
// headers in front of an MPEG-4 picture included).
constexpr size_t kKeyProbeBytes = 256;
constexpr uint64_t kPositionLimit = 0xFFFFFFFFull;  // positions are 32-bit

uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool CRecFileReader::WalkChunks(uint32_t moviPos, uint32_t& firstVideoPos) {
  // Without an index nothing else says the layout is right: the movi list must
  // stand where the header puts it.
  uint8_t list[12];
  if (!ReadAt(moviPos - 8, list, sizeof list) || std::memcmp(list, "LIST", 4) != 0 ||
      std::memcmp(list + 8, "movi", 4) != 0) {
    return false;
  }
  const uint64_t limit = std::min(FileLength(), kPositionLimit);

  // The chunks are read through a window, sequentially, a few headers a read.
  const std::unique_ptr<uint8_t[]> window(new (std::nothrow) uint8_t[kWindowBytes]);
  if (!window) return false;
  uint64_t windowStart = 0;
  size_t windowSize = 0;
  auto fetch = [&](uint64_t pos, size_t length) -> const uint8_t* {
    if (pos < windowStart || pos + length > windowStart + windowSize) {
      windowStart = pos;
      windowSize = ReadUpTo(pos, window.get(), static_cast<size_t>(std::min<uint64_t>(kWindowBytes, limit - pos)));
    }
    return pos + length <= windowStart + windowSize ? window.get() + (pos - windowStart) : nullptr;
  };

  RecKeyTableBuilder keys(m_dwFrameRate);
  uint32_t audioChunks = 0;
  uint64_t pos = static_cast<uint64_t>(moviPos) + 4;
  uint64_t lastChunk = 0;
  for (uint32_t walked = 0; walked < kRecMaxWalkedChunks && pos + kChunkHead <= limit; ++walked) {
    const uint8_t* head = fetch(pos, kChunkHead);
    if (!head) break;
    const bool video = std::memcmp(head, "00dc", 4) == 0;
    const bool audio = std::memcmp(head, "01wb", 4) == 0;
    const uint32_t length = U32(head + 4);
    if ((!video && !audio) || length > static_cast<uint32_t>(kRecMaxFrameSize) ||
        pos + kChunkHead + length > limit) {
      break;  // not a chunk, or not whole: the file is read up to here
    }
    if (video) {
      const size_t probe = std::min<size_t>(length, kKeyProbeBytes);
      const uint8_t* payload = probe > 0 ? fetch(pos + kChunkHead, probe) : nullptr;
      if (probe > 0 && !payload) break;
      const bool key = payload && IsKeyFrame(payload, static_cast<int>(probe));
      if (!keys.AddVideo(static_cast<uint32_t>(pos), key)) return false;
    } else {
      ++audioChunks;
    }
    lastChunk = pos;
    pos += kChunkHead + length;
  }
  m_dwDataEnd = static_cast<DWORD>(pos);
  m_dwAudioChunks = audioChunks;
  m_dwLastIndexOffset = lastChunk > moviPos ? static_cast<DWORD>(lastChunk - moviPos) : 0;
  firstVideoPos = keys.FirstVideoPos();
  return KeepKeyTable(keys);
}
