#include "alarm_map_wall/alarm/log/alarm_log_queue.h"

#include <chrono>
#include <ctime>
#include <map>
#include <utility>
#include <vector>

#include "alarm_map_wall/alarm/alarm_record.h"
#include "alarm_map_wall/alarm/log/alarm_log_writer.h"
#include "core/client_log.h"
#include "core/module_path.h"

AlarmLogQueue::AlarmLogQueue(Options options) : options_(std::move(options)) {}

AlarmLogQueue::~AlarmLogQueue() { Stop(); }

int64_t AlarmLogQueue::Now() const {
  return options_.clock ? options_.clock() : static_cast<int64_t>(std::time(nullptr));
}

void AlarmLogQueue::Start() {
  if (thread_.joinable() || stop_.load()) return;
  thread_ = std::thread([this] { Run(); });
}

void AlarmLogQueue::Push(AlarmLogEntry entry) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (pending_.size() >= options_.capacity) {
    ++dropped_;
    return;
  }
  pending_.push_back(std::move(entry));
}

size_t AlarmLogQueue::Pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pending_.size();
}

void AlarmLogQueue::Stop() {
  {
    std::lock_guard<std::mutex> lock(wakeMutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
  Save();
}

void AlarmLogQueue::Run() {
  PurgeAlarmDays(options_.programFolder, Now());
  const auto interval = std::chrono::milliseconds(options_.intervalMs);
  auto next = std::chrono::steady_clock::now() + interval;
  while (true) {
    {
      std::unique_lock<std::mutex> lock(wakeMutex_);
      if (wake_.wait_until(lock, next, [this] { return stop_.load(); })) break;
    }
    next = std::chrono::steady_clock::now() + interval;
    Save();
  }
}

void AlarmLogQueue::Requeue(std::deque<AlarmLogEntry> failed) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (AlarmLogEntry& entry : pending_) failed.push_back(std::move(entry));
  if (failed.size() > options_.capacity) {
    dropped_ += failed.size() - options_.capacity;
    failed.resize(options_.capacity);
  }
  pending_ = std::move(failed);
}

void AlarmLogQueue::Save() {
  std::lock_guard<std::mutex> saving(saveMutex_);
  std::deque<AlarmLogEntry> batch;
  size_t dropped = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(pending_);
    std::swap(dropped, dropped_);
  }
  WriteLog(6, "SaveAlmInfo: Begin save the alarm information...");
  if (dropped > 0) {
    WriteLog(3, "CAlarmListDlg::SaveAlmInfo, the alarm queue was full: %zu alarms were dropped", dropped);
  }
  // The day is the day of writing. Lines are grouped by file, each file
  // keeping the order of its alarms.
  const std::string day = AlarmDayText(Now());
  std::map<std::string, std::vector<size_t>> files;
  for (size_t i = 0; i < batch.size(); ++i) {
    if (!batch[i].DevName.empty()) files[AlarmDayFile(options_.programFolder, day, batch[i].DevName)].push_back(i);
  }
  std::vector<bool> failed(batch.size(), false);
  bool anyFailed = false;
  if (!files.empty()) {
    const std::string folder = AlarmDayFolder(options_.programFolder, day);
    if (day.empty() || !CreateDirectoryTree(folder)) {
      WriteLog(3, "CAlarmListDlg::SaveAlmInfo, make dir failed. dir=%s", folder.c_str());
      for (const auto& [file, members] : files) {
        for (size_t i : members) failed[i] = true;
      }
      anyFailed = true;
    } else {
      for (const auto& [file, members] : files) {
        std::vector<std::string> lines;
        lines.reserve(members.size());
        for (size_t i : members) lines.push_back(AlarmLogLine(batch[i]));
        std::string error;
        if (AppendAlarmLines(file, lines, &error)) continue;
        WriteLog(3, "CAlarmListDlg::SaveAlmInfo, write failed, %zu alarms kept for the next save. file=%s (%s)",
                 members.size(), file.c_str(), error.c_str());
        for (size_t i : members) failed[i] = true;
        anyFailed = true;
      }
    }
  }
  if (anyFailed) {
    std::deque<AlarmLogEntry> kept;
    for (size_t i = 0; i < batch.size(); ++i) {
      if (failed[i]) kept.push_back(std::move(batch[i]));
    }
    Requeue(std::move(kept));
  }
  WriteLog(6, "SaveAlmInfo: End save the alarm information...");
}
