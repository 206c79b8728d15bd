#include "morvik/morvik_playback.h"

#include <chrono>
#include <cstdio>

#include "morvik/morvik_media.h"

namespace {

constexpr int kFrameBufferSize = 512000;  // the largest chunk a record file holds
constexpr int kMaxSkippedChunks = 100000; // a file that only yields chunks to skip has ended

std::mutex g_factoryMutex;
MorvikFileSourceFactory g_factory;

MorvikFileSourceFactory Factory() {
  std::lock_guard<std::mutex> lock(g_factoryMutex);
  return g_factory;
}

bool ValidFactor(LONG value) {
  return value == 2 || value == 4 || value == 8 || value == 16 || value == 32;
}

// Frames per second of playback at a speed.
double PlayRate(uint32_t frameRate, LONG speed) {
  if (speed > 1) return static_cast<double>(frameRate) * speed;
  if (speed < -1) return static_cast<double>(frameRate) / -speed;
  return frameRate;
}

}  // namespace

void Morvik_SetFileSourceFactory(MorvikFileSourceFactory factory) {
  std::lock_guard<std::mutex> lock(g_factoryMutex);
  g_factory = std::move(factory);
}

MorvikPlayback::~MorvikPlayback() { Close(); }

MorvikPlayback::State MorvikPlayback::Snapshot() const {
  std::lock_guard<std::mutex> lock(state_);
  return s_;
}

DecodedPicture MorvikPlayback::NewestPicture() const {
  std::lock_guard<std::mutex> lock(pictureMutex_);
  return picture_;
}

QImage MorvikPlayback::LastPicture() const {
  const DecodedPicture picture = NewestPicture();
  if (!picture) return QImage();
  std::lock_guard<std::mutex> lock(convertMutex_);
  return scaler_.Convert(*picture, PictureSize(*picture));
}

void MorvikPlayback::SetOutput(MorvikOutput* output) {
  std::lock_guard<std::mutex> lock(outputMutex_);
  if (!outputClosed_) output_ = output;
}

// --- handing out ---

uint64_t MorvikPlayback::PictureEpoch() {
  std::lock_guard<std::mutex> lock(outputMutex_);
  return epoch_;
}

void MorvikPlayback::ShowPicture(DecodedPicture picture, uint64_t epoch) {
  std::lock_guard<std::mutex> lock(outputMutex_);
  if (outputClosed_ || epoch != epoch_) return;
  {
    std::lock_guard<std::mutex> pictureLock(pictureMutex_);
    picture_ = std::move(picture);
  }
  picturesShown_.fetch_add(1, std::memory_order_relaxed);
  if (output_) output_->PictureReady();
}

void MorvikPlayback::ClearPicture() {
  std::lock_guard<std::mutex> lock(outputMutex_);
  ++epoch_;
  {
    std::lock_guard<std::mutex> pictureLock(pictureMutex_);
    picture_.reset();
  }
  if (output_) output_->PictureCleared();
}

void MorvikPlayback::Emit(LONG eventId, LONG a, LONG b, LONG c, const std::string& text) {
  std::lock_guard<std::mutex> lock(outputMutex_);
  if (output_) output_->Event(eventId, a, b, c, text);
}

void MorvikPlayback::EmitState(const State& state) {
  const LONG play = !state.playing ? 0 : state.paused ? 2 : 1;
  const LONG factor = state.speed < 0 ? -state.speed : state.speed;
  Emit(kMorvikEventState, play, factor, state.speed < -1 ? 1 : 0);
}

void MorvikPlayback::ReportPosition(LONG second) {
  {
    std::lock_guard<std::mutex> lock(state_);
    if (s_.closed || second == s_.position) return;
    s_.position = second;
  }
  Emit(kMorvikEventNotify, kMorvikNotifyPosition, 0, 0, std::to_string(second));
}

// --- decoders ---

DecodedPicture MorvikPlayback::DecodeVideo(const BYTE* data, size_t length) {
  std::lock_guard<std::mutex> lock(decodeMutex_);
  DecodedPicture decoded;
  if (!video_.IsOpen() || !video_.Decode(data, length, &decoded)) return nullptr;
  return decoded;
}

void MorvikPlayback::CloseDecoders() {
  std::lock_guard<std::mutex> lock(decodeMutex_);
  video_.Close();
  audio_.Close();
}

