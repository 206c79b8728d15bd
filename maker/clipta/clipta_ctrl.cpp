#include "clipta/clipta_ctrl.h"

#include <algorithm>
#include <cstring>

#include "clipta/clipta_stream.h"
#include "platform/file_api.h"
#include "streva/media_blocks.h"

CCliptaCtrl::CCliptaCtrl() = default;
CCliptaCtrl::~CCliptaCtrl() = default;

void CCliptaCtrl::Advise(ICliptaEvents* sink) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (sink && std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end()) sinks_.push_back(sink);
}

void CCliptaCtrl::Unadvise(ICliptaEvents* sink) {
  std::lock_guard<std::mutex> lock(mutex_);
  sinks_.erase(std::remove(sinks_.begin(), sinks_.end(), sink), sinks_.end());
}

long CCliptaCtrl::BeginStream(long streamId) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto& stream = streams_[streamId];
  if (!stream) stream = std::make_unique<CliptaStream>();
  return 0;
}

long CCliptaCtrl::EndStream(long streamId) {
  std::unique_ptr<CliptaStream> stream;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = streams_.find(streamId);
  if (it == streams_.end()) return -1;
  stream = std::move(it->second);
  streams_.erase(it);
  for (auto f = fileStreams_.begin(); f != fileStreams_.end();) {
    f = f->second == streamId ? fileStreams_.erase(f) : std::next(f);
  }
  return 0;  // the stream's files are finished as it goes
}

long CCliptaCtrl::SetVideoParam(long streamId, const BYTE* block, long length) {
  VideoParamBlock video;
  if (!mediablocks::ReadVideoBlock(block, length, &video)) return -1;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = streams_.find(streamId);
  if (it == streams_.end()) return -1;
  return it->second->SetVideo(video) ? 0 : -1;
}

long CCliptaCtrl::SetAudioParam(long streamId, const BYTE* block, long length) {
  AudioParamBlock audio;
  if (!mediablocks::ReadAudioBlock(block, length, &audio) ||
      mediablocks::AudioCodecId(audio) == AV_CODEC_ID_NONE) {
    return -1;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = streams_.find(streamId);
  if (it == streams_.end()) return -1;
  it->second->SetAudio(audio);
  return 0;
}

long CCliptaCtrl::PreRecordSetup(long streamId, const CString&, long seconds, long, long) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = streams_.find(streamId);
  if (it == streams_.end()) return -1;
  it->second->SetPreRecord(seconds);
  return 0;
}

long CCliptaCtrl::InputVideo(long streamId, const BYTE* data, long length, const BYTE* header,
                             long headerLength) {
  return Input(streamId, true, data, length, header, headerLength);
}

long CCliptaCtrl::InputAudio(long streamId, const BYTE* data, long length, const BYTE* header,
                             long headerLength) {
  return Input(streamId, false, data, length, header, headerLength);
}

long CCliptaCtrl::Input(long streamId, bool video, const BYTE* data, long length, const BYTE* header,
                        long headerLength) {
  if (!data || length < 1) return -1;
  FrameHeader frameHeader;
  const bool hasHeader = header && headerLength >= static_cast<long>(sizeof(FrameHeader));
  if (hasHeader) std::memcpy(&frameHeader, header, sizeof(frameHeader));
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = streams_.find(streamId);
  if (it == streams_.end() || !it->second->HasVideo()) return -1;
  it->second->Input(video, data, static_cast<size_t>(length), hasHeader ? &frameHeader : nullptr);
  for (long fileId : it->second->Finished()) fileStreams_.erase(fileId);
  for (const ClipFailure& failure : it->second->Failures()) {
    for (ICliptaEvents* sink : sinks_) {
      if (failure.opening) {
        sink->OnEvent2(failure.fileId, -failure.error);
      } else {
        sink->OnEvent1(failure.fileId, -failure.error);
      }
    }
  }
  return 0;
}

long CCliptaCtrl::BeginRecordFile(long streamId, const CString& folder, long preRecordSeconds,
                                  long durationSeconds, long fileLengthSeconds, long streamKind) {
  if (durationSeconds < 1 || fileLengthSeconds < 1 || (streamKind != 1 && streamKind != 2)) return -3;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = streams_.find(streamId);
  if (it == streams_.end() || !it->second->HasVideo()) return -1;
  const std::string ansiFolder = MakeRecordFolders(folder);
  if (ansiFolder.empty()) return -2;
  const long fileId = nextFileId_++;
  if (!it->second->Begin(fileId, ansiFolder, preRecordSeconds, durationSeconds, fileLengthSeconds,
                         streamKind)) {
    return -3;
  }
  fileStreams_[fileId] = streamId;
  return fileId;
}

long CCliptaCtrl::StopRecordFile(long fileId) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto f = fileStreams_.find(fileId);
  if (f == fileStreams_.end()) return -1;
  auto it = streams_.find(f->second);
  fileStreams_.erase(f);
  if (it != streams_.end()) it->second->Stop(fileId);
  return 0;
}

std::string CCliptaCtrl::CurrentFilePath(long fileId) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto f = fileStreams_.find(fileId);
  if (f == fileStreams_.end()) return {};
  auto it = streams_.find(f->second);
  return it == streams_.end() ? std::string() : it->second->CurrentPath(fileId);
}
