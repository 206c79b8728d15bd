// Streva: the RTSP pull client. One control serves the whole program.
//
// OpenStream starts a stream and returns its id at once; the stream connects,
// pulls and reconnects on its own thread. What it receives reaches the program
// two ways:
//   - events, delivered on the thread that created the control (the UI thread)
//     to every advised sink: MediaRecv with the media parameters each time the
//     stream (re)connects, and the video/audio frames while the stream has no
//     registered reader;
//   - readers: RegisterReader gives a reader its own bounded queue of frames,
//     which ReadVideo / ReadAudio empty from any thread.
//
// Addresses:
//   rtsp://[user[:password]@]host[:port]/path   RTSP over TCP (interleaved) when
//                                              the RTP-over-RTSP flag is set, else RTP over UDP
//   vmq://[user[:password]@]host[:port]/path    our devices' own variant of RTSP: the
//                                              same request pulled as rtsp:// always over
//                                              TCP, whatever the flag says
//   OpenStreamEx(host, port, path)             rtsp://host:port/path (host: a name or address)
// A login name given to OpenStream replaces credentials written in the URL.
// The port defaults to 554.
//
// Devices that speak ONVIF: the program's addresses follow its own table of
// paths ("/mpeg4", "/mpeg4cif", "/h264-D1" ...), which such a camera does not
// serve. When the host of an address is a device registered with the
// device-messaging control as an ONVIF device (maker/gimbro/gimbro_streams.h
// gives the rule; several on one host are told apart by the port of their own
// stream address), each connection attempt opens that device's own stream
// address instead: its first media profile's for a main-stream path, its
// second profile's for a sub-stream path (a last segment holding "cif"), with
// the device's login name and password. While the control is still finding
// out what the device speaks, the attempt waits for it up to kIoTimeoutMs. A text that is not such an address fails at once
// (id 0); a host that cannot be reached, refuses or answers with an error is
// reported with event 1 and tried again.
//
// Connection, loss and reconnection: a stream that cannot connect or loses
// its server tries again after 1, 2, 4, then every 8 seconds until it is
// deleted; when it is back it raises MediaRecv again with the parameters it
// found (identical blocks when the source is unchanged). No call inside a
// stream thread blocks longer than kIoTimeoutMs (every FFmpeg call is bounded by
// an interrupt callback, name resolution is polled), so DeleteStream and StopAll
// stop and join the thread within that time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/win_types.h"

// ---------------------------------------------------------------------------
// Record layouts (little-endian, packed; every offset fixed)

enum StrevaMediaType : long { kMediaTypeParam = 0x11 };

// Codec numbers of the parameter blocks.
enum StrevaVideoCodec : uint32_t { kVideoCodecNone = 0, kVideoCodecH264 = 1, kVideoCodecMpeg4 = 2 };
enum StrevaAudioCodec : uint32_t {
  kAudioCodecNone = 0,
  kAudioCodecPcma = 1,  // G.711 A-law
  kAudioCodecPcmu = 2,  // G.711 mu-law
  kAudioCodecAac = 3    // raw AAC frames; extradata = AudioSpecificConfig
};

#pragma pack(push, 1)
// 536 bytes. Frames of an H.264 stream are Annex B (start codes); extradata
// holds the SPS/PPS as Annex B (empty when they exceed the field: the stream
// then carries them in band).
struct VideoParamBlock {
  char szText[256];          //   0 NUL-terminated description, e.g. "H264 640x360 25fps"
  uint32_t dwValid;          // 256 non-zero once filled
  uint32_t dwCodec;          // 260 StrevaVideoCodec
  uint32_t dwWidth;          // 264
  uint32_t dwHeight;         // 268
  uint32_t dwFrameRateNum;   // 272 frames per second = num / den (25/1 when unknown)
  uint32_t dwFrameRateDen;   // 276
  uint32_t dwTimeBaseNum;    // 280 time base of the source (informative)
  uint32_t dwTimeBaseDen;    // 284
  uint32_t dwExtraSize;      // 288 bytes used of byExtra
  uint8_t byExtra[244];      // 292
};

// 276 bytes.
struct AudioParamBlock {
  char szText[256];          //   0 NUL-terminated description, e.g. "AAC 8000Hz 1ch"
  uint32_t dwValid;          // 256 non-zero once filled
  uint16_t wCodec;           // 260 StrevaAudioCodec
  uint8_t byChannels;        // 262
  uint8_t byExtraSize;       // 263 bytes used of byExtra (0 when the config is longer)
  uint32_t dwSampleRate;     // 264
  uint8_t byExtra[8];        // 268 AAC AudioSpecificConfig
};

// 848 bytes: the data of MediaRecv with media type 0x11.
struct MediaParamBlock {
  char szCodecTag[32];       //   0 "OndrexH264"
  uint16_t wVideoPresent;    //  32
  uint16_t wAudioPresent;    //  34
  VideoParamBlock video;     //  36
  AudioParamBlock audio;     // 572
};

