#include "relay/sessions/session_test_support.h"

#include <chrono>

#include "records/recfile/rec_file_fixture.h"

namespace {

RelayCall Call(RelayCall::Type type, DWORD word) {
  RelayCall call;
  call.type = type;
  call.word = word;
  return call;
}

// A media chunk of a replay.
RelayCall DataCall(RelayCall::Type type, DWORD word, LONG kind, LONG length, const RelayFrameInfo& info) {
  RelayCall call = Call(type, word);
  call.kind = kind;
  call.length = length;
  call.info = info;
  return call;
}

}  // namespace

void RecordingRelay::Add(RelayCall call, bool data) {
  call.time = m_clock.Now();
  int count = 0;
  std::function<void(int)> callback;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_calls.push_back(std::move(call));
    if (data) {
      count = ++m_nData;
      callback = onData;
    }
  }
  m_cv.notify_all();
  if (callback) callback(count);
}

void RecordingRelay::SetOnData(std::function<void(int)> callback) {
  std::lock_guard<std::mutex> lock(m_lock);
  onData = std::move(callback);
}

void RecordingRelay::RspReplayStart(LONG status, const RelayFileRequest&, DWORD word, const BYTE* video,
                                    const BYTE* audio, LONG seconds) {
  RelayCall call = Call(RelayCall::kReplayStart, word);
  call.status = status;
  call.video = video != nullptr;
  call.audio = audio != nullptr;
  if (video) call.videoCodec = reinterpret_cast<const char*>(video);
  call.seconds = seconds;
  Add(std::move(call), false);
}

void RecordingRelay::ReportReplayData(const RelayFileRequest&, DWORD word, LONG kind, const BYTE*, LONG length,
                                      const RelayFrameInfo& info) {
  Add(DataCall(RelayCall::kReplayData, word, kind, length, info), true);
}

void RecordingRelay::NotifyReplayStop(const RelayFileRequest&, DWORD word) {
  Add(Call(RelayCall::kReplayStop, word), false);
}

void RecordingRelay::ReportReplayDataByDate(const ReplayByDateRequest&, DWORD word, LONG kind, const BYTE*,
                                            LONG length, const RelayFrameInfo& info, const BYTE* video,
                                            const BYTE* audio, LONG first, LONG seconds, DWORD startSecond) {
  RelayCall call = DataCall(RelayCall::kByDateData, word, kind, length, info);
  call.video = video != nullptr;
  call.audio = audio != nullptr;
  call.first = first;
  call.seconds = seconds;
  call.start = startSecond;
  Add(std::move(call), true);
}

void RecordingRelay::NotifyReplayStopByDate(const ReplayByDateRequest&, DWORD word) {
  Add(Call(RelayCall::kByDateStop, word), false);
}

void RecordingRelay::RspDloadStart(LONG status, const RelayFileRequest&, DWORD word, uint64_t size) {
  RelayCall call = Call(RelayCall::kDloadStart, word);
  call.status = status;
  call.size = size;
  Add(std::move(call), false);
}

LONG RecordingRelay::ReportDloadData(const RelayFileRequest&, DWORD word, const BYTE* data, LONG length,
                                     uint64_t offset, uint64_t size) {
  int piece = 0;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    piece = ++m_nPieces;
  }
  if (refusePieceFrom > 0 && piece >= refusePieceFrom) return -1;
  RelayCall call = Call(RelayCall::kDloadData, word);
  call.length = length;
  call.offset = offset;
  call.size = size;
  call.data.assign(data, data + length);
  Add(std::move(call), true);
  return 0;
}

void RecordingRelay::NotifyDloadStop(const RelayFileRequest&, DWORD word) {
  Add(Call(RelayCall::kDloadStop, word), false);
}

void RecordingRelay::PostEnd(UINT msg, DWORD registryId) {
  RelayCall call = Call(RelayCall::kEnd, 0);
  call.msg = msg;
  call.id = registryId;
  Add(std::move(call), false);
}

bool RecordingRelay::WaitEnd(int limitMs) {
  std::unique_lock<std::mutex> lock(m_lock);
  return m_cv.wait_for(lock, std::chrono::milliseconds(limitMs), [&] {
    for (const RelayCall& call : m_calls) {
      if (call.type == RelayCall::kEnd) return true;
    }
    return false;
  });
}

std::vector<RelayCall> RecordingRelay::Calls() const {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_calls;
}

std::vector<RelayCall> RecordingRelay::Of(RelayCall::Type type) const {
  std::vector<RelayCall> out;
  for (const RelayCall& call : Calls()) {
    if (call.type == type) out.push_back(call);
  }
  return out;
}

int RecordingRelay::Count(RelayCall::Type type) const { return static_cast<int>(Of(type).size()); }

void WriteServedRecord(const std::string& nativePath, int seconds, int fps, bool audio, int gop) {
  RecFileFixture fixture(audio ? 2 : 1);
  fixture.frameRate = static_cast<uint32_t>(fps);
  if (gop <= 0) gop = fps;
  for (int i = 0; i < seconds * fps; ++i) {
    const bool key = i % gop == 0;
    fixture.AddVideo(H264Frame(key, static_cast<size_t>((key ? 2000 : 300) + i % 7), static_cast<uint8_t>(i)), key);
    if (audio) fixture.AddAudio(Bytes(320, 0x55));
  }
  fixture.Write(nativePath);
}
