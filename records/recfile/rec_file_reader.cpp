#include "records/recfile/rec_file_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "maker/streva/media_blocks.h"
#include "platform/file_api.h"
#include "records/recfile/rec_key_table.h"

namespace {

constexpr uint32_t kOneStreamHeader = 5672;
constexpr uint32_t kTwoStreamHeader = 9896;
constexpr uint32_t kOneStreamMovi = 5668;   // fixed position of the "movi" code
constexpr uint32_t kTwoStreamMovi = 9892;
constexpr uint32_t kCandidateLow = 9892;    // a header-size candidate is trusted only in here
constexpr uint32_t kCandidateHigh = 19792;
constexpr uint32_t kIndexEntry = 16;
constexpr uint32_t kKeyFlag = 0x10;
constexpr uint32_t kDefaultFrameRate = 25;
constexpr uint32_t kKeyTableSpare = 100;
constexpr size_t kStreamBuffer = 64 * 1024;
constexpr size_t kWaveFormatTag = 4420;  // the audio stream's WAVEFORMATEX
constexpr uint16_t kWaveMuLaw = 7;

uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool IsCode(const uint8_t* p, const char* code) { return std::memcmp(p, code, 4) == 0; }

bool StartsWithStartCode(const BYTE* f) { return f[0] == 0 && f[1] == 0 && f[2] == 0 && f[3] == 1; }

}  // namespace

CRecFileReader::CRecFileReader() = default;

CRecFileReader::~CRecFileReader() { Reset(); }

int CRecFileReader::Open(const char* pszFileName) {
  m_dwFirstChunkPos = 0;
  m_dwLastIndexOffset = 0;
  if (m_pFile) Close();
  if (!pszFileName) return 0;
  m_strFileName = pszFileName;
  std::memset(m_szVideoCodec, 0, sizeof m_szVideoCodec);
  m_dwWidth = m_dwHeight = m_dwFrameRate = m_dwVideoBitRate = 0;
  std::memset(m_byCodecHeader, 0, sizeof m_byCodecHeader);
  m_nCodecHeaderLen = 0;
  std::memset(m_szAudioCodec, 0, sizeof m_szAudioCodec);
  m_dwSampleRate = m_dwBitsPerSample = m_dwChannels = m_dwAudioFixed = m_dwAudioBitRate = 0;
  m_dwVideoChunks = m_dwAudioChunks = 0;
  m_bIndexed = false;

  m_pFile = fileapi::Open(m_strFileName, "rb");
  if (!m_pFile) {
    m_strFileName.clear();
    return 0;
  }
  std::setvbuf(m_pFile, nullptr, _IOFBF, kStreamBuffer);
  if (!ReadLayout()) {
    Close();
    return 0;
  }
  return 1;
}

bool CRecFileReader::ReadLayout() {
  uint8_t header[kTwoStreamHeader];
  uint32_t moviPos = 0;
  uint32_t moviSize = 0;
  uint32_t firstVideoPos = 0;
  if (!ReadHeader(header, moviPos, moviSize)) return false;
  m_dwMoviPos = moviPos;
  m_dwDataStart = moviPos;
  m_dwDataEnd = moviPos + moviSize;
  m_dwCurPos = moviPos;
  ReadDescription(header);
  if (m_dwFrameRate == 0) m_dwFrameRate = kDefaultFrameRate;
  switch (ReadIndex(moviPos, firstVideoPos)) {
    case IndexState::kRead: m_bIndexed = true; break;
    case IndexState::kIncomplete:
      if (!WalkChunks(moviPos, firstVideoPos)) return false;
      break;
    case IndexState::kRefused: return false;
  }
  if (!ReadCodecHeader(firstVideoPos)) return false;

  m_dwDataStart = moviPos + 4;  // from here on: the first chunk header
  if (!SeekTo(m_dwDataStart)) return false;
  m_dwFirstChunkPos = m_dwDataStart;
  return true;
}

bool CRecFileReader::ReadAt(uint64_t pos, void* buffer, size_t length) { return ReadUpTo(pos, buffer, length) == length; }

