// The replay and download methods of the control, and the book they keep.
#include "maker/gimbro/gimbro_replay.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>

#include "maker/gimbro/gimbro.h"
#include "maker/gimbro/gimbro_event_hub.h"
#include "maker/gimbro/gimbro_link.h"
#include "maker/gimbro/gimbro_log.h"
#include "maker/gimbro/gimbro_transfer_book.h"
#include "platform/file_api.h"

namespace gimbro_replay {

namespace {

constexpr size_t kSizeField = 8;  // the file's size in front of every FILE_DATA body

struct Download {
  int32_t transfer = 0;
  std::chrono::steady_clock::time_point lastData;
  int idleMs = 0;
  FILE* file = nullptr;
  std::string path;
  std::string part;
  uint64_t total = 0;
  uint64_t written = 0;
  bool active = false;
  bool complete = false;
};

struct Device {
  Caps caps;
  Download download;
};

GimbroTransferBook<Device> g_book;

// Closes the part and removes it; under the book's lock.
void Discard(Download& d) {
  if (d.file) std::fclose(d.file);
  if (!d.part.empty()) fileapi::Remove(d.part);
  const int32_t transfer = d.transfer;
  d = Download{};
  d.transfer = transfer;
}

// Under the book's lock: the download fails; the event goes out after the lock.
bool Fail(Download& d, LONG id, const char* why) {
  if (!d.active) return false;
  qCWarning(lcGimbro, "device %d: download of %s failed: %s", static_cast<int>(id), d.path.c_str(), why);
  Discard(d);
  return true;
}

// The failure names its transfer: a failure that is handled late is not taken
// for one of a download started since.
void PostFailure(GimbroEventHub* hub, LONG id, int32_t transfer) {
  GimbroEvent event;
  event.kind = GimbroEvent::kStatus;
  event.id = id;
  event.a = GIMBRO_STATUS_DOWNLOAD_FAILED;
  event.text = std::to_string(transfer);
  hub->Post(std::move(event));
}

uint64_t U64(const char* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}

// Under the book's lock: one FILE_DATA or FILE_END frame; false when the download failed.
bool TakeFileFrame(Download& d, LONG id, const gimbro_wire::Frame& frame, bool* failed) {
  *failed = false;
  if (!d.active || frame.b != d.transfer) return true;  // nothing asked for, or another transfer's: skipped
  if (frame.type == gimbro_wire::kFileData) {
    if (frame.body.size() < kSizeField) return !(*failed = Fail(d, id, "short data frame"));
    d.total = U64(frame.body.data());
    const size_t n = frame.body.size() - kSizeField;
    if (d.written + n > d.total) return !(*failed = Fail(d, id, "more bytes than announced"));
    if (n && std::fwrite(frame.body.data() + kSizeField, 1, n, d.file) != n) {
      return !(*failed = Fail(d, id, "the file cannot be written"));
    }
    d.written += n;
    d.lastData = std::chrono::steady_clock::now();
    return true;
  }
  // FILE_END
  if (frame.a != 0) return !(*failed = Fail(d, id, "the device gave up"));
  if (d.written != d.total) return !(*failed = Fail(d, id, "the file is incomplete"));
  const bool flushed = std::fflush(d.file) == 0;
  std::fclose(d.file);
  d.file = nullptr;
  if (!flushed || !fileapi::Rename(d.part, d.path)) return !(*failed = Fail(d, id, "the file cannot be kept"));
  d.active = false;
  d.complete = true;
  d.part.clear();
  return true;
}

}  // namespace

bool HandleFrame(GimbroEventHub* hub, LONG id, const gimbro_wire::Frame& frame) {
  bool failed = false;
  int32_t transfer = 0;
  switch (frame.type) {
    case gimbro_wire::kReplayCaps: {
      std::lock_guard<std::mutex> lock(g_book.mutex);
      Caps& caps = g_book.At(hub, id).caps;
      caps.canReplay = static_cast<DWORD>(frame.a);
      caps.option = static_cast<DWORD>(frame.b);
      return true;
    }
    case gimbro_wire::kFileData:
    case gimbro_wire::kFileEnd: {
      std::lock_guard<std::mutex> lock(g_book.mutex);
      if (Device* device = g_book.Find(hub, id)) {
        TakeFileFrame(device->download, id, frame, &failed);
        transfer = device->download.transfer;
      }
      break;
    }
    default:
      return false;
  }
  if (failed) PostFailure(hub, id, transfer);
  return true;
}

void LinkLost(GimbroEventHub* hub, LONG id) {
  bool failed = false;
  int32_t transfer = 0;
  {
    std::lock_guard<std::mutex> lock(g_book.mutex);
    Device* device = g_book.Find(hub, id);
    if (device == nullptr) return;
    device->caps = Caps{};
    failed = Fail(device->download, id, "the connection was lost");
    transfer = device->download.transfer;
  }
  if (failed) PostFailure(hub, id, transfer);
}

Caps CapsOf(GimbroEventHub* hub, LONG id) {
  std::lock_guard<std::mutex> lock(g_book.mutex);
  const Device* device = g_book.Find(hub, id);
  return device == nullptr ? Caps{} : device->caps;
}

bool BeginDownload(GimbroEventHub* hub, LONG id, const std::string& localPath, int idleMs, int32_t* transfer) {
  std::lock_guard<std::mutex> lock(g_book.mutex);
  Download& d = g_book.At(hub, id).download;
  if (d.active) return false;
  Download next;
  next.transfer = g_book.NextTransfer();
  next.lastData = std::chrono::steady_clock::now();
  next.idleMs = idleMs;
  next.path = localPath;
  next.part = localPath + ".part";
  next.file = fileapi::Open(next.part, "wb");
  if (!next.file) return false;
  next.active = true;
  d = std::move(next);
  *transfer = d.transfer;
  return true;
}

int32_t TransferOf(GimbroEventHub* hub, LONG id) {
  std::lock_guard<std::mutex> lock(g_book.mutex);
  const Device* device = g_book.Find(hub, id);
  return device == nullptr ? 0 : device->download.transfer;
}

void AbortDownload(GimbroEventHub* hub, LONG id) {
  std::lock_guard<std::mutex> lock(g_book.mutex);
  Device* device = g_book.Find(hub, id);
  if (device != nullptr && device->download.active) Discard(device->download);
}

LONG Progress(GimbroEventHub* hub, LONG id) {
  bool failed = false;
  int32_t transfer = 0;
  LONG progress = -1;
  {
    std::lock_guard<std::mutex> lock(g_book.mutex);
    Device* device = g_book.Find(hub, id);
    if (device == nullptr) return -1;
    Download& d = device->download;
    if (d.complete) return 100;
    if (!d.active) return -1;
    const auto idle = std::chrono::steady_clock::now() - d.lastData;
    if (d.idleMs > 0 && idle > std::chrono::milliseconds(d.idleMs)) {
      failed = Fail(d, id, "the device stopped sending it");
      transfer = d.transfer;
    } else {
      // 100 only once the device said it is complete and the file is kept.
      progress = d.total ? static_cast<LONG>(std::min<uint64_t>(99, d.written * 100 / d.total)) : 0;
    }
  }
  if (failed) PostFailure(hub, id, transfer);
  return progress;
}

void Forget(GimbroEventHub* hub, LONG id) {
  g_book.Forget(hub, id, [](Device& device) { Discard(device.download); });
}

void ForgetAll(GimbroEventHub* hub) {
  g_book.ForgetAll(hub, [](Device& device) { Discard(device.download); });
}

}  // namespace gimbro_replay

