// The upload method of the control and the book of uploads under way.
#include "maker/gimbro/gimbro_upload.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <utility>

#include "maker/gimbro/gimbro.h"
#include "maker/gimbro/gimbro_event_hub.h"
#include "maker/gimbro/gimbro_link.h"
#include "maker/gimbro/gimbro_log.h"
#include "maker/gimbro/gimbro_transfer_book.h"
#include "platform/file_api.h"

namespace gimbro_upload {

namespace {

constexpr size_t kCountField = 8;  // the bytes taken (u64) in front of an UPLOAD_STATE body

struct Upload {
  int32_t transfer = 0;
  std::chrono::steady_clock::time_point lastAnswer;
  int idleMs = 0;
  FILE* file = nullptr;
  std::string path;
  uint64_t size = 0;
  uint64_t sent = 0;
  uint64_t taken = 0;
  bool active = false;
  bool complete = false;
};

GimbroTransferBook<Upload> g_book;

// Under the book's lock.
void Close(Upload& u) {
  if (u.file) std::fclose(u.file);
  const int32_t transfer = u.transfer;
  u = Upload{};
  u.transfer = transfer;
}

// Under the book's lock: the upload fails; the event goes out after the lock.
bool Fail(Upload& u, LONG id, const char* why) {
  if (!u.active) return false;
  qCWarning(lcGimbro, "device %d: upload of %s failed: %s", static_cast<int>(id), u.path.c_str(), why);
  Close(u);
  return true;
}

void PostFailure(GimbroEventHub* hub, LONG id) {
  hub->Post(GimbroEvent::Of(GimbroEvent::kStatus, id, GIMBRO_STATUS_UPLOAD_FAILED, "upload failed"));
}

uint64_t U64(const char* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}

std::string U64Bytes(uint64_t value) {
  std::string out(8, '\0');
  for (int i = 0; i < 8; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// The file's name without its folders, in either separator.
std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Under the book's lock: one UPLOAD_STATE of the upload; the next piece, if any, in
// *piece. False when the upload failed.
bool TakeState(Upload& u, LONG id, const gimbro_wire::Frame& frame, std::string* piece) {
  if (!u.active || frame.b != u.transfer) return true;  // another transfer's: skipped
  if (frame.a != 0) return !Fail(u, id, "the device refused it");
  if (frame.body.size() < kCountField) return !Fail(u, id, "short state frame");
  const uint64_t taken = U64(frame.body.data());
  if (taken != u.sent) return !Fail(u, id, "the device took another count of bytes than were sent");
  u.taken = taken;
  u.lastAnswer = std::chrono::steady_clock::now();
  if (u.taken == u.size) {
    Close(u);
    u.complete = true;
    return true;
  }
  const size_t n = static_cast<size_t>(std::min<uint64_t>(kPiece, u.size - u.sent));
  std::string data(n, '\0');
  if (std::fread(data.data(), 1, n, u.file) != n) return !Fail(u, id, "the file cannot be read");
  u.sent += n;
  *piece = gimbro_wire::Encode(gimbro_wire::kUploadData, u.transfer, 0, data);
  return true;
}

}  // namespace

bool HandleFrame(GimbroEventHub* hub, LONG id, const gimbro_wire::Frame& frame,
                 const std::function<void(const std::string&)>& send) {
  if (frame.type != gimbro_wire::kUploadState) return false;
  bool failed = false;
  std::string piece;
  {
    std::lock_guard<std::mutex> lock(g_book.mutex);
    if (Upload* u = g_book.Find(hub, id)) failed = !TakeState(*u, id, frame, &piece);
  }
  if (failed) PostFailure(hub, id);
  if (!piece.empty() && send) send(piece);
  return true;
}

void LinkLost(GimbroEventHub* hub, LONG id) {
  bool failed = false;
  {
    std::lock_guard<std::mutex> lock(g_book.mutex);
    Upload* u = g_book.Find(hub, id);
    if (u == nullptr) return;
    failed = Fail(*u, id, "the connection was lost");
  }
  if (failed) PostFailure(hub, id);
}

bool Begin(GimbroEventHub* hub, LONG id, const std::string& localPath, int idleMs, int32_t* transfer,
           std::string* body) {
  std::lock_guard<std::mutex> lock(g_book.mutex);
  Upload& u = g_book.At(hub, id);
  if (u.active) return false;
  const int64_t size = fileapi::Size(localPath);
  if (size < 0 || fileapi::IsDirectory(localPath)) return false;
  Upload next;
  next.file = fileapi::Open(localPath, "rb");
  if (!next.file) return false;
  next.transfer = g_book.NextTransfer();
  next.lastAnswer = std::chrono::steady_clock::now();
  next.idleMs = idleMs;
  next.path = localPath;
  next.size = static_cast<uint64_t>(size);
  next.active = true;
  Close(u);
  u = std::move(next);
  *transfer = u.transfer;
  *body = U64Bytes(u.size) + BaseName(localPath);
  return true;
}

void Abort(GimbroEventHub* hub, LONG id) {
  std::lock_guard<std::mutex> lock(g_book.mutex);
  Upload* u = g_book.Find(hub, id);
  if (u != nullptr && u->active) Close(*u);
}

LONG Progress(GimbroEventHub* hub, LONG id) {
  bool failed = false;
  LONG progress = -1;
  {
    std::lock_guard<std::mutex> lock(g_book.mutex);
    Upload* found = g_book.Find(hub, id);
    if (found == nullptr) return -1;
    Upload& u = *found;
    if (u.complete) return 100;
    if (!u.active) return -1;
    const auto idle = std::chrono::steady_clock::now() - u.lastAnswer;
    if (u.idleMs > 0 && idle > std::chrono::milliseconds(u.idleMs)) {
      failed = Fail(u, id, "the device stopped answering");
    } else {
      progress = u.size ? static_cast<LONG>(std::min<uint64_t>(99, u.taken * 100 / u.size)) : 0;
    }
  }
  if (failed) PostFailure(hub, id);
  return progress;
}

void Forget(GimbroEventHub* hub, LONG id) { g_book.Forget(hub, id, Close); }

void ForgetAll(GimbroEventHub* hub) { g_book.ForgetAll(hub, Close); }

}  // namespace gimbro_upload

LONG CGimbroCtrl::UploadFile(LONG gimbroId, LONG kind, LPCSTR localPath) {
  const std::string local = localPath ? std::string(localPath) : std::string();
  if (local.empty() || (kind != 0 && kind != 1)) return GIMBRO_ERR_ARGUMENT;
  int32_t transfer = 0;
  std::string body;
  if (!gimbro_upload::Begin(Hub(), gimbroId, local, GimbroTimingsForNewLinks().uploadIdleMs, &transfer, &body)) {
    return GIMBRO_ERR_ARGUMENT;
  }
  const LONG result = SendFrame(gimbroId, gimbro_wire::kUpload, transfer, kind, body);
  if (result != GIMBRO_OK) gimbro_upload::Abort(Hub(), gimbroId);
  return result;
}

LONG CGimbroCtrl::GetUploadProgress(LONG gimbroId) { return gimbro_upload::Progress(Hub(), gimbroId); }
