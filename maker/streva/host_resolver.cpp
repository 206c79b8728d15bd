#include "streva/host_resolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <pthread.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <vector>

namespace hostresolver {
namespace {

// One background request; it must live until the resolver is done with it.
struct Request {
  std::string host;
  addrinfo hints{};
  gaicb cb{};
};

// Requests given up on that the resolver could not cancel; freed once done.
std::mutex g_orphanMutex;
std::vector<Request*> g_orphans;

void Free(Request* request) {
  if (request->cb.ar_result) freeaddrinfo(request->cb.ar_result);
  delete request;
}

void ReapOrphans() {
  std::lock_guard<std::mutex> lock(g_orphanMutex);
  for (auto it = g_orphans.begin(); it != g_orphans.end();) {
    if (gai_error(&(*it)->cb) != EAI_INPROGRESS) {
      Free(*it);
      it = g_orphans.erase(it);
    } else {
      ++it;
    }
  }
}

void GiveUp(Request* request) {
  if (gai_cancel(&request->cb) == EAI_ALLDONE || gai_error(&request->cb) != EAI_INPROGRESS) {
    Free(request);
    return;
  }
  std::lock_guard<std::mutex> lock(g_orphanMutex);
  g_orphans.push_back(request);
}

bool IsNumeric(const std::string& host) {
  unsigned char buffer[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), buffer) == 1 || inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

}  // namespace

bool Resolve(const std::string& host, const std::atomic<bool>& stop, int timeoutMs,
             std::string* address) {
  if (IsNumeric(host)) {
    *address = host;
    return true;
  }
  ReapOrphans();
  auto* request = new Request;
  request->host = host;
  request->hints.ai_family = AF_UNSPEC;
  request->hints.ai_socktype = SOCK_STREAM;
  request->cb.ar_name = request->host.c_str();
  request->cb.ar_request = &request->hints;
  gaicb* list[1] = {&request->cb};
  // The resolver's helper thread takes its creator's name: give it its own,
  // so that a stream thread's name is never worn by a thread that is not one.
  char name[16] = {};
  pthread_getname_np(pthread_self(), name, sizeof(name));
  pthread_setname_np(pthread_self(), "resolver");
  const int started = getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr);
  pthread_setname_np(pthread_self(), name);
  if (started != 0) {
    delete request;
    return false;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int state = EAI_INPROGRESS;
  while ((state = gai_error(&request->cb)) == EAI_INPROGRESS) {
    if (stop.load() || std::chrono::steady_clock::now() >= deadline) {
      GiveUp(request);
      return false;
    }
    timespec wait{0, 50 * 1000 * 1000};
    const gaicb* waitList[1] = {&request->cb};
    gai_suspend(waitList, 1, &wait);
  }
  bool ok = false;
  if (state == 0) {
    for (addrinfo* info = request->cb.ar_result; info && !ok; info = info->ai_next) {
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
  }
  Free(request);
  return ok;
}

}  // namespace hostresolver