// 16 bytes handed with every frame.
struct FrameHeader {
  uint32_t dwFlags;          //  0 kFrameFlag* bits
  uint32_t dwSequence;       //  4 frame number of this medium in this stream, from 0;
                             //    a gap means frames were dropped for this reader
  uint32_t dwTimeStamp;      //  8 milliseconds (source clock; 0 with kFrameFlagNoTime)
  uint32_t dwReserved;       // 12 zero
};
#pragma pack(pop)

static_assert(sizeof(VideoParamBlock) == 536);
static_assert(sizeof(AudioParamBlock) == 276);
static_assert(sizeof(MediaParamBlock) == 848);
static_assert(offsetof(MediaParamBlock, video) == 36);
static_assert(offsetof(MediaParamBlock, audio) == 572);
static_assert(sizeof(FrameHeader) == 16);

constexpr char kMediaCodecTag[] = "OndrexH264";
constexpr uint32_t kFrameFlagKey = 0x1;     // video key frame (every audio frame has it)
constexpr uint32_t kFrameFlagNoTime = 0x2;  // the source gave no time stamp

// Event 1 (stream id, state, detail).
enum StrevaState : long {
  kStreamConnecting = 1,  // detail 0
  kStreamPlaying = 2,     // detail 0
  kStreamFailed = 3,      // could not connect; detail = FFmpeg error code (negative); retried
  kStreamLost = 4         // the connection broke; detail = error code; retried
};

// Results of ReadVideo / ReadAudio besides 0.
constexpr long kReadEmpty = 1;        // nothing queued; *length = 0
constexpr long kReadBadArgs = -1;     // unknown stream or reader, null buffer
constexpr long kReadTooSmall = -2;    // *length = size needed; that frame is dropped

// ---------------------------------------------------------------------------
// The event interface. Calls arrive on the control's thread; the data pointers
// are valid for the call only.
class IStrevaEvents {
 public:
  virtual ~IStrevaEvents() = default;
  virtual long OnStreamState(long streamId, long state, long detail) {
    (void)streamId; (void)state; (void)detail;
    return 0;
  }
  virtual long MediaRecv(long streamId, long mediaType, const BYTE* data, long length) = 0;
  virtual long OnVideoFrame(long streamId, const BYTE* data, long length, const BYTE* header,
                            long headerLength) = 0;
  virtual long OnAudioFrame(long streamId, const BYTE* data, long length, const BYTE* header,
                            long headerLength) = 0;
};

class StrevaStream;
class StrevaDispatcher;
namespace rtspaddress {
struct Address;
}

class CStrevaCtrl {
 public:
  static constexpr int kIoTimeoutMs = 3000;

  // Create on the thread that is to receive the events (the UI thread).
  CStrevaCtrl();
  ~CStrevaCtrl();  // StopAll
  CStrevaCtrl(const CStrevaCtrl&) = delete;
  CStrevaCtrl& operator=(const CStrevaCtrl&) = delete;

  // Event sinks. A sink gets no call after Unadvise returns.
  void Advise(IStrevaEvents* sink);
  void Unadvise(IStrevaEvents* sink);

  // -> stream id >= 1, or 0 when the address is not usable.
  long OpenStream(const CString& url, const CString& loginName, const CString& password,
                  BOOL rtpOverRtsp);
  long OpenStreamEx(const CString& host, unsigned short port, const CString& path,
                    const CString& loginName, const CString& password, BOOL rtpOverRtsp);
  long DeleteStream(long streamId);  // 0, or -1 for an unknown id
  void StopAll();

  long RegisterReader(long streamId, long readerId);    // 0, -1 unknown stream
  long UnregisterReader(long streamId, long readerId);  // 0, -1 unknown stream or reader

  // Copies the oldest queued frame of the reader into buffer (capacity *length)
  // and its FrameHeader into header (capacity *headerLength; 16 needed).
  // 0 with *length >= 1 when a frame was copied; see kRead* otherwise. A read
  // after a read that found nothing first waits up to 50 ms for a frame of
  // either medium (StrevaStream::kReadWaitMs): a reader polling in a loop
  // sleeps until frames come instead of spinning on its own timer.
  long ReadVideo(long streamId, long readerId, BYTE* buffer, long* length, BYTE* header,
                 long* headerLength);
  long ReadAudio(long streamId, long readerId, BYTE* buffer, long* length, BYTE* header,
                 long* headerLength);

 private:
  long ReadFrame(long streamId, long readerId, bool video, BYTE* buffer, long* length,
                 BYTE* header, long* headerLength);
  long StartStream(const rtspaddress::Address& address, const CString& loginName,
                   const CString& password, bool overTcp);
  std::shared_ptr<StrevaStream> Find(long streamId);

  std::unique_ptr<StrevaDispatcher> dispatcher_;
  std::mutex mutex_;
  std::map<long, std::shared_ptr<StrevaStream>> streams_;
  long nextId_ = 1;
};
