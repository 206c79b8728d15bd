// Four players of the record query page play four 640x360 25 fps recordings in
// step, the way a user starts them: four day rows, "Four-screen Sync Playback"
// from the files' first second. The files are written by the recorder's own
// file writer (a libx264 test picture, one key frame a second). Measured per
// player, first at normal speed and then at the fastest speed (each player's
// bar set to fast by 32):
//   CPU     percent of one core (this process's CPU over the four players)
//   shown   pictures decoded and handed to the player's window, per second
//   painted pictures the windows painted, per second
// and beside it four ffmpeg processes decoding the same files with one decoder
// thread each, as the players do (`-re` at normal speed, as fast as they can
// for the fastest speed); the ratio compares CPU per picture.
//
//   playback_bench [seconds=10] [file seconds=120]
#include <QAbstractButton>
#include <QApplication>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPaintEvent>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <string>
#include <thread>
#include <vector>

#include "clipta/record_file_writer.h"
#include "core/rec_scheme.h"
#include "ffmpeg_reference.h"
#include "h264_clip.h"
#include "maker/morvik/morvik.h"
#include "maker/morvik/morvik_bar.h"
#include "platform/string_table.h"
#include "records/search/rec_tree.h"
#include "records/search/search_rec_dlg.h"

namespace {

constexpr int kPlayers = 4;
constexpr int kFrameRate = 25;
constexpr int kFastFactor = 32;
constexpr int kStartSecond = 8 * 3600;  // the files begin at 08:00:00

void Pump(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

template <class Pred>
bool PumpUntil(Pred pred, int ms) {
  QElapsedTimer wait;
  wait.start();
  while (!pred()) {
    if (wait.elapsed() > ms) return false;
    Pump(20);
  }
  return true;
}

// Counts the paints of the players' pictures (a paint of the bar alone is not counted).
class PaintCounter : public QObject {
 public:
  unsigned long long paints = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    auto* player = dynamic_cast<CPlayBackAtl*>(watched);
    if (player && static_cast<QPaintEvent*>(event)->rect().intersects(player->PictureRect())) ++paints;
    return false;
  }
};

// Writes the clip as a record file through the recorder's writer.
bool WriteRecording(const std::string& path, const H264Clip& clip) {
  recordfile::Media media;
  media.width = static_cast<uint32_t>(clip.width);
  media.height = static_cast<uint32_t>(clip.height);
  media.frameRate = static_cast<uint32_t>(clip.frameRate);
  RecordFileWriter writer;
  if (!writer.Open(path, media)) return false;
  for (size_t i = 0; i < clip.frames.size(); ++i) {
    if (!writer.WriteVideo(clip.frames[i].data(), clip.frames[i].size(), clip.keys[i],
                           static_cast<double>(i) * 1000.0 / clip.frameRate)) {
      return false;
    }
  }
  writer.Close();
  return true;
}

struct Figures {
  double cpu = 0;      // per player, percent of one core
  double shown = 0;    // per player and second
  double painted = 0;  // per player and second
  double seconds = 0;  // measured wall time
};

class FourPlayers {
 public:
  explicit FourPlayers(std::vector<DevInfo>* devices) {
    main_.resize(1920, 1080);
    page_ = new CSearchRecDlg(&main_);
    page_->Create(CSearchRecDlg::IDD, &main_);
    page_->setGeometry(0, 0, 1920, 1080);
    page_->show();
    main_.show();
    Click(CSearchRecDlg::IDC_TIME_MODE);
    qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
    for (DevInfo& dev : *devices) page_->SetSearchDevInfo(&dev);
  }
  ~FourPlayers() { page_->ReleasePlayers(); }

