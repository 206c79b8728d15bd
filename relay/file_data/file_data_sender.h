// FileDataSender: reads a file on a thread of its own and hands it on in paced
// chunks, each framed behind a MEDIA_DATA_MESSAGE header (file_data_frame.h).
//
// From the start position on, the thread reads one chunk, hands its frame to
// the frame sink (StartPos counted from the start position as 0, DataLen the
// bytes read) and pauses 1000 / rate milliseconds, until a read comes back
// short; after the file's end a last frame with DataLen 0 and the final
// position follows, and the sender is done. Stopped before, it ends without
// the last frame and is not done; a file that does not open ends it at once,
// not done either.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class FileDataSender {
 public:
  using FrameSink = std::function<void(const uint8_t* frame, size_t length)>;
  // Pauses `ms` between chunks; false when the pause ended because the sender stops.
  using Pause = std::function<bool(uint32_t ms)>;

  // `spare` is kept and not used; `rate` is chunks per second.
  FileDataSender(const char* path, uint32_t startPos, uint32_t spare, uint32_t chunkSize, uint32_t rate);
  ~FileDataSender();
  FileDataSender(const FileDataSender&) = delete;
  FileDataSender& operator=(const FileDataSender&) = delete;

  // Where the frames go (before Start); without a sink they are built and dropped.
  void SetFrameSink(FrameSink sink) { m_sink = std::move(sink); }
  // The pause between chunks (before Start; tests). The default waits, and
  // ends at once when the sender stops.
  void SetPause(Pause pause) { m_pause = std::move(pause); }

  // 0 started; -1 when the thread cannot be made, a thread runs already, the
  // rate or the chunk size is 0, or the chunk size does not fit a frame.
  int Start();
  // Clears running and waits for the thread; 0 (also when none runs).
  int Stop();

  bool IsDone() const { return m_bDone.load(); }
  uint32_t Spare() const { return m_nSpare; }

 private:
  void Send();
  bool DefaultPause(uint32_t ms);

  char m_szPath[256] = {};
  uint32_t m_nStartPos;
  uint32_t m_nSpare;
  uint32_t m_nChunkSize;
  uint32_t m_nRate;
  std::atomic<bool> m_bRunning{false};
  std::atomic<bool> m_bDone{false};
  std::thread m_thread;
  std::mutex m_stopLock;
  std::condition_variable m_stopped;
  FrameSink m_sink;
  Pause m_pause;
};
