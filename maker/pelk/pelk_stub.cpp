// Stand-in of the relay library: accepts every call and counts it.
#include <atomic>
#include <mutex>

#include "pelk/pelk.h"
#include "pelk/pelk_stub.h"

namespace {
std::atomic<int> g_rsp{0}, g_video{0}, g_audio{0}, g_close{0};
std::atomic<long> g_nextHandle{1};
std::atomic<int> g_msgWnd{0}, g_callbacks{0}, g_invite{0}, g_loginOut{0}, g_stopTS{0}, g_delete{0};
std::mutex g_statesLock;
std::vector<PelkDeviceStateReport> g_states;  // guarded by g_statesLock
}  // namespace

int Pelk_Init() { return 0; }

void Pelk_Release() {}

long Pelk_RspDeviceVideo(long, const BYTE* videoParam, long, const BYTE* audioParam, long) {
  if (!videoParam || !audioParam) return 0;
  ++g_rsp;
  return g_nextHandle++;
}

long Pelk_ReportAVData(long handle, long kind, const BYTE* data, long length, const BYTE*, long) {
  if (handle < 1 || !data || length < 1) return -1;
  ++(kind == 0 ? g_video : g_audio);
  return 0;
}

long Pelk_CloseDeviceVideo(long handle) {
  if (handle < 1) return -1;
  ++g_close;
  return 0;
}

long Pelk_ReportDeviceState(const char* deviceKey, long channel, long state) {
  if (!deviceKey) return -1;
  std::lock_guard<std::mutex> lock(g_statesLock);
  g_states.push_back({deviceKey, channel, state});
  return 0;
}

void Pelk_SetMsgWnd(HWND) { ++g_msgWnd; }

void Pelk_SetGetUserIdCallback(PelkGetUserIdCallback, void*) { ++g_callbacks; }

void Pelk_SetRealReplayCallback(PelkRealReplayCallback, void*) { ++g_callbacks; }

void Pelk_SetReplayByDateCallback(PelkReplayByDateCallback, void*) { ++g_callbacks; }

void Pelk_SetDownloadRealDataCallback(PelkDownloadRealDataCallback, void*) { ++g_callbacks; }

long Pelk_SetRealDataCallback(PelkRealDataCallback, const char*, long, long, void*) {
  ++g_callbacks;
  return 0;
}

long Pelk_InviteDeviceVideo(long, const char* deviceKey, long, long) {
  if (!deviceKey) return -1;
  ++g_invite;
  return 0;
}

long Pelk_LoginOut(long) {
  ++g_loginOut;
  return 0;
}

long Pelk_StopTS() {
  ++g_stopTS;
  return 0;
}

// No record is handed over yet; a given-back one is only counted.
void Pelk_Delete(void* record, int) {
  if (record) ++g_delete;
}

PelkCallCounts Pelk_StubCounts() {
  return {g_rsp.load(),      g_video.load(),   g_audio.load(),    g_close.load(),  g_msgWnd.load(),
          g_callbacks.load(), g_invite.load(), g_loginOut.load(), g_stopTS.load(), g_delete.load()};
}

std::vector<PelkDeviceStateReport> Pelk_StubDeviceStates() {
  std::lock_guard<std::mutex> lock(g_statesLock);
  return g_states;
}

void Pelk_StubReset() {
  g_rsp = g_video = g_audio = g_close = 0;
  g_msgWnd = g_callbacks = g_invite = g_loginOut = g_stopTS = g_delete = 0;
  std::lock_guard<std::mutex> lock(g_statesLock);
  g_states.clear();
}
