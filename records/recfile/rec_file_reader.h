// CRecFileReader: reads the AVI record files that the recorder writes.
//
// A record file has a fixed-size header (5672 bytes with one stream, 9896 with
// video and audio) that ends in the "movi" code at 5668 or 9892; the chunks
// ("00dc" video, "01wb" audio: code, u32 length, payload, no pad byte) follow
// the code, and an "idx1" index of 16-byte entries (code, flags, offset from
// the "movi" code, length) follows the "movi" list. The reader takes the media
// description from fixed header offsets instead of walking the header lists,
// builds a table with one key-frame position per second of video from the
// index, and then hands out the chunks one by one.
//
// Open reads the header and the index, the table stays (K + 100 words); every
// other call works on the open file. A file whose index is missing or
// incomplete (a file still being written, or one whose writer died) is read all
// the same: Open walks its chunks from the first one to the first that is not
// whole or not a chunk (at most kRecMaxWalkedChunks), builds the table from
// them, and the file ends where the last whole chunk ends. All file positions
// are unsigned 32-bit, so files up to 4 GiB are addressed. A reader belongs to
// one thread at a time.
//
// Results follow the program's convention: numbers, no exceptions, no logging.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/win_types.h"
#include "records/recfile/media_param.h"

// Largest chunk payload ReadFrame hands out; callers' buffers hold this much.
constexpr int kRecMaxFrameSize = 512000;

// Chunks that Open walks at most in a file without a whole index: far more than
// the longest record file holds (a day of 25 video frames and 50 audio chunks
// a second is 6.5 million), and bounded, whatever the file claims.
constexpr uint32_t kRecMaxWalkedChunks = 16u << 20;

// Media masks of GetMediaInfo.
constexpr BYTE kRecMediaVideo = 0x10;          // one stream: video only
constexpr BYTE kRecMediaVideoAudio = 0x11;     // two streams: video and audio

class RecKeyTableBuilder;

class CRecFileReader {
 public:
  CRecFileReader();
  ~CRecFileReader();  // Reset
  CRecFileReader(const CRecFileReader&) = delete;
  CRecFileReader& operator=(const CRecFileReader&) = delete;

  // 1 = ready to read, 0 = refused (missing or unreadable file, a stream count
  // other than 1 or 2, a short header, no video, an unrecognised codec header;
  // without a whole index also no "movi" list where the layout puts it). A
  // refused file leaves the reader closed. Open on an open reader closes it first.
  int Open(const char* pszFileName);
  // Frees the name, the index and the key table and closes the file; 1.
  int Close();
  // Clears the ratio's bounds, then Close. Owners run it when they are done.
  int Reset();
  bool IsOpen() const { return m_pFile != nullptr; }
  // True when the open file's index was read whole; false when its chunks were
  // walked instead (the file is still being written, or its writer died).
  bool IsIndexed() const { return m_bIndexed; }

  // Media mask (kRecMediaVideo / kRecMediaVideoAudio) and both description
  // blocks; any pointer may be null. Returns 0.
  int GetMediaInfo(BYTE* pMediaMask, VideoParam* pVideo, AudioParam* pAudio) const;

  // Reads the next chunk into pBuf (nBufSize bytes): its payload length (> 0)
  // with *pbVideo = 1 for video, 0 for audio, and *pbKey set for a key frame
  // (every audio chunk is one); 0 for a short read, an empty chunk or a chunk of
  // another kind (consumed, flags untouched); -1 no file; -2 at the data end;
  // -3 a chunk longer than kRecMaxFrameSize or than the buffer (its header is
  // consumed, its payload is not).
  int ReadFrame(BYTE* pBuf, int nBufSize, int* pbVideo, int* pbKey);

