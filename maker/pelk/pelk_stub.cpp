// Stand-in of the relay library: accepts every call and counts it.
#include <atomic>

#include "pelk/pelk.h"
#include "pelk/pelk_stub.h"

namespace {
std::atomic<int> g_rsp{0}, g_video{0}, g_audio{0}, g_close{0};
std::atomic<long> g_nextHandle{1};
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

PelkCallCounts Pelk_StubCounts() { return {g_rsp.load(), g_video.load(), g_audio.load(), g_close.load()}; }

void Pelk_StubReset() { g_rsp = g_video = g_audio = g_close = 0; }
