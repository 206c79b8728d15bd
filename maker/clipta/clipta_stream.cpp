#include "clipta/clipta_stream.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "clipta/record_media.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "streva/media_blocks.h"

namespace {

double AudioIntervalMs(const AudioParamBlock& audio, size_t length) {
  if (audio.dwSampleRate == 0 || audio.byChannels == 0) return 40.0;
  if (audio.wCodec == kAudioCodecAac) return 1024.0 * 1000.0 / audio.dwSampleRate;
  return static_cast<double>(length) / audio.byChannels * 1000.0 / audio.dwSampleRate;
}

}  // namespace

bool CliptaStream::SetVideo(const VideoParamBlock& block) {
  if (mediablocks::VideoCodecId(block) == AV_CODEC_ID_NONE) return false;
  if (std::memcmp(&video_, &block, sizeof(block)) != 0) {
    // Frames of other parameters cannot start a file of these.
    buffer_.clear();
    bufferBytes_ = 0;
  }
  video_ = block;
  return true;
}

void CliptaStream::SetPreRecord(long seconds) {
  preSeconds_ = seconds > 0 ? seconds : 0;
  if (preSeconds_ == 0) {
    buffer_.clear();
    bufferBytes_ = 0;
  }
}

void CliptaStream::Input(bool video, const uint8_t* data, size_t length, const FrameHeader* header) {
  ClipFrame frame;
  frame.video = video;
  if (video) {
    frame.key = (header && (header->dwFlags & kFrameFlagKey)) ||
                mediablocks::IsKeyFrame(mediablocks::VideoCodecId(video_), data, length);
    frame.timeMs = videoClock_.Next(header, 1000.0 / mediablocks::FrameRate(video_));
  } else {
    frame.key = true;
    frame.timeMs = audioClock_.Next(header, AudioIntervalMs(audio_, length));
  }
  frame.data = std::make_shared<const std::vector<uint8_t>>(data, data + length);

  if (preSeconds_ > 0 && (!buffer_.empty() || (video && frame.key))) {
    buffer_.push_back(frame);
    bufferBytes_ += length;
    TrimBuffer();
  }
  const double nowMs = videoClock_.Last();
  for (auto it = recordings_.begin(); it != recordings_.end();) {
    Recording& recording = *it->second;
    Feed(recording, frame, nowMs);
    if (video && frame.timeMs >= recording.endMs) {
      finished_.push_back(it->first);
      it = recordings_.erase(it);  // closes the file
    } else {
      ++it;
    }
  }
}

// Keeps the buffer starting at the last key frame at or before newest - seconds.
void CliptaStream::TrimBuffer() {
  const double limit = buffer_.back().timeMs - preSeconds_ * 1000.0;
  size_t cut = 0;
  for (size_t i = 1; i < buffer_.size(); ++i) {
    const ClipFrame& frame = buffer_[i];
    if (frame.video && frame.key && frame.timeMs <= limit) cut = i;
    if (frame.video && frame.timeMs > limit) break;
  }
  while (bufferBytes_ > kMaxBufferBytes && cut + 1 < buffer_.size()) {
    // Over the byte bound: go on to the next key frame.
    size_t next = cut + 1;
    while (next < buffer_.size() && !(buffer_[next].video && buffer_[next].key)) ++next;
    if (next >= buffer_.size()) break;
    for (size_t i = cut; i < next; ++i) bufferBytes_ -= buffer_[i].data->size();
    cut = next;
  }
  for (size_t i = 0; i < cut; ++i) {
    bufferBytes_ -= buffer_.front().data->size();
    buffer_.pop_front();
  }
}

bool CliptaStream::Begin(long fileId, const std::string& ansiFolder, long preSeconds,
                         long durationSeconds, long fileLengthSeconds, long kind) {
  if (durationSeconds < 1 || fileLengthSeconds < 1 || !HasVideo()) return false;
  auto recording = std::make_unique<Recording>();
  recording->fileId = fileId;
  recording->folder = ansiFolder;
  recording->kind = kind;
  const double nowMs = videoClock_.Last();
  recording->startMs = nowMs;
  recording->endMs = nowMs + durationSeconds * 1000.0;
  recording->fileLengthMs = fileLengthSeconds * 1000.0;
  Recording& r = *recording;
  recordings_[fileId] = std::move(recording);
  if (preSeconds > 0 && !buffer_.empty()) {
    const double limit = buffer_.back().timeMs - preSeconds * 1000.0;
    size_t start = 0;
    for (size_t i = 0; i < buffer_.size(); ++i) {
      if (buffer_[i].video && buffer_[i].key && buffer_[i].timeMs <= limit) start = i;
    }
    for (size_t i = start; i < buffer_.size(); ++i) Feed(r, buffer_[i], nowMs);
  }
  return true;
}

bool CliptaStream::Stop(long fileId) { return recordings_.erase(fileId) > 0; }

std::vector<ClipFailure> CliptaStream::Failures() {
  std::vector<ClipFailure> failures;
  failures.swap(failures_);
  return failures;
}

