#include "maker_test_support.h"
#include "common/wait_for.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <cstring>

long EventRecorder::OnStreamState(long, long state, long detail) {
  states.emplace_back(state, detail);
  return 0;
}

long EventRecorder::MediaRecv(long, long mediaType, const BYTE* data, long length) {
  lastMediaType = mediaType;
  lastMediaLength = length;
  if (mediaType == kMediaTypeParam && length == sizeof(MediaParamBlock)) {
    MediaParamBlock block;
    std::memcpy(&block, data, sizeof(block));
    media.push_back(block);
    if (onMedia) onMedia(block);
  }
  return 0;
}

static long Record(EventRecorder* recorder, long streamId, bool video, const BYTE* data, long length,
                   const BYTE* header, long headerLength) {
  RecordedFrame frame;
  frame.streamId = streamId;
  frame.video = video;
  frame.data.assign(data, data + length);
  if (headerLength == sizeof(FrameHeader)) std::memcpy(&frame.header, header, sizeof(FrameHeader));
  recorder->frames.push_back(frame);
  if (recorder->onFrame) recorder->onFrame(recorder->frames.back());
  return 0;
}

long EventRecorder::OnVideoFrame(long streamId, const BYTE* data, long length, const BYTE* header,
                                 long headerLength) {
  return Record(this, streamId, true, data, length, header, headerLength);
}

long EventRecorder::OnAudioFrame(long streamId, const BYTE* data, long length, const BYTE* header,
                                 long headerLength) {
  return Record(this, streamId, false, data, length, header, headerLength);
}

int EventRecorder::Count(long state) const {
  int n = 0;
  for (auto& s : states) n += s.first == state;
  return n;
}

int EventRecorder::VideoFrames() const {
  int n = 0;
  for (auto& f : frames) n += f.video;
  return n;
}

int EventRecorder::AudioFrames() const {
  int n = 0;
  for (auto& f : frames) n += !f.video;
  return n;
}


ProbeResult Ffprobe(const std::string& path) {
  ProbeResult result;
  QProcess probe;
  probe.start("ffprobe", {"-v", "error", "-count_frames", "-count_packets", "-show_entries",
                          "stream=codec_type,codec_name,nb_read_frames,nb_read_packets", "-of", "csv=p=0",
                          QString::fromStdString(path)});
  if (!probe.waitForFinished(30000) || probe.exitCode() != 0) return result;
  result.ok = true;
  for (const QString& line : QString::fromUtf8(probe.readAllStandardOutput()).split('\n')) {
    QStringList parts = line.trimmed().split(',');
    if (parts.size() < 4) continue;
    if (parts[1] == "video") {
      result.videoCodec = parts[0].toStdString();
      result.videoFrames = parts[2].toInt();
      result.videoPackets = parts[3].toInt();
    } else if (parts[1] == "audio") {
      result.audioCodec = parts[0].toStdString();
      result.audioFrames = parts[2].toInt();
      result.audioPackets = parts[3].toInt();
    }
  }
  return result;
}

bool FfmpegDecodesCleanly(const std::string& path, std::string* errors) {
  QProcess decode;
  decode.start("ffmpeg", {"-v", "error", "-nostdin", "-i", QString::fromStdString(path), "-f", "null", "-"});
  if (!decode.waitForFinished(60000)) return false;
  const QByteArray text = decode.readAllStandardError();
  if (errors) *errors = text.toStdString();
  return decode.exitCode() == 0 && text.trimmed().isEmpty();
}

int StreamThreadCount() {
  int count = 0;
  for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile comm("/proc/self/task/" + task + "/comm");
    if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "streva") ++count;
  }
  return count;
}

std::string PeersDir() { return VEMO_TEST_PEERS_DIR; }

std::vector<std::string> FilesIn(const std::string& folder, const std::string& suffix) {
  std::vector<std::string> files;
  for (const QString& name : QDir(QString::fromStdString(folder)).entryList(QDir::Files, QDir::Name)) {
    if (name.endsWith(QString::fromStdString(suffix))) files.push_back(folder + "/" + name.toStdString());
  }
  return files;
}
