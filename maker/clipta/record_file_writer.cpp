#include "clipta/record_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "platform/file_api.h"

using namespace recordfile;

namespace {

constexpr uint64_t kFileLimit = 0xFFFFFFFFull;  // positions are 32-bit
constexpr size_t kIndexEntryBytes = 16;
constexpr size_t kChunkHeadBytes = 8;

// Writes all of it, retrying interrupted and partial writes.
bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t done = ::write(fd, data, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (done == 0) {
      errno = EIO;
      return false;
    }
    data += done;
    size -= static_cast<size_t>(done);
  }
  return true;
}

}  // namespace

RecordFileWriter::~RecordFileWriter() { Close(); }

bool RecordFileWriter::Open(const std::string& nativePath, const Media& media) {
  Close();
  path_ = nativePath;
  media_ = media;
  if (media_.frameRate == 0) media_.frameRate = 1;
  moviPos_ = MoviPosition(media_);
  buffer_.clear();
  buffer_.reserve(kFlushBytes + 64 * 1024);
  index_.clear();
  writtenEntries_ = 0;
  failed_ = false;
  error_ = 0;
  videoFrames_ = audioChunks_ = 0;
  videoBytes_ = audioBytes_ = 0;
  largestChunk_ = 0;
  lastFlushMs_ = firstVideoMs_ = lastVideoMs_ = 0;

  fd_ = ::open(nativePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    error_ = errno;
    return false;
  }
  fileapi::LockForWriting(fd_);  // housekeeping leaves a file in use alone
  const std::vector<uint8_t> header = BuildHeader(media_);
  if (!WriteAll(fd_, header.data(), header.size())) {
    error_ = errno;
    ::close(fd_);
    fd_ = -1;
    ::unlink(nativePath.c_str());
    return false;
  }
  written_ = header.size();
  return true;
}

bool RecordFileWriter::Fits(size_t length) const {
  const uint64_t end = written_ + buffer_.size() + kChunkHeadBytes + length;
  const uint64_t index = kChunkHeadBytes + (index_.size() + 1) * kIndexEntryBytes;
  return end + index + kChunkHeadBytes <= kFileLimit;
}

bool RecordFileWriter::WriteVideo(const uint8_t* data, size_t length, bool key, double timeMs) {
  if (!WriteChunk("00dc", data, length, key ? kIndexKeyFlag : 0, timeMs)) return false;
  if (videoFrames_ == 0) firstVideoMs_ = timeMs;
  lastVideoMs_ = timeMs;
  ++videoFrames_;
  videoBytes_ += length;
  return true;
}

bool RecordFileWriter::WriteAudio(const uint8_t* data, size_t length, double timeMs) {
  if (!TwoStreams(media_)) return false;
  if (!WriteChunk("01wb", data, length, kIndexKeyFlag, timeMs)) return false;
  ++audioChunks_;
  audioBytes_ += length;
  return true;
}

bool RecordFileWriter::WriteChunk(const char* code, const uint8_t* data, size_t length, uint32_t flags,
                                  double timeMs) {
  if (fd_ < 0 || failed_ || !data || length == 0 || !Fits(length)) return false;
  const uint64_t at = written_ + buffer_.size();
  IndexEntry entry;
  std::memcpy(entry.code, code, 4);
  entry.flags = flags;
  entry.offset = static_cast<uint32_t>(at - moviPos_);
  entry.length = static_cast<uint32_t>(length);
  index_.push_back(entry);
  uint8_t head[kChunkHeadBytes];
  std::memcpy(head, code, 4);
  PutLe32(head + 4, static_cast<uint32_t>(length));
  buffer_.insert(buffer_.end(), head, head + kChunkHeadBytes);
  buffer_.insert(buffer_.end(), data, data + length);
  if (length > largestChunk_) largestChunk_ = static_cast<uint32_t>(length);
  if (buffer_.size() >= kFlushBytes || timeMs - lastFlushMs_ >= kFlushIntervalMs || timeMs < lastFlushMs_) {
    lastFlushMs_ = timeMs;
    return Flush();
  }
  return true;
}

bool RecordFileWriter::Flush() {
  if (fd_ < 0 || failed_) return false;
  if (buffer_.empty()) return true;
  if (!WriteBuffer()) return false;
  PatchSizes(written_, written_);
  return true;
}

bool RecordFileWriter::WriteBuffer() {
  if (!WriteAll(fd_, buffer_.data(), buffer_.size())) {
    Fail(errno);
    return false;
  }
  // A file removed under the writer takes every later byte with it: stop here.
  struct stat info {};
  if (::fstat(fd_, &info) == 0 && info.st_nlink == 0) {
    Fail(ENOENT);
    return false;
  }
  written_ += buffer_.size();
  writtenEntries_ = index_.size();
  buffer_.clear();
  return true;
}