  // K: the file's length in whole seconds of video (at least 1 once open).
  DWORD GetKeyFrameCount() const { return m_dwKeyCount; }
  // 0 = at table entry n; -1 no file or n not below K; -2 no key table.
  int SeekKeyFrame(DWORD n);
  // 0 = at the first entry above the current position; -1 no file; -2 at or
  // past the data end; -3 no key table; -4 no such entry.
  int SeekNextKeyFrame();
  // How far the stream stands through the data, from the first chunk to the
  // last indexed chunk: 0.0 when closed or not measurable.
  double GetPosRatio();
  int SeekToDataStart();  // 1, or 0 when no file
  int SeekToDataEnd();    // 1, or 0 when no file
  DWORD GetVideoChunkCount() const { return m_dwVideoChunks; }
  DWORD GetAudioChunkCount() const { return m_dwAudioChunks; }
  // -1 no file, -2 at or past the data end, -3 no table; 1 when a or b is below
  // 1 or not below K, or both entries hold one position; else 0, after moving
  // to entry b when the current position lies before it.
  int SeekKeyFrameBetween(int a, int b);
  // The first entry at or above the current position (lowered over entries of
  // the same position); -1 when none.
  int GetKeyIndex() const;
  // Moves to the highest entry (K-1 down to 1) below the current position;
  // 0 (also when none), -1 no file, -2 at or before the data start.
  int SeekPrevKeyFrame();

  // 1 when an H.264 frame (Annex B, 4-byte start code) starts a key picture.
  static int IsH264KeyFrame(const BYTE* pFrame, int nLen);

 private:
  bool ReadLayout();  // the rest of Open, on the opened file
  bool ReadAt(uint64_t pos, void* buffer, size_t length);  // positional, the stream stays
  size_t ReadUpTo(uint64_t pos, void* buffer, size_t length);  // bytes read
  bool ReadHeader(uint8_t* header, uint32_t& moviPos, uint32_t& moviSize);
  enum class IndexState { kRead, kIncomplete, kRefused };
  IndexState ReadIndex(uint32_t moviPos, uint32_t& firstVideoPos);
  bool WalkChunks(uint32_t moviPos, uint32_t& firstVideoPos);  // rec_file_walk.cpp
  bool KeepKeyTable(const RecKeyTableBuilder& builder);
  bool ReadCodecHeader(uint32_t firstVideoPos);
  void ReadDescription(const uint8_t* header);
  bool SeekTo(uint32_t pos);
  static bool IsMpeg4KeyFrame(const BYTE* pFrame, int nLen);
  bool IsKeyFrame(const BYTE* pFrame, int nLen) const;  // by the file's codec
  uint64_t FileLength();

  std::string m_strFileName;
  // Video description.
  char m_szVideoCodec[32] = {};
  DWORD m_dwWidth = 0;
  DWORD m_dwHeight = 0;
  DWORD m_dwFrameRate = 0;
  DWORD m_dwVideoBitRate = 0;
  BYTE m_byCodecHeader[256] = {};
  int m_nCodecHeaderLen = 0;

  FILE* m_pFile = nullptr;
  DWORD m_dwMoviPos = 0;     // position of the "movi" code
  DWORD m_dwDataStart = 0;   // first chunk header ("movi" position + 4)
  DWORD m_dwCurPos = 0;      // where the next chunk header is read
  DWORD m_dwDataEnd = 0;
  BYTE m_byMediaMask = 0;

  // Audio description.
  char m_szAudioCodec[32] = {};
  DWORD m_dwSampleRate = 0;
  DWORD m_dwBitsPerSample = 0;
  DWORD m_dwChannels = 0;
  DWORD m_dwAudioFixed = 0;
  DWORD m_dwAudioBitRate = 0;

  DWORD m_dwVideoChunks = 0;
  DWORD m_dwAudioChunks = 0;
  std::unique_ptr<DWORD[]> m_pKeyTable;
  DWORD m_dwKeyCount = 0;  // K

  DWORD m_dwFirstChunkPos = 0;
  DWORD m_dwLastIndexOffset = 0;
  bool m_bIndexed = false;
};

// 1 when the frame starts with 00 00 00 01, is at least 7 bytes long and its
// NAL type is 5, 6, 7 or 8; else 0.
int IsH264KeyNal(const BYTE* pFrame, int nLen);