LONG MorvikPlayback::SetMediaParam(const char* base64, LONG size, LONG kind) {
  if (kind != kMorvikMediaVideo && kind != kMorvikMediaAudio) return -1;
  {
    std::lock_guard<std::mutex> lock(state_);
    if (s_.closed || s_.file) return -1;
  }
  std::vector<uint8_t> block;
  if (!morvikmedia::DecodeParamText(base64, size, &block)) return -1;
  bool ok = false;
  if (kind == kMorvikMediaVideo) {
    morvikmedia::VideoFormat format;
    VideoParamBlock decoderBlock;
    if (morvikmedia::ReadVideoParam(block.data(), block.size(), &format) &&
        morvikmedia::ToDecoderBlock(format, &decoderBlock)) {
      std::lock_guard<std::mutex> lock(decodeMutex_);
      ok = video_.Open(decoderBlock);
    }
  } else {
    morvikmedia::AudioFormat format;
    AudioParamBlock decoderBlock;
    if (morvikmedia::ReadAudioParam(block.data(), block.size(), &format) &&
        morvikmedia::ToDecoderBlock(format, &decoderBlock)) {
      std::lock_guard<std::mutex> lock(decodeMutex_);
      ok = audio_.Open(decoderBlock);
    }
  }
  std::lock_guard<std::mutex> lock(state_);
  if (kind == kMorvikMediaVideo) {
    s_.videoSet = ok;
  } else {
    s_.audioSet = ok;
  }
  return ok ? 0 : -1;
}

// --- fed frames ---

LONG MorvikPlayback::Input(bool video, const BYTE* data, LONG length, const BYTE* header, LONG headerLength) {
  if (!data || length < 1) return -1;
  State state;
  {
    std::lock_guard<std::mutex> lock(state_);
    if (s_.closed || s_.file) return -1;
    if (video ? !s_.videoSet : !s_.audioSet) return -1;
    state = s_;
  }
  const uint64_t epoch = PictureEpoch();
  if (video) {
    DecodedPicture picture = DecodeVideo(data, static_cast<size_t>(length));
    if (state.playing) {
      const double ms = morvikmedia::FrameTimeMs(header, headerLength);
      if (ms >= 0) ReportPosition(static_cast<LONG>(ms / 1000));
      if (picture && !state.paused) ShowPicture(std::move(picture), epoch);
    }
    return 0;
  }
  if (!state.playing || state.paused || state.speed != 1 || state.options[kMorvikOptionSound] != 0) return 0;
  QByteArray pcm;
  int rate = 0;
  int channels = 0;
  {
    std::lock_guard<std::mutex> lock(decodeMutex_);
    if (!audio_.IsOpen() || !audio_.Decode(data, static_cast<size_t>(length), &pcm)) return 0;
    rate = audio_.SampleRate();
    channels = audio_.Channels();
  }
  std::lock_guard<std::mutex> lock(outputMutex_);
  if (output_ && epoch == epoch_) output_->Sound(pcm, rate, channels);
  return 0;
}

LONG MorvikPlayback::Play() {
  State state;
  {
    std::lock_guard<std::mutex> lock(state_);
    if (s_.closed) return -1;
    s_.playing = true;
    s_.paused = false;
    state = s_;
  }
  wake_.notify_all();
  EmitState(state);
  return 0;
}

// --- stopping ---

void MorvikPlayback::StopFile() {
  std::thread thread;
  {
    std::lock_guard<std::mutex> lock(state_);
    fileStop_ = true;
    ++generation_;
    thread = std::move(fileThread_);
  }
  wake_.notify_all();
  if (thread.joinable()) thread.join();
  std::lock_guard<std::mutex> lock(state_);
  fileStop_ = false;
  seekTo_ = -1;
  s_.file = false;
}

LONG MorvikPlayback::Stop() {
  std::lock_guard<std::mutex> control(fileControl_);
  StopFile();
  CloseDecoders();
  ClearPicture();
  State state;
  {
    std::lock_guard<std::mutex> lock(state_);
    if (s_.closed) return -1;
    s_.playing = false;
    s_.paused = false;
    s_.videoSet = false;
    s_.audioSet = false;
    s_.speed = 1;
    s_.runState = 0;
    s_.startPosition = -1;
    s_.position = -1;
    state = s_;
  }
  EmitState(state);
  return 0;
}

