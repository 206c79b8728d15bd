#include "pelk/pelk_engine.h"

#include <pthread.h>

#include "pelk/pelk_client.h"
#include "pelk/pelk_server.h"
#include "platform/post_message.h"

namespace pelk {

namespace {
std::mutex g_defaultMutex;
std::unique_ptr<Engine> g_default;
}  // namespace

Engine::Engine(EngineOptions options)
    : options_(options), gate_(UiGate::Instance()), gateOwner_(UiGate::NewOwner()), reaper_([this] { ReapLoop(); }) {
  server_ = std::make_unique<Server>(*this);
  client_ = std::make_unique<Client>(*this);
}

Engine::~Engine() {
  client_->LogOutAll();
  server_->Stop();
  gate_->Shut(gateOwner_);
  {
    std::unique_lock<std::mutex> lock(reapMutex_);
    reapStop_ = true;
    reapCv_.notify_all();
  }
  reaper_.join();
  client_.reset();
  server_.reset();
  records_.Clear();
}

Engine& Engine::Default() {
  std::lock_guard<std::mutex> lock(g_defaultMutex);
  if (!g_default) g_default = std::make_unique<Engine>();
  return *g_default;
}

void Engine::ReleaseDefault() {
  std::unique_ptr<Engine> engine;
  {
    std::lock_guard<std::mutex> lock(g_defaultMutex);
    engine.swap(g_default);
  }
}

void Engine::SetCallbacks(const EngineCallbacks& callbacks) {
  std::lock_guard<std::mutex> lock(callbacksMutex_);
  callbacks_ = callbacks;
}

EngineCallbacks Engine::Callbacks() const {
  std::lock_guard<std::mutex> lock(callbacksMutex_);
  return callbacks_;
}

uint32_t Engine::NextWord() {
  uint32_t word = nextWord_++;
  if (word == 0) word = nextWord_++;
  return word;
}

BOOL Engine::Post(UINT msg, void* record, LPARAM lParam, void* inner) {
  if (PostMessage(msgWnd_, msg, reinterpret_cast<WPARAM>(record), lParam)) return TRUE;
  records_.Delete(inner, PELK_DELETE_INNER);
  records_.Delete(record, PELK_DELETE_RECORD);
  return FALSE;
}

BOOL Engine::PostPlain(UINT msg, WPARAM wParam, LPARAM lParam) { return PostMessage(msgWnd_, msg, wParam, lParam); }

void Engine::Reap(std::shared_ptr<Link> link) {
  std::lock_guard<std::mutex> lock(reapMutex_);
  reapQueue_.push_back(std::move(link));
  reapCv_.notify_all();
}

void Engine::ReapLoop() {
  pthread_setname_np(pthread_self(), "pelkreap");
  std::unique_lock<std::mutex> lock(reapMutex_);
  while (true) {
    reapCv_.wait(lock, [&] { return reapStop_ || !reapQueue_.empty(); });
    if (reapQueue_.empty()) {
      // Stopping: whatever still runs was closed by the sides' shutdown and
      // comes here before long.
      if (liveLinks_ == 0) return;
      reapCv_.wait_for(lock, std::chrono::milliseconds(20));
      continue;
    }
    std::shared_ptr<Link> link = std::move(reapQueue_.front());
    reapQueue_.pop_front();
    lock.unlock();
    link->Join();
    link.reset();
    --liveLinks_;
    lock.lock();
  }
}

}  // namespace pelk