// Back to the last whole chunk on disk; later writes are refused.
void RecordFileWriter::Fail(int error) {
  if (!failed_) error_ = error;
  failed_ = true;
  buffer_.clear();
  index_.resize(writtenEntries_);
  if (fd_ >= 0) {
    written_ = index_.empty() ? HeaderSize(media_)
                              : moviPos_ + index_.back().offset + kChunkHeadBytes + index_.back().length;
    if (::ftruncate(fd_, static_cast<off_t>(written_)) != 0 || ::lseek(fd_, 0, SEEK_END) < 0) {
      written_ = HeaderSize(media_);
      index_.clear();
      writtenEntries_ = 0;
    }
    PatchSizes(written_, written_);
  }
}

bool RecordFileWriter::PatchU32(uint64_t at, uint32_t value) {
  uint8_t bytes[4];
  PutLe32(bytes, value);
  return ::pwrite(fd_, bytes, 4, static_cast<off_t>(at)) == 4;
}

// The movi list first: a size that covers only whole chunks is sound at every moment.
void RecordFileWriter::PatchSizes(uint64_t moviEnd, uint64_t fileEnd) {
  PatchU32(moviPos_ - 4, static_cast<uint32_t>(moviEnd - moviPos_));
  PatchU32(4, static_cast<uint32_t>(fileEnd - 8));
}

uint32_t RecordFileWriter::FinalFrameRate() const {
  const uint32_t nominal = media_.frameRate;
  if (videoFrames_ < 2 || lastVideoMs_ <= firstVideoMs_) return nominal;
  // A source that sends fewer (or more) frames than it announces would give the
  // file a wrong length: its measured rate counts when it differs by over 10 %.
  const double measured = (videoFrames_ - 1) * 1000.0 / (lastVideoMs_ - firstVideoMs_);
  if (std::fabs(measured - nominal) <= nominal * 0.1) return nominal;
  const long rounded = std::lround(measured);
  return static_cast<uint32_t>(rounded < 1 ? 1 : rounded > 240 ? 240 : rounded);
}

void RecordFileWriter::FinishHeader(uint64_t moviEnd, uint64_t fileEnd) {
  PatchSizes(moviEnd, fileEnd);
  const uint32_t rate = FinalFrameRate();
  const uint32_t frames = static_cast<uint32_t>(videoFrames_);
  PatchU32(kAvihMicroSecPerFrame, 1000000 / rate);
  PatchU32(kAvihMaxBytesPerSec, frames ? static_cast<uint32_t>(videoBytes_ * rate / frames) : 0);
  PatchU32(kAvihTotalFrames, frames);
  PatchU32(kAvihSuggestedBuffer, largestChunk_ + kChunkHeadBytes);
  PatchU32(kVideoStrhRate, rate);
  PatchU32(kVideoStrhLength, frames);
  PatchU32(kVideoStrhSuggestedBuffer, largestChunk_ + kChunkHeadBytes);
  if (TwoStreams(media_)) {
    const uint64_t blocks = media_.audio == AudioKind::kAac ? audioChunks_ : audioBytes_ / (media_.channels ? media_.channels : 1);
    PatchU32(kAudioStrhLength, static_cast<uint32_t>(blocks));
  }
}

void RecordFileWriter::Close() {
  if (fd_ < 0) return;
  if (!failed_) Flush();
  if (index_.empty()) {
    ::close(fd_);
    fd_ = -1;
    ::unlink(path_.c_str());
    return;
  }
  // The index of the chunks on disk.
  const uint64_t moviEnd = written_;
  std::vector<uint8_t> tail(kChunkHeadBytes + index_.size() * kIndexEntryBytes);
  std::memcpy(tail.data(), "idx1", 4);
  PutLe32(&tail[4], static_cast<uint32_t>(index_.size() * kIndexEntryBytes));
  uint8_t* out = &tail[kChunkHeadBytes];
  for (const IndexEntry& entry : index_) {
    std::memcpy(out, entry.code, 4);
    PutLe32(out + 4, entry.flags);
    PutLe32(out + 8, entry.offset);
    PutLe32(out + 12, entry.length);
    out += kIndexEntryBytes;
  }
  if (!TwoStreams(media_)) {
    const uint64_t length = moviEnd + tail.size();
    if (length >= kShortFileFirst && length <= kShortFileLast) {
      const size_t junk = std::max<size_t>(kShortFileMinimum - length, kChunkHeadBytes);
      const size_t at = tail.size();
      tail.resize(at + junk, 0);
      std::memcpy(&tail[at], "JUNK", 4);
      PutLe32(&tail[at + 4], static_cast<uint32_t>(junk - kChunkHeadBytes));
    }
  }
  uint64_t end = moviEnd + tail.size();
  if (!WriteAll(fd_, tail.data(), tail.size())) {
    // No room for the index: the chunks stay readable without it.
    if (!failed_) error_ = errno;
    failed_ = true;
    if (::ftruncate(fd_, static_cast<off_t>(moviEnd)) != 0 && error_ == 0) error_ = errno;
    end = moviEnd;
  }
  FinishHeader(moviEnd, end);
  ::close(fd_);
  fd_ = -1;
}