  bool Start() {
    Click(CSearchRecDlg::IDC_SYNC_CHECK);
    qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_SYNC_TIME))
        ->setTime(QTime(kStartSecond / 3600, 0, 0));
    Click(CSearchRecDlg::IDC_SYNC_PLAY);
    if (!PumpUntil([&] { return Playing() == kPlayers && WithPicture() == kPlayers; }, 30000)) return false;
    for (int p = 0; p < kPlayers; ++p) page_->GetPlayer(p)->installEventFilter(&counter_);
    return true;
  }

  int Playing() const {
    int n = 0;
    for (int p = 0; p < kPlayers; ++p) n += page_->GetPlayer(p)->IsPlaying() != 0;
    return n;
  }
  int WithPicture() const {
    int n = 0;
    for (int p = 0; p < kPlayers; ++p) n += page_->GetPlayer(p)->HasPicture();
    return n;
  }
  unsigned long long Shown() const {
    unsigned long long n = 0;
    for (int p = 0; p < kPlayers; ++p) n += page_->GetPlayer(p)->Engine()->PicturesShown();
    return n;
  }
  void Fast() {
    for (int p = 0; p < kPlayers; ++p) page_->GetPlayer(p)->Engine()->Command(kMorvikCmdFast, kFastFactor);
  }

  // Measures while `running` holds, at most `ms`.
  template <class Pred>
  Figures Measure(int ms, Pred running) {
    const unsigned long long shown0 = Shown();
    const unsigned long long paints0 = counter_.paints;
    const double cpu0 = benchref::CpuSecondsSelf();
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < ms && running()) Pump(10);
    Figures f;
    f.seconds = static_cast<double>(wall.elapsed()) / 1000.0;
    f.cpu = (benchref::CpuSecondsSelf() - cpu0) / f.seconds / kPlayers * 100.0;
    f.shown = static_cast<double>(Shown() - shown0) / f.seconds / kPlayers;
    f.painted = static_cast<double>(counter_.paints - paints0) / f.seconds / kPlayers;
    return f;
  }

 private:
  void Click(int id) { qobject_cast<QAbstractButton*>(page_->GetDlgItem(id))->click(); }

  QWidget main_;
  CSearchRecDlg* page_ = nullptr;  // owned by main_
  PaintCounter counter_;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  const int fileSeconds = argc > 2 ? std::atoi(argv[2]) : 120;
  if (fileSeconds < seconds + 10) {
    std::fprintf(stderr, "the files must be at least 10 s longer than the measurement\n");
    return 2;
  }
  if (!LoadLanguageLibrary("LangEn.dll")) {
    std::fprintf(stderr, "the string tables are missing\n");
    return 1;
  }

  // Four devices, each with one recording of the day from 08:00:00.
  RecTree tree;
  const std::string storage = tree.Storage("d1");
  RecSchemeInfo& scheme = tree.AddScheme(storage);
  std::vector<DevInfo> devices;
  const H264Clip clip = MakeH264Clip(tree.Storage(""), fileSeconds, 640, 360, kFrameRate);
  if (clip.frames.empty()) {
    std::fprintf(stderr, "ffmpeg made no clip\n");
    return 1;
  }
  std::vector<std::string> files;
  size_t bytes = 0;
  for (int i = 0; i < kPlayers; ++i) {
    const std::string name = "cam" + std::to_string(i + 1);
    devices.push_back(MakeDevice(1, name.c_str(), ("10.0.0." + std::to_string(i + 1)).c_str()));
    scheme.lstDev.push_back(devices.back());
    files.push_back(tree.DayFolder(storage, name, "Schedule", 2024, 1, 5) + "080000-vv1.avi");
    if (!WriteRecording(files.back(), clip)) {
      std::fprintf(stderr, "cannot write %s\n", files.back().c_str());
      return 1;
    }
  }
  for (const auto& frame : clip.frames) bytes += frame.size();
  const std::list<RecSchemeInfo*> saved = g_lstRecSchemeInfo;
  g_lstRecSchemeInfo = tree.Schemes();
  const double frames = static_cast<double>(clip.frames.size());
  std::printf("4 players, 4 record files of 640x360 %d fps H.264, %d s (%.0f kbit/s), %u cores\n", kFrameRate,
              fileSeconds, static_cast<double>(bytes) * 8 / 1000 / fileSeconds, std::thread::hardware_concurrency());

  Figures normal;
  Figures fast;
  {
    FourPlayers run(&devices);
    if (!run.Start()) {
      std::fprintf(stderr, "the four players did not start\n");
      return 1;
    }
    Pump(2000);  // warm-up
    std::fprintf(stderr, "measuring at normal speed for %d s\n", seconds);
    normal = run.Measure(seconds * 1000, [] { return true; });
    std::fprintf(stderr, "measuring at the fastest speed\n");
    run.Fast();
    fast = run.Measure(600000, [&] { return run.Playing() > 0; });
  }
  g_lstRecSchemeInfo = saved;

  // ffmpeg: at the file's own rate, then as fast as it decodes.
  const double refNormal = benchref::FfmpegProcessesCpuPerStream(kPlayers, seconds, [&](int i) {
    return std::vector<std::string>{"-nostdin", "-v", "error", "-threads", "1", "-re", "-i", files[i], "-f", "null", "-"};
  });
  double refWall = 0;
  const double refCpu = benchref::FfmpegProcessesCpuToEnd(kPlayers, [&](int i) {
    return std::vector<std::string>{"-nostdin", "-v", "error", "-threads", "1", "-i", files[i], "-f", "null", "-"};
  }, &refWall);
  const double refFastPerFrame = refCpu / (frames * kPlayers);
  const double refFastFps = refWall > 0 ? frames / refWall : 0;

  const double refNormalPerFrame = refNormal / 100.0 / kFrameRate;
  const double oursNormalPerFrame = normal.shown > 0 ? normal.cpu / 100.0 / normal.shown : 0;
  const double oursFastPerFrame = fast.shown > 0 ? fast.cpu / 100.0 / fast.shown : 0;
  std::printf("%-8s | %9s %9s %9s %10s | %14s %10s %10s | %7s\n", "speed", "CPU/plyr", "shown/s", "painted/s",
              "ms/picture", "ffmpeg CPU/str", "ffmpeg f/s", "ms/picture", "ours/ff");
  std::printf("%-8s | %8.2f%% %9.1f %9.1f %10.3f | %13.2f%% %10.1f %10.3f | %7.2f\n", "normal", normal.cpu,
              normal.shown, normal.painted, oursNormalPerFrame * 1000, refNormal, double(kFrameRate),
              refNormalPerFrame * 1000, refNormalPerFrame > 0 ? oursNormalPerFrame / refNormalPerFrame : 0.0);
  std::printf("%-8s | %8.2f%% %9.1f %9.1f %10.3f | %13.2f%% %10.1f %10.3f | %7.2f\n", "fast x32", fast.cpu, fast.shown,
              fast.painted, oursFastPerFrame * 1000, refWall > 0 ? refCpu / refWall / kPlayers * 100 : 0.0,
              refFastFps, refFastPerFrame * 1000, refFastPerFrame > 0 ? oursFastPerFrame / refFastPerFrame : 0.0);
  std::printf("fast run: %.1f s until the four files ended\n", fast.seconds);
  return 0;
}
