#include "live/grid/video_host.h"

namespace {
IVideoHost g_nullHost;
IVideoHost* g_host = &g_nullHost;
}  // namespace

IVideoHost& VideoHost() { return *g_host; }

void SetVideoHost(IVideoHost* host) { g_host = host ? host : &g_nullHost; }
