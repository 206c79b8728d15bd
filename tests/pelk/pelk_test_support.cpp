#include "pelk_test_support.h"

#include <dirent.h>

#include "common/wait_for.h"
#include "pelk/pelk_client.h"
#include "pelk/pelk_server.h"

const char kTestUser[] = "admin";
const char kTestDigest[] = "E10ADC3949BA59ABBE56E057F20F883E";

MessageSink::MessageSink(pelk::Engine& engine) : CWnd(this), engine_(&engine) { engine_->SetMsgWnd(GetSafeHwnd()); }

MessageSink::~MessageSink() {
  if (engine_) engine_->SetMsgWnd(nullptr);
}

LRESULT MessageSink::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_RELAY_CHECK_USER) {
    ++checks;
    const char* user = reinterpret_cast<const char*>(wParam);
    const bool userOk = user && QString(user).compare(kTestUser, Qt::CaseInsensitive) == 0;
    const bool passwordOk =
        Pelk_CheckPassword(reinterpret_cast<const PelkPasswordVerifier*>(lParam), password.c_str()) != FALSE;
    return userOk && passwordOk ? 0 : 1;
  }
  const PostedMessage posted{msg, wParam, lParam};
  if (handler && handler(posted)) return 0;
  messages_.push_back(posted);
  return 0;
}

bool MessageSink::Take(UINT msg, PostedMessage* out, int limitMs) {
  auto find = [&] {
    for (auto it = messages_.begin(); it != messages_.end(); ++it) {
      if (it->msg == msg) {
        if (out) *out = *it;
        messages_.erase(it);
        return true;
      }
    }
    return false;
  };
  return WaitFor(find, limitMs);
}

size_t MessageSink::Count(UINT msg) const {
  size_t count = 0;
  for (const PostedMessage& posted : messages_) count += posted.msg == msg ? 1 : 0;
  return count;
}

void MessageSink::GiveBack(void* record, void* inner) {
  engine_->Records().Delete(inner, PELK_DELETE_INNER);
  engine_->Records().Delete(record, PELK_DELETE_RECORD);
}

pelk::EngineOptions FastOptions() {
  pelk::EngineOptions options;
  options.timing.keepAliveMs = 200;
  options.timing.deadAfterMs = 3000;
  options.timing.writeStallMs = 1500;
  options.timing.loginMs = 1500;
  options.checkTimeoutMs = 1500;
  options.connectTimeoutMs = 2000;
  options.loginTimeoutMs = 4000;
  return options;
}

EnginePair::EnginePair(LONG videoCount, LONG userCount, pelk::EngineOptions options)
    : a(std::make_unique<pelk::Engine>(options)), b(std::make_unique<pelk::Engine>(options)) {
  sinkA = std::make_unique<MessageSink>(*a);
  sinkB = std::make_unique<MessageSink>(*b);
  if (b->server().Start("127.0.0.1", 0, videoCount, userCount) == 1) port = b->server().Port();
}

EnginePair::~EnginePair() {
  // The engines go first so that their threads post nothing to a sink that is gone.
  sinkA->ForgetEngine();
  sinkB->ForgetEngine();
  a.reset();
  b.reset();
}

LONG EnginePair::Login(const char* user, const char* password) {
  return a->client().Login("127.0.0.1", port, user, password);
}

namespace {
int CountEntries(const char* folder) {
  int count = 0;
  if (DIR* dir = opendir(folder)) {
    while (dirent* entry = readdir(dir)) count += entry->d_name[0] != '.' ? 1 : 0;
    closedir(dir);
  }
  return count;
}
}  // namespace

int ThreadCount() { return CountEntries("/proc/self/task"); }
int DescriptorCount() { return CountEntries("/proc/self/fd") - 1; }  // less the one readdir holds