// --- the control's methods ---

namespace {

std::string Text(LPCSTR text) { return text ? std::string(text) : std::string(); }

std::string I32(int32_t value) {
  std::string out;
  gimbro_wire::AppendU32(out, static_cast<uint32_t>(value));
  return out;
}

}  // namespace

LONG CGimbroCtrl::StartFileReplay(LONG gimbroId, LPCSTR remotePath) {
  const std::string path = Text(remotePath);
  if (path.empty()) return GIMBRO_ERR_ARGUMENT;
  return SendFrame(gimbroId, gimbro_wire::kReplayFile, 0, 0, path);
}

LONG CGimbroCtrl::ControlFileReplay(LONG gimbroId, LONG command, LONG value) {
  return SendFrame(gimbroId, gimbro_wire::kReplayFileControl, command, value, std::string());
}

LONG CGimbroCtrl::StartTimeReplay(LONG gimbroId, LONG channel, LPCSTR time) {
  const std::string text = Text(time);
  if (text.empty()) return GIMBRO_ERR_ARGUMENT;
  return SendFrame(gimbroId, gimbro_wire::kReplayTime, channel, 0, text);
}

LONG CGimbroCtrl::ControlTimeReplay(LONG gimbroId, LONG channel, LONG command, LONG value, LPCSTR time) {
  return SendFrame(gimbroId, gimbro_wire::kReplayTimeControl, channel, command, I32(value) + Text(time));
}

DWORD CGimbroCtrl::GetReplayOption(LONG gimbroId) { return gimbro_replay::CapsOf(Hub(), gimbroId).option; }

DWORD CGimbroCtrl::CanReplay(LONG gimbroId) { return gimbro_replay::CapsOf(Hub(), gimbroId).canReplay; }

LONG CGimbroCtrl::DownloadFile(LONG gimbroId, LONG, LPCSTR remotePath, LPCSTR localPath) {
  const std::string remote = Text(remotePath);
  const std::string local = Text(localPath);
  if (remote.empty() || local.empty()) return GIMBRO_ERR_ARGUMENT;
  int32_t transfer = 0;
  if (!gimbro_replay::BeginDownload(Hub(), gimbroId, local, GimbroTimingsForNewLinks().downloadIdleMs, &transfer)) {
    return GIMBRO_ERR_ARGUMENT;
  }
  const LONG result = SendFrame(gimbroId, gimbro_wire::kDownload, transfer, 0, remote);
  if (result != GIMBRO_OK) gimbro_replay::AbortDownload(Hub(), gimbroId);
  return result;
}

LONG CGimbroCtrl::GetDownloadTransfer(LONG gimbroId) { return gimbro_replay::TransferOf(Hub(), gimbroId); }

LONG CGimbroCtrl::GetDownloadProgress(LONG gimbroId) { return gimbro_replay::Progress(Hub(), gimbroId); }

LONG CGimbroCtrl::StopDownload(LONG gimbroId) {
  gimbro_replay::AbortDownload(Hub(), gimbroId);
  return SendFrame(gimbroId, gimbro_wire::kDownloadStop, gimbro_replay::TransferOf(Hub(), gimbroId), 0, std::string());
}
