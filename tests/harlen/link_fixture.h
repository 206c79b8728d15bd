// A link opened as its owners open it, and the replies that its receive
// thread hands over, for tests.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"

class ReplyLog {
 public:
  static int Callback(int command, int status, int argument, const char* data, int length, void* user) {
    auto* log = static_cast<ReplyLog*>(user);
    NvrReply reply;
    reply.command = command;
    reply.status = status;
    reply.argument = argument;
    reply.hasData = data != nullptr;
    if (data != nullptr) reply.data.assign(data, static_cast<size_t>(length));
    std::lock_guard<std::mutex> lock(log->mutex_);
    log->replies_.push_back(reply);
    log->arrived_.notify_all();
    return 0;
  }

  // The first reply (in arrival order) that matches, taken out of the log.
  std::optional<NvrReply> Take(const std::function<bool(const NvrReply&)>& match, int ms = 10000) {
    std::unique_lock<std::mutex> lock(mutex_);
    std::optional<NvrReply> found;
    arrived_.wait_for(lock, std::chrono::milliseconds(ms), [&] {
      for (auto it = replies_.begin(); it != replies_.end(); ++it) {
        if (match(*it)) {
          found = *it;
          replies_.erase(it);
          return true;
        }
      }
      return false;
    });
    return found;
  }

  std::optional<NvrReply> TakeAny(int ms = 10000) {
    return Take([](const NvrReply&) { return true; }, ms);
  }

  size_t Size() {
    std::lock_guard<std::mutex> lock(mutex_);
    return replies_.size();
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<NvrReply> replies_;
};

inline auto IsReply(int command, int argument) {
  return [=](const NvrReply& r) { return r.command == command && r.argument == argument; };
}

// A link made the way its owners make it.
struct OpenLink {
  CNVRMCInf link;
  ReplyLog log;
  int connectResult = -99;

  explicit OpenLink(int port, const char* host = "127.0.0.1") {
    link.Init();
    if (!link.HasSendBuffer()) link.GiveSendBuffer();
    connectResult = link.Connect(host, static_cast<uint16_t>(port));
    if (!link.HasReplyCallback()) link.SetReplyCallback(&ReplyLog::Callback, &log);
  }
};

// A section's text as the NVR on `port` has it now, read over a link of its
// own; empty when it could not be read.
inline std::string NvrSectionText(int port, int section) {
  OpenLink open(port);
  if (open.connectResult != 0 || open.link.GetConfig(section) != 0) return {};
  const auto reply = open.log.Take(IsReply(4391, section));
  return reply.has_value() ? reply->data : std::string();
}

// The whole configuration (section 0).
inline std::string NvrWholeConfig(int port) { return NvrSectionText(port, 0); }