void MorvikPlayback::Close() {
  {
    std::lock_guard<std::mutex> lock(outputMutex_);
    output_ = nullptr;
    outputClosed_ = true;
  }
  {
    std::lock_guard<std::mutex> lock(state_);
    s_.closed = true;
    s_.playing = false;
  }
  std::lock_guard<std::mutex> control(fileControl_);
  StopFile();
  CloseDecoders();
  std::lock_guard<std::mutex> pictureLock(pictureMutex_);
  picture_.reset();
}

// --- files ---

LONG MorvikPlayback::OpenFile(const char* path) {
  if (!path || !*path) return -1;
  std::lock_guard<std::mutex> control(fileControl_);
  bool keepPicture = false;
  {
    std::lock_guard<std::mutex> lock(state_);
    if (s_.closed) return -1;
    keepPicture = s_.options[kMorvikOptionContinuous] != 0;
  }
  StopFile();
  CloseDecoders();
  if (!keepPicture) ClearPicture();

  MorvikFileSourceFactory factory = Factory();
  std::unique_ptr<IMorvikFileSource> source = factory ? factory() : nullptr;
  std::vector<BYTE> videoBlock;
  std::vector<BYTE> audioBlock;
  morvikmedia::VideoFormat videoFormat;
  VideoParamBlock videoDecoder;
  bool opened = source && source->Open(path);
  if (opened) {
    source->MediaInfo(&videoBlock, &audioBlock);
    opened = morvikmedia::ReadVideoParam(videoBlock.data(), videoBlock.size(), &videoFormat) &&
             morvikmedia::ToDecoderBlock(videoFormat, &videoDecoder);
  }
  bool audioSet = false;
  if (opened) {
    std::lock_guard<std::mutex> lock(decodeMutex_);
    opened = video_.Open(videoDecoder);
    morvikmedia::AudioFormat audioFormat;
    AudioParamBlock audioDecoder;
    if (opened && morvikmedia::ReadAudioParam(audioBlock.data(), audioBlock.size(), &audioFormat) &&
        morvikmedia::ToDecoderBlock(audioFormat, &audioDecoder)) {
      audioSet = audio_.Open(audioDecoder);
    }
  }
  State state;
  {
    std::lock_guard<std::mutex> lock(state_);
    s_.playing = opened;
    s_.paused = false;
    s_.file = opened;
    s_.videoSet = opened;
    s_.audioSet = audioSet;
    s_.speed = 1;
    s_.startPosition = -1;
    s_.position = -1;
    s_.pieceLength = opened ? source->Seconds() : 0;
    state = s_;
    if (opened) {
      const uint32_t rate = videoFormat.frameRate ? videoFormat.frameRate : 25;
      fileThread_ = std::thread(&MorvikPlayback::FileLoop, this, std::move(source), rate, generation_);
    }
  }
  if (!opened) {
    CloseDecoders();
    return -1;
  }
  EmitState(state);
  return 0;
}

