// Times the whole configuration of an NVR (section 0) read over loopback from
// the fake NVR, split into its sections and loaded into the records; the goal
// is under 100 ms a round.
//   harlen_config_bench [rounds]
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "fake_nvr_process.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/link/xml/harlen_trace.h"

namespace {

// The text of the last whole-configuration reply, handed over by the receive thread.
struct WholeConfigReply {
  std::mutex mutex;
  std::condition_variable arrived;
  bool ready = false;
  std::string text;

  static int Callback(int command, int status, int argument, const char* data, int length, void* user) {
    auto* self = static_cast<WholeConfigReply*>(user);
    if (command != 4391 || status != 0 || argument != 0 || data == nullptr) return 0;
    std::lock_guard<std::mutex> lock(self->mutex);
    self->text.assign(data, static_cast<size_t>(length));
    self->ready = true;
    self->arrived.notify_all();
    return 0;
  }

  bool Wait(std::string& out) {
    std::unique_lock<std::mutex> lock(mutex);
    if (!arrived.wait_for(lock, std::chrono::seconds(10), [this] { return ready; })) return false;
    ready = false;
    out.swap(text);
    return true;
  }
};

void Quiet(const std::string&, void*) {}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  SetHarlenTraceSink(&Quiet, nullptr);
  FakeNvrProcess nvr;
  if (!nvr.Ready()) {
    std::fprintf(stderr, "the fake NVR did not start\n");
    return 1;
  }
  CNVRMCInf link;
  WholeConfigReply reply;
  link.Init();
  link.GiveSendBuffer();
  if (link.Connect("127.0.0.1", static_cast<uint16_t>(nvr.Port())) != 0) {
    std::fprintf(stderr, "no connection to the fake NVR\n");
    return 1;
  }
  link.SetReplyCallback(&WholeConfigReply::Callback, &reply);

  std::vector<double> millis;
  size_t bytes = 0;
  for (int round = 0; round <= rounds; ++round) {  // round 0 warms up
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    if (link.GetConfig(0) != 0 || !reply.Wait(text)) {
      std::fprintf(stderr, "no whole configuration in round %d\n", round);
      return 1;
    }
    if (!LoadWholeConfig(text, GlobalNvrConfig())) {
      std::fprintf(stderr, "the whole configuration does not parse\n");
      return 1;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (round > 0) millis.push_back(ms);
    bytes = text.size();
    if (g_ChannelCfg.displayCount != 16 || g_UserCfg.count == 0) {
      std::fprintf(stderr, "the records were not loaded\n");
      return 1;
    }
  }
  std::sort(millis.begin(), millis.end());
  std::printf("whole configuration: %zu bytes, %d rounds\n", bytes, rounds);
  std::printf("read + split + load: min %.2f ms, median %.2f ms, max %.2f ms (goal under 100 ms)\n", millis.front(),
              millis[millis.size() / 2], millis.back());
  return 0;
}
