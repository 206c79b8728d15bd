// AlarmLogQueue: the alarms the alarm panel accepted and has not written yet,
// and the worker that writes them (alarm_log_writer.h).
//
// The window thread pushes; it never waits for the disk: the worker takes the
// whole queue out under the lock and writes outside it, one batch at most
// every interval (10 s), each day file opened once per batch. Its first act is
// the purge of the day folders older than 15 days.
//
// Alarms that cannot be written (the day folder cannot be made, the disk is
// full, "Alarm" is a file) stay queued, in their order, for the next batch;
// each failure of a batch gets one log line. The queue holds at most
// `capacity` alarms: beyond it the newest are dropped, and the next batch logs
// how many.
//
// Stop() ends the worker at once (it waits on a condition, not a sleep), joins
// it and writes what is queued: nothing accepted before the program ends is
// lost unless the disk refuses it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "alarm_map_wall/alarm/log/alarm_log_format.h"

class AlarmLogQueue {
 public:
  struct Options {
    std::string programFolder;       // the program folder, with its trailing separator
    int intervalMs = 10000;          // between two batches
    size_t capacity = 500000;        // alarms queued at most
    std::function<int64_t()> clock;  // now, in seconds since 1970; the system clock when empty
  };

  explicit AlarmLogQueue(Options options);
  ~AlarmLogQueue();  // Stop()
  AlarmLogQueue(const AlarmLogQueue&) = delete;
  AlarmLogQueue& operator=(const AlarmLogQueue&) = delete;

  // Starts the worker (once): purge, then a batch every interval until Stop.
  void Start();
  // Queues one alarm; any thread. An entry without a name is not written.
  void Push(AlarmLogEntry entry);
  // Ends the worker, waits for it and writes what is queued. Any thread but
  // the worker; more than once is harmless.
  void Stop();
  // One batch now (what the worker does every interval).
  void Save();

  size_t Pending() const;
  bool IsRunning() const { return thread_.joinable() && !stop_.load(); }

 private:
  void Run();
  int64_t Now() const;
  // Puts alarms that could not be written back in front of the queue, within its capacity.
  void Requeue(std::deque<AlarmLogEntry> failed);

  const Options options_;
  mutable std::mutex mutex_;  // guards pending_ and dropped_
  std::deque<AlarmLogEntry> pending_;
  size_t dropped_ = 0;
  std::mutex saveMutex_;      // one batch at a time (the worker's and Stop's)
  std::condition_variable wake_;
  std::mutex wakeMutex_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