void MorvikPlayback::FileLoop(std::unique_ptr<IMorvikFileSource> source, uint32_t frameRate,
                              uint64_t generation) {
  using Clock = std::chrono::steady_clock;
  std::vector<BYTE> buffer(kFrameBufferSize);
  LONG base = 0;            // second the counting starts from (after a seek)
  long videoFrames = 0;     // video frames shown since `base`
  Clock::time_point clockStart = Clock::now();
  long clockFrames = 0;     // frames paced since clockStart
  LONG clockSpeed = 1;
  int skipped = 0;
  bool ended = false;
  for (;;) {
    LONG seek = -1;
    LONG speed = 1;
    bool sound = true;
    {
      std::unique_lock<std::mutex> lock(state_);
      bool waited = false;
      while (!fileStop_ && s_.paused && seekTo_ < 0) {
        wake_.wait(lock);
        waited = true;
      }
      if (fileStop_ || generation != generation_) return;
      seek = seekTo_;
      seekTo_ = -1;
      speed = s_.speed;
      sound = s_.options[kMorvikOptionSound] == 0;
      if (waited || speed != clockSpeed) {
        clockStart = Clock::now();
        clockFrames = 0;
        clockSpeed = speed;
      }
    }
    if (seek >= 0 && source->SeekSecond(seek)) {
      base = seek;
      videoFrames = 0;
      clockStart = Clock::now();
      clockFrames = 0;
    }
    int isVideo = 0;
    int isKey = 0;
    const int length = source->ReadFrame(buffer.data(), kFrameBufferSize, &isVideo, &isKey);
    if (length < 0 || (length == 0 && ++skipped > kMaxSkippedChunks)) {
      ended = true;
      break;
    }
    if (length == 0) continue;
    skipped = 0;
    const uint64_t epoch = PictureEpoch();
    if (!isVideo) {
      if (speed != 1 || !sound) continue;
      QByteArray pcm;
      int rate = 0;
      int channels = 0;
      {
        std::lock_guard<std::mutex> lock(decodeMutex_);
        if (!audio_.IsOpen() || !audio_.Decode(buffer.data(), static_cast<size_t>(length), &pcm)) continue;
        rate = audio_.SampleRate();
        channels = audio_.Channels();
      }
      std::lock_guard<std::mutex> lock(outputMutex_);
      if (output_ && epoch == epoch_) output_->Sound(pcm, rate, channels);
      continue;
    }
    if (DecodedPicture picture = DecodeVideo(buffer.data(), static_cast<size_t>(length))) {
      ShowPicture(std::move(picture), epoch);
    }
    ++videoFrames;
    ReportPosition(base + static_cast<LONG>(videoFrames / static_cast<long>(frameRate)));
    // Pace: the next frame is due one frame interval (at the play speed) later.
    ++clockFrames;
    const auto due = clockStart + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(clockFrames / PlayRate(frameRate, speed)));
    std::unique_lock<std::mutex> lock(state_);
    wake_.wait_until(lock, due, [&] {
      return fileStop_ || generation != generation_ || seekTo_ >= 0 || s_.paused || s_.speed != speed;
    });
  }
  if (!ended) return;
  State state;
  {
    std::lock_guard<std::mutex> lock(state_);
    if (fileStop_ || generation != generation_ || s_.closed) return;
    s_.playing = false;
    s_.file = false;
    state = s_;
  }
  Emit(kMorvikEventNotify, kMorvikNotifyPieceEnd, 0, 0, std::string());
  EmitState(state);
}

LONG MorvikPlayback::SetPlaySeconds(LONG kind, LONG seconds) {
  std::lock_guard<std::mutex> lock(state_);
  if (s_.closed || seconds < 0) return -1;
  if (kind == kMorvikPieceLength) {
    s_.pieceLength = seconds;
    return 0;
  }
  if (kind != kMorvikStartPosition) return -1;
  s_.startPosition = seconds;
  if (s_.file) {
    seekTo_ = seconds;
    wake_.notify_all();
  }
  return 0;
}

LONG MorvikPlayback::SetRunState(LONG state) {
  std::lock_guard<std::mutex> lock(state_);
  if (s_.closed) return -1;
  s_.runState = state;
  return 0;
}

LONG MorvikPlayback::SetPlayOption(LONG option, LONG value) {
  std::lock_guard<std::mutex> lock(state_);
  if (s_.closed) return -1;
  s_.options[option] = value;
  return 0;
}

// --- the bar's commands ---

void MorvikPlayback::Command(LONG command, LONG value) {
  State state;
  bool changed = false;
  bool stop = false;
  {
    std::lock_guard<std::mutex> lock(state_);
    if (s_.closed) return;
    const State before = s_;
    switch (command) {
      case kMorvikCmdContinue: s_.paused = false; break;
      case kMorvikCmdPause: s_.paused = s_.playing; break;
      case kMorvikCmdSlow:
        if (ValidFactor(value)) s_.speed = -value;
        break;
      case kMorvikCmdFast:
        if (ValidFactor(value)) s_.speed = value;
        break;
      case kMorvikCmdNormal: s_.speed = 1; break;
      case kMorvikCmdSeek:
        if (s_.file && value >= 0) seekTo_ = value;
        break;
      case kMorvikCmdStop: stop = s_.file; break;
      default: break;
    }
    changed = before.paused != s_.paused || before.speed != s_.speed;
    state = s_;
  }
  wake_.notify_all();
  if (stop) Stop();
  if (changed) EmitState(state);
  Emit(kMorvikEventCommand, command, value);
}