std::vector<long> CliptaStream::Finished() {
  std::vector<long> finished;
  finished.swap(finished_);
  return finished;
}

std::string CliptaStream::CurrentPath(long fileId) const {
  auto it = recordings_.find(fileId);
  if (it == recordings_.end() || !it->second->writer.IsOpen()) return {};
  return it->second->writer.Path();
}

void CliptaStream::Feed(Recording& recording, const ClipFrame& frame, double nowMs) {
  const bool newFile = recording.waitingKey || frame.timeMs - recording.fileStartMs >= recording.fileLengthMs ||
                       !recording.writer.Fits(frame.data->size() + sizeof(video_.byExtra));
  if (frame.video && frame.key && newFile) {
    if (recording.waitingKey && frame.timeMs < recording.retryAfterMs) return;
    if (!OpenFile(recording, frame.timeMs, nowMs)) return;
  }
  if (recording.waitingKey) return;
  bool written = true;
  if (frame.video) {
    size_t length = 0;
    const uint8_t* chunk = recordmedia::VideoChunk(video_, frame.key, frame.data->data(), frame.data->size(),
                                                   scratch_, &length);
    if (!recording.writer.Fits(length)) {
      // Only a key frame can begin the next file.
      EndFile(recording, -1);
      return;
    }
    written = recording.writer.WriteVideo(chunk, length, frame.key, frame.timeMs);
  } else if (audio_.dwValid) {
    written = recording.writer.WriteAudio(frame.data->data(), frame.data->size(), frame.timeMs);
  }
  if (!written && recording.writer.Failed()) {
    failures_.push_back({recording.fileId, recording.writer.Error(), false});
    EndFile(recording, frame.timeMs);
  }
}

// Closes the current file; the recording goes on with a new file at a later
// key frame (after the retry pause when frameMs >= 0).
void CliptaStream::EndFile(Recording& recording, double frameMs) {
  recording.writer.Close();
  recording.waitingKey = true;
  if (frameMs >= 0) recording.retryAfterMs = frameMs + kRetryMs;
}

bool CliptaStream::OpenFile(Recording& recording, double firstFrameMs, double nowMs) {
  recording.writer.Close();
  recording.waitingKey = true;
  // Local time of the first frame.
  time_t start = time(nullptr) - static_cast<time_t>((nowMs - firstFrameMs) / 1000.0);
  struct tm local {};
  localtime_r(&start, &local);
  char stamp[16];
  std::snprintf(stamp, sizeof(stamp), "%02d%02d%02d", local.tm_hour, local.tm_min, local.tm_sec);
  const bool withAudio = audio_.dwValid != 0;
  std::string tail = std::string(withAudio ? "-av" : "-vv") + std::to_string(recording.kind) + ".avi";
  // The folder may have gone since the recording began: it is made again when
  // its parent is still there (a folder removed by hand), not when more is
  // gone (a disk taken away, whose place must not be filled on another disk).
  if (!FolderOrParentRemade(recording.folder)) {
    failures_.push_back({recording.fileId, ENOENT, true});
    recording.retryAfterMs = firstFrameMs + kRetryMs;
    return false;
  }
  std::string name = recording.folder + stamp + tail;
  for (int n = 1; fileapi::Exists(name) && n < 1000; ++n) {
    name = recording.folder + stamp + "-" + std::to_string(n) + tail;
  }
  if (!recording.writer.Open(paths::NativePath(name), recordmedia::Describe(video_, withAudio ? &audio_ : nullptr))) {
    failures_.push_back({recording.fileId, recording.writer.Error(), true});
    recording.retryAfterMs = firstFrameMs + kRetryMs;
    return false;
  }
  recording.waitingKey = false;
  recording.fileStartMs = firstFrameMs;
  return true;
}

bool FolderOrParentRemade(const std::string& folder) {
  std::string path = folder;
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  if (fileapi::IsDirectory(path)) return true;
  const size_t cut = path.find_last_of("\\/");
  if (cut == std::string::npos || cut == 0 || !fileapi::IsDirectory(path.substr(0, cut))) return false;
  return fileapi::MakeDirectory(path);
}

std::string MakeRecordFolders(const std::string& folder) {
  if (folder.empty()) return {};
  std::string path;
  std::string level;
  for (size_t i = 0; i <= folder.size(); ++i) {
    char c = i < folder.size() ? folder[i] : '\\';
    if (c == '/') c = '\\';
    path += c;
    if (c == '\\' && !level.empty()) {
      const std::string sofar = path.substr(0, path.size() - 1);
      const bool isDrive = sofar.size() == 2 && sofar[1] == ':';
      if (!isDrive && !fileapi::IsDirectory(sofar) && !fileapi::MakeDirectory(sofar)) return {};
      level.clear();
    } else if (c != '\\') {
      level += c;
    }
  }
  while (path.size() > 1 && path[path.size() - 2] == '\\' && path.back() == '\\') path.pop_back();
  return fileapi::IsDirectory(path.substr(0, path.size() - 1)) ? path : std::string();
}
