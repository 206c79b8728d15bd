// The frames of the relay protocol (pelk_protocol.txt): the frame header, the
// frame types, and bounds-checked writing and reading of payloads.
//
// Pure functions and small value types: no sockets, no threads.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "pelk/pelk.h"

static_assert(std::endian::native == std::endian::little,
              "records are copied to the wire as they lie in memory");

namespace pelk {

constexpr uint8_t kMagic[4] = {'P', 'E', 'L', 'K'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = 12;
constexpr uint32_t kMaxPayload = 4u * 1024 * 1024;
constexpr uint32_t kMaxLoginPayload = 1024;
constexpr size_t kNonceSize = 16;
constexpr size_t kProofSize = 32;
constexpr size_t kMaxUserName = 259;
constexpr uint32_t kMaxListEntries = 65536;

enum FrameType : uint16_t {
  kHello = 1,
  kChallenge = 2,
  kProof = 3,
  kWelcome = 4,
  kPing = 5,

  kDeviceListReq = 0x100,
  kVideoReq = 0x101,
  kVideoClose = 0x102,
  kSearchReq = 0x103,
  kSearchDateReq = 0x104,
  kReplayStartReq = 0x105,
  kReplayCtrl = 0x106,
  kByDateStartReq = 0x107,
  kByDateCtrl = 0x108,
  kDownloadStartReq = 0x109,
  kDownloadStop = 0x10A,
  kPtzDirection = 0x10B,
  kPtzPresetList = 0x10C,
  kPtzPreset = 0x10D,
  kPtzAux = 0x10E,

  kDeviceList = 0x200,
  kVideoAnswer = 0x201,
  kVideoFrame = 0x202,
  kSessionOpened = 0x203,
  kSearchResult = 0x204,
  kSearchDateResult = 0x205,
  kReplayStartResult = 0x206,
  kReplayData = 0x207,
  kReplayEnd = 0x208,
  kByDateData = 0x209,
  kByDateEnd = 0x20A,
  kDownloadStartResult = 0x20B,
  kDownloadData = 0x20C,
  kDownloadEnd = 0x20D,
  kPresetList = 0x20E,
  kDeviceState = 0x20F,
  kDeviceListChanged = 0x210,
  kAlarm = 0x211,
};

// WELCOME status.
enum WelcomeStatus : uint32_t {
  kWelcomeAccepted = 0,
  kWelcomeRefused = 1,
  kWelcomeTooManyUsers = 2,
  kWelcomeCheckTimeout = 3,
  kWelcomeStopping = 4,
  kWelcomeBusy = 5,
};

// The "what" of REPLAY_CTRL and BYDATE_CTRL.
enum ControlWhat : uint32_t { kCtrlCode = 0, kCtrlIndex = 1, kCtrlSpeed = 2 };

struct FrameHeader {
  uint16_t type = 0;
  uint32_t length = 0;
};

enum class HeaderCheck { kOk, kBadMagic, kBadVersion, kTooLong };

// Reads the 12 header bytes; `limit` is the largest payload allowed now.
HeaderCheck ParseHeader(const uint8_t* bytes, uint32_t limit, FrameHeader* header);
const char* HeaderCheckText(HeaderCheck check);

// Builds one frame: the header is written when the frame is finished.
class FrameBuilder {
 public:
  explicit FrameBuilder(uint16_t type, size_t reserve = 64);

  FrameBuilder& U32(uint32_t value);
  FrameBuilder& I32(int32_t value) { return U32(static_cast<uint32_t>(value)); }
  FrameBuilder& U64(uint64_t value);
  FrameBuilder& Bytes(const void* data, size_t length);
  // `size` bytes: the data when given, else zeros.
  FrameBuilder& Block(const void* data, size_t size);
  // A text cut to size - 1 bytes and zero-padded to `size`.
  FrameBuilder& FixedText(const char* text, size_t size);
  // A record as it lies in memory (its wire layout, checked in pelk.h).
  template <class T>
  FrameBuilder& Record(const T& record) {
    return Bytes(&record, sizeof record);
  }

  size_t PayloadSize() const { return frame_.size() - kHeaderSize; }
  // The finished frame (header and payload); the builder is empty afterwards.
  std::vector<uint8_t> Finish();

 private:
  std::vector<uint8_t> frame_;
};

// Reads a payload front to back; every read past the end fails and leaves the
// reader failed, so a caller checks Ok() once after a run of reads.
class PayloadReader {
 public:
  PayloadReader(const uint8_t* data, size_t length) : data_(data), length_(length) {}

  uint32_t U32();
  int32_t I32() { return static_cast<int32_t>(U32()); }
  uint64_t U64();
  // Copies `length` bytes; false (and zeros) past the end.
  bool Bytes(void* out, size_t length);
  // A fixed text field of `size` bytes into out[size], always zero-terminated.
  bool FixedText(char* out, size_t size);
  // A record laid out as in memory; its text fields are made zero-terminated
  // by the caller (see Terminate).
  template <class T>
  bool Record(T* record) {
    return Bytes(record, sizeof *record);
  }
  const uint8_t* Rest(size_t* length);  // the unread bytes (may be empty)
  size_t Remaining() const { return ok_ ? length_ - pos_ : 0; }
  bool Ok() const { return ok_; }

 private:
  const uint8_t* Take(size_t length);

  const uint8_t* data_;
  size_t length_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// Makes a received fixed text field end with a zero byte.
template <size_t N>
void Terminate(char (&field)[N]) {
  field[N - 1] = 0;
}

// Copies a text into a fixed field, cut and zero-terminated.
template <size_t N>
void CopyText(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  if (text) std::strncpy(field, text, N - 1);
}

}  // namespace pelk
