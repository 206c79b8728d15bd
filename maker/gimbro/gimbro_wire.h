// The wire protocol between the Gimbro control and a device.
//
// One TCP connection per device, opened by the control to the device's port.
// Both directions carry frames; all integers are little-endian:
//
//   offset  size  field
//   0       4     magic, the bytes "GMBR"
//   4       2     frame type (u16)
//   6       2     reserved, 0
//   8       4     argument a (signed 32-bit)
//   12      4     argument b (signed 32-bit)
//   16      4     body length n (u32), at most kMaxBody
//   20      n     body
//
// Texts in bodies are the program's 8-bit texts, without a terminating zero.
//
// Device to control:
//   0x81 HELLO          body: a nonce (1..64 bytes), sent by the device at once
//   0x82 LOGIN_RESULT   a: 0 = accepted, other = refused; body: reason text
//   0x83 STATUS         a: status code (gimbro.h); body: text
//   0x84 PTZ_RESPONSE   a: packed response word; body: text
//   0x85 AUX_RESPONSE   a: packed response word; body: text
//   0x86 ALARM          body: the 168-byte alarm record, words little-endian
//   0x87 MEDIA_DATA     a: media kind; body: 16-byte frame header, then the data
//   0x88 MEDIA_PARAM    a: media kind; body: parameter text
//   0x89 REPLAY_STATE   a: state; b: value
//   0x8A REPLAY_CAPS    a: replay word (0 = the device cannot replay); b: the
//                       replay option word; sent after LOGIN_RESULT, again on a change
//   0x8B FILE_DATA      the next bytes of a download: b: its transfer number;
//                       body: the file's whole size (u64), then the bytes
//   0x8C FILE_END       the download is over: a: 0 complete, other = failed;
//                       b: its transfer number
//   0x8D UPLOAD_STATE   how an upload goes: a: 0 = going on (or complete),
//                       other = refused or failed; b: its transfer number;
//                       body: the bytes the device took so far (u64). Sent
//                       after UPLOAD and after every UPLOAD_DATA
//   0x8F ECHO_REPLY     answer to ECHO
// Control to device:
//   0x01 LOGIN          body: login name, one zero byte, digest (64 hex digits)
//   0x02 PTZ            body: the PTZ command text, byte for byte
//   0x03 AUX            a: code; b: status; body: message type, one zero byte, body text
//   0x04 TALK           a: 1 start, 0 stop
//   0x05 IFRAME         a: stream value
//   0x06 TIME_SYNC      a: allowed difference (s); b: minutes east of UTC;
//                       body: local time "YYYYMMDD HH:MM:SS"
//   0x07 BROADCAST      a: codec; b: sample rate; body: bits per sample and
//                       channels as two u32
//   0x08 BROADCAST_STOP
//   0x09 TALK_AUDIO     a: codec (low byte: 0 G.711 mu-law, 1 AAC) and channels
//                       (second byte); b: sample rate; body: one packet of the
//                       operator's voice (20 ms of mu-law codes, channels
//                       interleaved; or one AAC frame with its ADTS header),
//                       sent while a talk or a broadcast to the device runs
//   0x10 REPLAY_FILE    body: the path of a record file on the device
//   0x11 REPLAY_FILE_CONTROL  a: command; b: value
//   0x12 REPLAY_TIME    a: channel; body: start time "YYYYMMDDhhmmss"
//   0x13 REPLAY_TIME_CONTROL  a: channel; b: command; body: value (i32), then
//                       the time text (may be empty)
//   0x14 DOWNLOAD       a: transfer number (> 0, new for every download); body:
//                       the path of a file on the device
//   0x15 DOWNLOAD_STOP  a: the transfer number of the download to stop
//   0x16 UPLOAD         a: transfer number (> 0, new for every upload); b: kind
//                       (1 firmware, 0 configuration); body: the file's size
//                       (u64), then its name without folders
//   0x17 UPLOAD_DATA    a: its transfer number; body: the next bytes of the
//                       file (at most 64 KiB), sent once the device's
//                       UPLOAD_STATE took every byte sent before
//   0x0F ECHO           sent every few seconds while online; the device answers
//
// Login: the device opens with HELLO; the control answers LOGIN with the
// digest = lower-case hex SHA-256 of nonce + ":" + login name + ":" + password,
// so the password itself never travels; the device answers LOGIN_RESULT.
// Before LOGIN_RESULT only HELLO and LOGIN_RESULT may come. A frame with a
// wrong magic, a body above kMaxBody, an alarm that is not 168 bytes or media
// data shorter than its header ends the connection (the control reconnects).
// Frames of unknown types with a good header are skipped. Download frames of
// another transfer than the one under way (the rest of a stopped one) are
// skipped too: they never reach the next download's file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace gimbro_wire {

constexpr char kMagic[4] = {'G', 'M', 'B', 'R'};
constexpr size_t kHeaderSize = 20;
constexpr uint32_t kMaxBody = 8u * 1024 * 1024;
constexpr size_t kMaxNonce = 64;

enum FrameType : uint16_t {
  kLogin = 0x01,
  kPtz = 0x02,
  kAux = 0x03,
  kTalk = 0x04,
  kIFrame = 0x05,
  kTimeSync = 0x06,
  kBroadcast = 0x07,
  kBroadcastStop = 0x08,
  kTalkAudio = 0x09,
  kEcho = 0x0F,
  kReplayFile = 0x10,
  kReplayFileControl = 0x11,
  kReplayTime = 0x12,
  kReplayTimeControl = 0x13,
  kDownload = 0x14,
  kDownloadStop = 0x15,
  kUpload = 0x16,
  kUploadData = 0x17,
  kHello = 0x81,
  kLoginResult = 0x82,
  kStatus = 0x83,
  kPtzResponse = 0x84,
  kAuxResponse = 0x85,
  kAlarm = 0x86,
  kMediaData = 0x87,
  kMediaParam = 0x88,
  kReplayState = 0x89,
  kReplayCaps = 0x8A,
  kFileData = 0x8B,
  kFileEnd = 0x8C,
  kUploadState = 0x8D,
  kEchoReply = 0x8F,
};

struct Frame {
  uint16_t type = 0;
  int32_t a = 0;
  int32_t b = 0;
  std::string body;
};

std::string Encode(uint16_t type, int32_t a = 0, int32_t b = 0, std::string_view body = {});

uint32_t ReadU32(const char* p);
void AppendU32(std::string& out, uint32_t value);

// Collects bytes from the connection and cuts them into frames.
class FrameReader {
 public:
  enum class Result { kNeedMore, kFrame, kError };

  void Feed(const char* data, size_t size);
  // Takes the next whole frame out of the collected bytes. After kError the
  // reader stays in error: the connection must be closed.
  Result Next(Frame& frame);
  const std::string& Error() const { return error_; }

 private:
  std::string buffer_;
  size_t offset_ = 0;
  std::string error_;
};

// Login digest: lower-case hex SHA-256 of nonce ":" login ":" password.
std::string LoginDigest(std::string_view nonce, std::string_view login, std::string_view password);

}  // namespace gimbro_wire
