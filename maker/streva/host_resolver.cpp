#include "streva/host_resolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace hostresolver {
namespace {

// One lookup, shared by the caller and the thread that resolves: a caller that
// gives up leaves, the thread finishes on its own and the last one out frees it.
struct Lookup {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  bool ok = false;
  std::string address;
};

bool IsNumeric(const std::string& host) {
  unsigned char buffer[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), buffer) == 1 || inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

// The first address of `host` as text; false when it does not resolve.
bool FirstAddress(const std::string& host, std::string* address) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* result = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0) return false;
  bool ok = false;
  for (addrinfo* info = result; info && !ok; info = info->ai_next) {
    char text[INET6_ADDRSTRLEN] = {};
    const void* raw = nullptr;
    if (info->ai_family == AF_INET) {
      raw = &reinterpret_cast<sockaddr_in*>(info->ai_addr)->sin_addr;
    } else if (info->ai_family == AF_INET6) {
      raw = &reinterpret_cast<sockaddr_in6*>(info->ai_addr)->sin6_addr;
    }
    if (raw && inet_ntop(info->ai_family, raw, text, sizeof(text))) {
      *address = text;
      ok = true;
    }
  }
  freeaddrinfo(result);
  return ok;
}

}  // namespace

bool Resolve(const std::string& host, const std::atomic<bool>& stop, int timeoutMs,
             std::string* address) {
  if (IsNumeric(host)) {
    *address = host;
    return true;
  }
  auto lookup = std::make_shared<Lookup>();
  // The system resolver blocks: it runs on a thread of its own, which the
  // caller can leave behind. That thread takes its creator's name at birth:
  // give it its own, so that a stream thread's name is never worn by a thread
  // that is not one.
  char name[16] = {};
  pthread_getname_np(pthread_self(), name, sizeof(name));
  pthread_setname_np(pthread_self(), "resolver");
  try {
    std::thread([lookup, host] {
      std::string found;
      const bool ok = FirstAddress(host, &found);
      std::lock_guard<std::mutex> lock(lookup->mutex);
      lookup->ok = ok;
      lookup->address = std::move(found);
      lookup->finished = true;
      lookup->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    pthread_setname_np(pthread_self(), name);
    return false;
  }
  pthread_setname_np(pthread_self(), name);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock<std::mutex> lock(lookup->mutex);
  while (!lookup->finished) {
    if (stop.load() || std::chrono::steady_clock::now() >= deadline) return false;
    lookup->done.wait_for(lock, std::chrono::milliseconds(50));
  }
  if (lookup->ok) *address = lookup->address;
  return lookup->ok;
}

}  // namespace hostresolver
