// Feeds arbitrary bytes to the relay protocol as a hostile peer sends them:
// the bytes are cut into frames by the header reader the connection uses (the
// login's smaller limit before the login) and each frame goes to the serving
// side (a peer not logged in yet, or one logged in) or to the viewing side (a
// login that has asked for a device list, a search, a day search, a replay, a
// day replay and a download, so that answers find their requests).
//
// The first byte chooses the side. The links are made on a socket pair and
// never started: the frames are handed to OnFrame here, on this thread, and
// the link ends with OnClosed, which forgets the peer or login with all its
// requests, so that no input leaves anything for the next.
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include <QLoggingCategory>

#include "pelk/pelk_client.h"
#include "pelk/pelk_engine.h"
#include "pelk/pelk_server.h"
#include "pelk/pelk_wire.h"

namespace {

// Touches every byte a callback is handed, so that a length past the frame shows.
unsigned Sum(const BYTE* data, LONG length) {
  unsigned sum = 0;
  for (LONG i = 0; i < length; ++i) sum += data[i];
  return sum;
}

volatile unsigned sink;

LONG OnRealData(LONG, DWORD, DWORD, LONG, const BYTE* data, LONG length, const RelayFrameInfo*, void*) {
  sink = Sum(data, length);
  return 0;
}

LONG OnReplay(LONG, const char* key, DWORD, DWORD, LONG, const BYTE* data, LONG length, const RelayFrameInfo*,
              const char* path, void*) {
  sink = Sum(data, length) + static_cast<unsigned>(strlen(key) + strlen(path));
  return 0;
}

LONG OnByDate(LONG, const char* key, DWORD, DWORD, LONG, const BYTE* data, LONG length, const RelayFrameInfo*,
              const BYTE* video, const BYTE* audio, LONG, LONG, DWORD, void*) {
  sink = Sum(data, length) + static_cast<unsigned>(strlen(key)) + (video ? video[0] : 0u) + (audio ? audio[0] : 0u);
  return 0;
}

LONG OnDownload(LONG, const char* key, DWORD, DWORD, LONG, const BYTE* data, LONG length, DWORD, DWORD, DWORD,
                DWORD, const char* path, void*) {
  sink = Sum(data, length) + static_cast<unsigned>(strlen(key) + strlen(path));
  return 0;
}

pelk::Engine& TheEngine() {
  static pelk::Engine* engine = [] {
    auto* made = new pelk::Engine();  // lives to the end of the process, like the program's
    pelk::EngineCallbacks callbacks;
    callbacks.realReplay = OnReplay;
    callbacks.replayByDate = OnByDate;
    callbacks.download = OnDownload;
    made->SetCallbacks(callbacks);
    made->RealData().Register("K", 1, 1, OnRealData, nullptr);
    // The serving side takes users only while it runs (on a port of the system's choosing).
    made->server().Start("127.0.0.1", 0, 4, 4);
    return made;
  }();
  return *engine;
}

std::shared_ptr<pelk::Link> NewLink(pelk::Engine& engine, bool loggedIn, int* other) {
  int fds[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) __builtin_trap();
  *other = fds[1];
  engine.LinkStarted();  // the reaper counts it down when it ends
  return std::make_shared<pelk::Link>(fds[0], engine.NextWord(), engine.Options().timing, engine.Options().limits,
                                      loggedIn);
}

// Hands the frames of `data` to the handler the way the connection's reader does.
void FeedFrames(pelk::LinkHandler& handler, pelk::Link& link, const uint8_t* data, size_t size) {
  while (size >= pelk::kHeaderSize && !link.IsClosed()) {
    pelk::FrameHeader header;
    const uint32_t limit = link.IsLoggedIn() ? pelk::kMaxPayload : pelk::kMaxLoginPayload;
    if (pelk::ParseHeader(data, limit, &header) != pelk::HeaderCheck::kOk) return;
    if (header.length > size - pelk::kHeaderSize) return;
    handler.OnFrame(link, header.type, data + pelk::kHeaderSize, header.length);
    data += pelk::kHeaderSize + header.length;
    size -= pelk::kHeaderSize + header.length;
  }
}

void AskEverything(pelk::Client& client, LONG login) {
  client.InviteDeviceList(login);
  ReplaySearchRequest search;
  pelk::CopyText(search.szDevKey, "K");
  pelk::CopyText(search.szStart, "2024-01-01 00:00:00");
  pelk::CopyText(search.szEnd, "2024-01-02 00:00:00");
  client.InviteReplaySearch(login, search);
  client.InviteReplaySearchByDate(login, "K", 1, 2024, 1, 1);
  client.InviteReplayStart(login, "K", 1, 1, 0, "/rec/a.rec");
  ReplayByDateRequest byDate;
  pelk::CopyText(byDate.szDevKey, "K");
  byDate.dwChannel = 1;
  client.InviteReplayStartByDate(login, byDate);
  client.InviteDloadStart(login, "K", 1, 1, 0, "/rec/b.rec");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Every dropped frame is logged; a fuzz run would spend its time writing them.
  QLoggingCategory::setFilterRules(QStringLiteral("vemo.*=false"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  pelk::Engine& engine = TheEngine();
  const int side = data[0] % 3;
  int other = -1;
  if (side < 2) {
    const bool loggedIn = side == 1;
    auto link = NewLink(engine, loggedIn, &other);
    engine.server().AdoptPeer(link, loggedIn);
    FeedFrames(engine.server(), *link, data + 1, size - 1);
    link->Close("input ended");
    engine.server().OnClosed(*link);
  } else {
    auto link = NewLink(engine, true, &other);
    engine.client().AdoptLogin(link);
    AskEverything(engine.client(), static_cast<LONG>(link->Id()));
    FeedFrames(engine.client(), *link, data + 1, size - 1);
    link->Close("input ended");
    engine.client().OnClosed(*link);
  }
  ::close(other);
  // What went to the message window was freed as the post failed (there is none).
  if (engine.Records().Outstanding() != 0) __builtin_trap();
  return 0;
}