size_t CRecFileReader::ReadUpTo(uint64_t pos, void* buffer, size_t length) {
  const int fd = fileno(m_pFile);
  auto* out = static_cast<uint8_t*>(buffer);
  size_t got = 0;
  while (got < length) {
    const ssize_t n = ::pread(fd, out + got, length - got, static_cast<off_t>(pos + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  return got;
}

bool CRecFileReader::ReadHeader(uint8_t* header, uint32_t& moviPos, uint32_t& moviSize) {
  if (!ReadAt(0, header, 88)) return false;
  const uint32_t streams = U32(header + 56);
  uint32_t headerSize = 0;
  uint32_t fixedMovi = 0;
  uint32_t candidate = 0;
  if (streams == 2) {
    m_byMediaMask = kRecMediaVideoAudio;
    headerSize = kTwoStreamHeader;
    fixedMovi = kTwoStreamMovi;
    candidate = U32(header + 16) + 16;
  } else if (streams == 1) {
    m_byMediaMask = kRecMediaVideo;
    headerSize = kOneStreamHeader;
    fixedMovi = kOneStreamMovi;
    candidate = U32(header + 4) + 4;
  } else {
    return false;
  }
  if (!ReadAt(0, header, headerSize)) return false;

  // The header-size candidate is taken only where the "movi" code really
  // stands: a one-stream file's RIFF size plus 4 is its own length, which for
  // files of about 9.9 to 19.8 KB would point at the end of the file.
  moviPos = fixedMovi;
  moviSize = U32(header + fixedMovi - 4);
  if (candidate >= kCandidateLow && candidate <= kCandidateHigh && candidate != fixedMovi) {
    uint8_t list[8];
    if (ReadAt(candidate - 4, list, sizeof list) && IsCode(list + 4, "movi")) {
      moviPos = candidate;
      moviSize = U32(list);
    }
  }
  return true;
}

void CRecFileReader::ReadDescription(const uint8_t* header) {
  std::strcpy(m_szVideoCodec, IsCode(header + 112, "XVID") ? "MP4V" : "H264");
  m_dwWidth = U32(header + 64);
  m_dwHeight = U32(header + 68);
  m_dwVideoBitRate = U32(header + 36) * 8;
  m_dwFrameRate = U32(header + 132);
  if (m_byMediaMask != kRecMediaVideoAudio) return;
  m_dwAudioFixed = 8;
  if (U32(header + 4360) == 1) {
    std::strcpy(m_szAudioCodec, "G711");
    // The recorder keeps the law in the wave format (7 mu-law, else A-law); it
    // goes behind the name, which peers read up to its zero.
    if (U16(header + kWaveFormatTag) == kWaveMuLaw) m_szAudioCodec[5] = 'U';
    m_dwSampleRate = 8000;
    m_dwBitsPerSample = 16;
    m_dwChannels = 1;
    m_dwAudioBitRate = 64000;
  } else {
    std::strcpy(m_szAudioCodec, "AAC");
    m_dwSampleRate = U32(header + 4424);
    m_dwChannels = U16(header + 4422);
    m_dwBitsPerSample = m_dwChannels * 8;
    m_dwAudioBitRate = m_dwChannels * m_dwSampleRate;
  }
}

uint64_t CRecFileReader::FileLength() {
  struct stat st {};
  if (::fstat(fileno(m_pFile), &st) != 0) return 0;
  return static_cast<uint64_t>(st.st_size);
}

CRecFileReader::IndexState CRecFileReader::ReadIndex(uint32_t moviPos, uint32_t& firstVideoPos) {
  uint8_t head[8];
  if (!ReadAt(m_dwDataEnd, head, sizeof head) || !IsCode(head, "idx1")) return IndexState::kIncomplete;
  const uint32_t indexLength = U32(head + 4);
  // The index must lie inside the file: its length field never drives more
  // work or memory than the file holds. One cut short is no index.
  const uint64_t indexStart = static_cast<uint64_t>(m_dwDataEnd) + 8;
  if (indexStart + indexLength > FileLength()) return IndexState::kIncomplete;
  const uint32_t entries = indexLength / kIndexEntry;

  // One walk in blocks.
  RecKeyTableBuilder keys(m_dwFrameRate);
  uint32_t audioChunks = 0;
  const uint32_t videoCode = U32(reinterpret_cast<const uint8_t*>("00dc"));
  const uint32_t audioCode = U32(reinterpret_cast<const uint8_t*>("01wb"));
  constexpr uint32_t kBlockEntries = 16384;
  const std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[kBlockEntries * kIndexEntry]);
  if (!block) return IndexState::kRefused;
  for (uint32_t done = 0; done < entries;) {
    const uint32_t count = std::min(kBlockEntries, entries - done);
    if (!ReadAt(indexStart + static_cast<uint64_t>(done) * kIndexEntry, block.get(), count * kIndexEntry)) {
      return IndexState::kIncomplete;
    }
    for (const uint8_t* entry = block.get(); entry < block.get() + count * kIndexEntry; entry += kIndexEntry) {
      const uint32_t code = U32(entry);
      if (code == videoCode) {
        if (!keys.AddVideo(moviPos + U32(entry + 8), U32(entry + 4) == kKeyFlag)) return IndexState::kRefused;
      } else if (code == audioCode) {
        ++audioChunks;
      }
    }
    done += count;
    if (done == entries) m_dwLastIndexOffset = U32(block.get() + static_cast<size_t>(count - 1) * kIndexEntry + 8);
  }
  m_dwAudioChunks = audioChunks;
  firstVideoPos = keys.FirstVideoPos();
  return KeepKeyTable(keys) ? IndexState::kRead : IndexState::kRefused;
}

bool CRecFileReader::KeepKeyTable(const RecKeyTableBuilder& keys) {
  m_dwVideoChunks = keys.VideoChunks();
  if (m_dwVideoChunks == 0) return false;
  m_pKeyTable = keys.Build(kKeyTableSpare);
  if (!m_pKeyTable) return false;
  m_dwKeyCount = keys.Seconds();
  return true;
}

bool CRecFileReader::ReadCodecHeader(uint32_t firstVideoPos) {
  const uint32_t payload = firstVideoPos + 8;
  if (std::strcmp(m_szVideoCodec, "H264") == 0) {
    uint8_t start[256];
    if (!ReadAt(payload, start, sizeof start)) return false;
    static const uint8_t kPattern[6] = {0x00, 0x00, 0x00, 0x01, 0x28, 0xCE};
    int length = m_dwWidth >= 704 ? 114 : 86;
    for (int p = 0; p <= 249; ++p) {
      if (std::memcmp(start + p, kPattern, sizeof kPattern) == 0) {
        length = p + 8;
        break;
      }
    }
    m_nCodecHeaderLen = length;
    std::memcpy(m_byCodecHeader, start, length < 256 ? length : 256);
    return true;
  }
  // MPEG-4: the stream headers in front of the first picture. Files of the
  // maker's cameras start with a VO code 00 00 01 01 at 0 (18 bytes of headers)
  // or at 10 (29 bytes). Other encoders write VOS, VO (00 00 01 00) and VOL
  // headers of other lengths: the headers are then what stands in front of the
  // first group-of-VOP or VOP header, when a VOL is among them.
  uint8_t start[sizeof m_byCodecHeader];
  uint8_t lengthField[4];
  if (!ReadAt(firstVideoPos + 4, lengthField, sizeof lengthField)) return false;
  const size_t available = std::min<size_t>(sizeof start, U32(lengthField));
  const size_t got = ReadUpTo(payload, start, std::max<size_t>(available, 29));
  if (got < 29) return false;
  const size_t headers = mediablocks::Mpeg4HeaderLength(start, std::min(got, available));
  static const uint8_t kVoStart[4] = {0x00, 0x00, 0x01, 0x01};
  size_t length = 0;
  if (std::memcmp(start, kVoStart, 4) == 0) {
    length = 18;
  } else if (std::memcmp(start + 10, kVoStart, 4) == 0) {
    length = 29;
  }
  if (headers > length) length = headers;  // longer headers than the maker's are kept whole
  if (length == 0) return false;
  m_nCodecHeaderLen = static_cast<int>(length);
  std::memcpy(m_byCodecHeader, start, std::min(length, got));
  return true;
}

int CRecFileReader::Close() {
  m_strFileName.clear();
  m_pKeyTable.reset();
  m_dwKeyCount = 0;
  if (m_pFile) {
    std::fclose(m_pFile);
    m_pFile = nullptr;
  }
  return 1;
}

int CRecFileReader::Reset() {
  m_dwFirstChunkPos = 0;
  m_dwLastIndexOffset = 0;
  return Close();
}

int CRecFileReader::GetMediaInfo(BYTE* pMediaMask, VideoParam* pVideo, AudioParam* pAudio) const {
  if (pMediaMask) *pMediaMask = m_byMediaMask;
  if (pVideo) {
    std::memset(pVideo, 0, sizeof *pVideo);
    std::memcpy(pVideo->szCodec, m_szVideoCodec, sizeof m_szVideoCodec);
    pVideo->dwWidth = m_dwWidth;
    pVideo->dwHeight = m_dwHeight;
    pVideo->dwFrameRate = m_dwFrameRate;
    pVideo->dwBitRate = m_dwVideoBitRate;
    if (m_nCodecHeaderLen >= 1 && m_nCodecHeaderLen <= 256) {
      std::memcpy(pVideo->byCodecHeader, m_byCodecHeader, static_cast<size_t>(m_nCodecHeaderLen));
    }
    pVideo->nCodecHeaderLen = m_nCodecHeaderLen;
  }
  if (pAudio) {
    std::memset(pAudio, 0, sizeof *pAudio);
    std::memcpy(pAudio->szCodec, m_szAudioCodec, sizeof m_szAudioCodec);
    pAudio->dwSampleRate = m_dwSampleRate;
    pAudio->dwBitsPerSample = m_dwBitsPerSample;
    pAudio->dwChannels = m_dwChannels;
    pAudio->dwFixed = m_dwAudioFixed;
    pAudio->dwBitRate = m_dwAudioBitRate;
  }
  return 0;
}

int CRecFileReader::ReadFrame(BYTE* pBuf, int nBufSize, int* pbVideo, int* pbKey) {
  if (!m_pFile) return -1;
  if (m_dwCurPos >= m_dwDataEnd) return -2;
  uint8_t head[8];
  if (std::fread(head, 1, sizeof head, m_pFile) != sizeof head) return 0;
  m_dwCurPos += 8;
  const uint32_t length = U32(head + 4);
  if (length > static_cast<uint32_t>(kRecMaxFrameSize)) return -3;
  if (!pBuf || nBufSize < 0 || length > static_cast<uint32_t>(nBufSize)) return -3;
  if (length > 0 && std::fread(pBuf, 1, length, m_pFile) != length) return 0;
  m_dwCurPos += length;
  const int len = static_cast<int>(length);
  int video = 0;
  int key = 0;
  if (IsCode(head, "00dc")) {
    video = 1;
    key = IsKeyFrame(pBuf, len);
  } else if (IsCode(head, "01wb")) {
    key = 1;
  } else {
    return 0;
  }
  if (pbVideo) *pbVideo = video;
  if (pbKey) *pbKey = key;
  return len;
}

bool CRecFileReader::IsMpeg4KeyFrame(const BYTE* f, int nLen) {
  // A VOP start (00 00 01 B6) whose coding type (top two bits) is I, at the
  // start or after the maker's VOL header; or the first VOP behind other stream
  // and group-of-VOP headers.
  if (nLen >= 5 && f[3] == 0xB6 && (f[4] & 0xC0) == 0) return true;
  if (nLen >= 23 && f[3] == 0x01 && f[21] == 0xB6 && (f[22] & 0xC0) == 0) return true;
  return nLen > 0 && mediablocks::IsKeyFrame(AV_CODEC_ID_MPEG4, f, static_cast<size_t>(nLen));
}

bool CRecFileReader::IsKeyFrame(const BYTE* pFrame, int nLen) const {
  return m_szVideoCodec[0] == 'M' ? IsMpeg4KeyFrame(pFrame, nLen) : IsH264KeyFrame(pFrame, nLen) != 0;
}

int CRecFileReader::IsH264KeyFrame(const BYTE* pFrame, int nLen) {
  if (!pFrame || nLen < 7 || !StartsWithStartCode(pFrame)) return 0;
  const int type = pFrame[4] & 0x1F;
  if (type == 7 || type == 8 || type == 5) return 1;
  if (type == 1) {
    const BYTE b = pFrame[5];
    return ((b & 0xB0) == 0xB0 || b == 0x88 || (b & 0x4C) == 0x4C) ? 1 : 0;
  }
  return 0;
}

int IsH264KeyNal(const BYTE* pFrame, int nLen) {
  if (!pFrame || nLen < 7 || !StartsWithStartCode(pFrame)) return 0;
  const int type = pFrame[4] & 0x1F;
  return type >= 5 && type <= 8 ? 1 : 0;
}

bool CRecFileReader::SeekTo(uint32_t pos) {
  if (::fseeko(m_pFile, static_cast<off_t>(pos), SEEK_SET) != 0) return false;
  m_dwCurPos = pos;
  return true;
}

int CRecFileReader::SeekKeyFrame(DWORD n) {
  if (!m_pFile || n >= m_dwKeyCount) return -1;
  if (!m_pKeyTable) return -2;
  SeekTo(m_pKeyTable[n]);
  return 0;
}

int CRecFileReader::SeekNextKeyFrame() {
  if (!m_pFile) return -1;
  if (m_dwCurPos >= m_dwDataEnd) return -2;
  if (!m_pKeyTable) return -3;
  for (DWORD i = 0; i < m_dwKeyCount; ++i) {
    if (m_pKeyTable[i] > m_dwCurPos) {
      SeekTo(m_pKeyTable[i]);
      return 0;
    }
  }
  return -4;
}

double CRecFileReader::GetPosRatio() {
  if (!m_pFile || m_dwLastIndexOffset == 0) return 0.0;
  const uint32_t endPos = m_dwLastIndexOffset + m_dwMoviPos;
  const double span = static_cast<double>(endPos) - static_cast<double>(m_dwFirstChunkPos);
  if (span <= 0.0) return 0.0;  // nothing to measure against; never a division by zero
  const double ratio =
      (static_cast<double>(m_dwCurPos) + 1.0 - static_cast<double>(m_dwFirstChunkPos)) / span;
  return ratio > 0.0 ? ratio : 0.0;
}

int CRecFileReader::SeekToDataStart() {
  if (!m_pFile) return 0;
  SeekTo(m_dwDataStart);
  return 1;
}

int CRecFileReader::SeekToDataEnd() {
  if (!m_pFile) return 0;
  SeekTo(m_dwDataEnd);
  return 1;
}

int CRecFileReader::SeekKeyFrameBetween(int a, int b) {
  if (!m_pFile) return -1;
  if (m_dwCurPos >= m_dwDataEnd) return -2;
  if (!m_pKeyTable) return -3;
  const int64_t k = m_dwKeyCount;
  if (a < 1 || a >= k || b < 1 || b >= k || m_pKeyTable[a] == m_pKeyTable[b]) return 1;
  if (m_dwCurPos < m_pKeyTable[b]) SeekTo(m_pKeyTable[b]);
  return 0;
}

int CRecFileReader::GetKeyIndex() const {
  if (!m_pKeyTable) return -1;
  for (DWORD i = 0; i < m_dwKeyCount; ++i) {
    if (m_pKeyTable[i] >= m_dwCurPos) {
      while (i > 0 && m_pKeyTable[i - 1] == m_pKeyTable[i]) --i;
      return static_cast<int>(i);
    }
  }
  return -1;
}

int CRecFileReader::SeekPrevKeyFrame() {
  if (!m_pFile) return -1;
  if (m_dwCurPos <= m_dwDataStart) return -2;
  if (!m_pKeyTable) return 0;
  for (DWORD i = m_dwKeyCount; i-- > 1;) {
    if (m_pKeyTable[i] < m_dwCurPos) {
      SeekTo(m_pKeyTable[i]);
      break;
    }
  }
  return 0;
}
