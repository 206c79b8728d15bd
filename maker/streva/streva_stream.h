// One pulled stream: its thread, which connects, reads and reconnects, and its
// readers' frame queues.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "streva/frame_queue.h"
#include "streva/rtsp_address.h"
#include "streva/streva_ctrl.h"

struct AVFormatContext;
class StrevaDispatcher;

class StrevaStream {
 public:
  // Per reader and medium: at most this many frames or bytes wait.
  static constexpr size_t kMaxVideoFrames = 100;
  static constexpr size_t kMaxAudioFrames = 200;
  static constexpr size_t kMaxQueuedBytes = 16 << 20;
  // Frame events posted and not yet delivered, per stream.
  static constexpr int kMaxPendingEvents = 50;
  // How long Read waits for the reader's next frame when the reader's previous
  // read found nothing either (longer than a frame's interval at 25 frames per
  // second: a reader that polls is woken by frames, not by its own timer).
  static constexpr int kReadWaitMs = 50;

  StrevaStream(long id, const rtspaddress::Address& address, bool overTcp,
               StrevaDispatcher* dispatcher);
  ~StrevaStream();  // Stop
  StrevaStream(const StrevaStream&) = delete;
  StrevaStream& operator=(const StrevaStream&) = delete;

  void Start();
  void RequestStop();  // asks the thread to end
  void Stop();         // RequestStop, then joins the thread

  long RegisterReader(long readerId);
  long UnregisterReader(long readerId);
  // A read that finds the asked medium empty returns kReadEmpty at once, unless
  // the reader's previous read found nothing too: then it first waits up to
  // kReadWaitMs for a frame of either medium (or the stream's stop).
  long Read(long readerId, bool video, BYTE* buffer, long* length, BYTE* header,
            long* headerLength);

 private:
  struct Reader {
    FrameQueue video{kMaxVideoFrames, kMaxQueuedBytes};
    FrameQueue audio{kMaxAudioFrames, kMaxQueuedBytes};
    bool idle = false;  // the last read found nothing
  };

  static int InterruptCallback(void* opaque);
  void Run();
  // The address to open now: the stream's own, or a registered ONVIF device's.
  rtspaddress::Address DeviceAddress();
  int PullOnce(bool* played);
  int ReadLoop(AVFormatContext* context, int videoIndex, int audioIndex, int videoCodec);
  void Distribute(bool video, QueuedFrame frame);
  void ArmDeadline(int milliseconds);
  void WaitBeforeRetry(int milliseconds);

  const long id_;
  const rtspaddress::Address address_;
  const bool overTcp_;
  StrevaDispatcher* const dispatcher_;

  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int64_t> deadlineUs_{0};
  std::mutex waitMutex_;
  std::condition_variable waitCv_;

  std::mutex readersMutex_;
  std::condition_variable framesCv_;  // a frame was queued, a reader went or the stream stops
  std::map<long, Reader> readers_;
  std::shared_ptr<std::atomic<int>> pendingEvents_ = std::make_shared<std::atomic<int>>(0);
  uint32_t videoSequence_ = 0;
  uint32_t audioSequence_ = 0;
};
