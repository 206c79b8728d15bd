// Collects Harlen's trace lines while it lives.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "harlen/link/xml/harlen_trace.h"

class TraceCapture {
 public:
  TraceCapture() { SetHarlenTraceSink(&TraceCapture::Take, this); }
  ~TraceCapture() { SetHarlenTraceSink(nullptr, nullptr); }
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  bool Contains(const std::string& text) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::string& line : lines_) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }

  std::vector<std::string> Lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }

 private:
  static void Take(const std::string& line, void* user) {
    auto* self = static_cast<TraceCapture*>(user);
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->lines_.push_back(line);
  }

  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};
