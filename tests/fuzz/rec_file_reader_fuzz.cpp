// Feeds arbitrary files to the record-file reader: each input is read once as
// a whole file, and once laid into a sound record header (one or two streams,
// "movi" at its fixed position) as the chunk data and the index, so that the
// chunk and index handling is reached as well. Every operation runs on what
// opens; ReadFrame never hands out more than the buffer holds.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "records/recfile/rec_file_reader.h"

namespace {

void PutU32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

// byte 0: bit 0 two streams, bit 1 MPEG-4, bits 2-3 the rate (0, 1, 25, 30),
// bit 4 the index length taken from bytes 3-6 instead of the index's size;
// bytes 1-2: length of the chunk data; then the chunk data, then the index.
std::string LaidIntoHeader(const uint8_t* data, size_t size) {
  if (size < 7) return std::string();
  const bool two = data[0] & 1;
  const uint32_t rates[] = {0, 1, 25, 30};
  const size_t chunkBytes = std::min<size_t>(data[1] | data[2] << 8, size - 7);
  const uint8_t* chunks = data + 7;
  const uint8_t* index = chunks + chunkBytes;
  const size_t indexBytes = size - 7 - chunkBytes;
  uint32_t indexLength = static_cast<uint32_t>(indexBytes);
  if (data[0] & 0x10) std::memcpy(&indexLength, data + 3, 4);

  const uint32_t movi = two ? 9892 : 5668;
  std::string file(movi + 4, '\0');
  std::memcpy(&file[0], "RIFF", 4);
  std::memcpy(&file[8], "AVI LIST", 8);
  PutU32(file, 56, two ? 2 : 1);
  PutU32(file, 64, 352);
  PutU32(file, 68, 288);
  std::memcpy(&file[112], (data[0] & 2) ? "XVID" : "H264", 4);
  PutU32(file, 132, rates[(data[0] >> 2) & 3]);
  PutU32(file, 4360, 1);
  std::memcpy(&file[movi - 8], "LIST", 4);
  PutU32(file, movi - 4, static_cast<uint32_t>(4 + chunkBytes));
  std::memcpy(&file[movi], "movi", 4);
  file.append(reinterpret_cast<const char*>(chunks), chunkBytes);
  file.append("idx1", 4);
  file.append(4, '\0');
  PutU32(file, file.size() - 4, indexLength);
  file.append(reinterpret_cast<const char*>(index), indexBytes);
  PutU32(file, 4, static_cast<uint32_t>(file.size() - 8));
  return file;
}

void Exercise(const void* bytes, size_t size) {
  const int fd = memfd_create("recfile", 0);
  if (fd < 0) return;
  if (size > 0 && write(fd, bytes, size) != static_cast<ssize_t>(size)) {
    close(fd);
    return;
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);

  static std::vector<BYTE> buffer(kRecMaxFrameSize + 16);
  CRecFileReader reader;
  if (reader.Open(path.c_str()) == 1) {
    BYTE mask = 0;
    VideoParam video;
    AudioParam audio;
    reader.GetMediaInfo(&mask, &video, &audio);
    const DWORD k = reader.GetKeyFrameCount();
    if (k == 0) __builtin_trap();
    for (int pass = 0; pass < 2; ++pass) {
      const int capacity = pass == 0 ? kRecMaxFrameSize : 64;
      for (int i = 0; i < 4096; ++i) {
        int isVideo = 0;
        int isKey = 0;
        const int n = reader.ReadFrame(buffer.data(), capacity, &isVideo, &isKey);
        if (n > capacity) __builtin_trap();
        reader.GetPosRatio();
        if (n < 0) break;
      }
      reader.SeekToDataStart();
    }
    for (DWORD n = 0; n < k + 2 && n < 64; ++n) reader.SeekKeyFrame(n);
    reader.SeekToDataStart();
    for (int i = 0; i < 64 && reader.SeekNextKeyFrame() == 0; ++i) reader.GetKeyIndex();
    for (int i = 0; i < 64; ++i) reader.SeekPrevKeyFrame();
    reader.SeekKeyFrameBetween(1, static_cast<int>(k) - 1);
    reader.SeekToDataEnd();
    reader.GetKeyIndex();
    reader.GetPosRatio();
    reader.Reset();
  }
  close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Exercise(data, size);
  const std::string laid = LaidIntoHeader(data, size);
  if (!laid.empty()) Exercise(laid.data(), laid.size());
  return 0;
}
