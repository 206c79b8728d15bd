// The alarm road, timed, the way the program takes an alarm: the device-
// messaging control's event sink posts WM_DEVALARM to a stand-in of the main
// window, which hands it to the alarm panel (row, sound, log line, relay
// report) and, with the alarm action on, to the linkage window with its pane.
//
//   alarm_bench latency [alarms=10]
//       A fake ONVIF camera on 127.0.0.1 (its pictures from the RTSP test
//       server) raises motion events. For each: from the event reaching the
//       control's sink (and from the command to the camera, which adds the
//       control's event pull) to the panel's row and the sound's start, and to
//       the linkage window's first decoded picture, once with the camera
//       watched by no pane (the linkage pane opens the stream) and once with it
//       playing in a grid pane (the linkage pane takes the open stream).
//   alarm_bench flood [devices=64] [per second=100] [seconds=30]
//       Every device raises that many alarms a second for that long, delivered
//       by the control's sink on the window thread as the control delivers
//       them. Reports the window thread's longest stall (a probe thread posts
//       an event every 5 ms), whether every alarm is in the day files, and the
//       resident memory before, at the end, after the log worker's next save
//       and after a second flood. The machine's load average is printed with
//       it: a stall on a busy machine may be the scheduler's.
//   alarm_bench search [days=15] [per day=2000] [runs=20]
//       One device's alarms in that many day files: the search over the whole
//       span (median and slowest run), and the search page's query that also
//       lists every result.
#include <QApplication>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "alarm_map_wall/alarm/alm_act_dlg.h"
#include "alarm_map_wall/alarm/log/alarm_log_queue.h"
#include "alarm_map_wall/alarm/log/alarm_log_reader.h"
#include "alarm_map_wall/alarm/search/alarm_search.h"
#include "alarm_map_wall/alarm/search/search_alarm_dlg.h"
#include "common/temp_folder.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/res_msg_dlg.h"
#include "fake_device_process.h"
#include "gimbro/gimbro.h"
#include "live/grid/video_wnd.h"
#include "live/live_messages.h"
#include "live/streams/gimbro_events.h"
#include "live/streams/rtsp_events.h"
#include "maker/gimbro/gimbro_link.h"
#include "platform/dialog_template.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "platform/wnd.h"
#include "rtsp_test_server.h"
#include "streva/streva_ctrl.h"
#include "tessaly/tessaly_ctrl.h"
#include "ui/sort_list_ctrl.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Pump(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool PumpUntil(const std::function<bool()>& done, int limitMs, int stepMs = 1) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > limitMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, stepMs);
    if (!done()) std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

long RssKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The program folder of the run: its templates, texts and sounds stay the
// build's; the alarm logs go to a folder of its own.
struct ProgramFolder {
  TempFolder folder;
  std::string build = paths::ProgramFolder();
  ProgramFolder() {
    dlgtemplate::SetFolder(dlgtemplate::Folder());
    stringtable::SetFolder(paths::NativePath(build + "Lang/"));
    LoadLanguageLibrary("LangEn.dll");
    for (int n = 1; n <= 5; ++n) {
      const std::string name = "Alarm" + std::to_string(n) + ".wav";
      std::filesystem::copy_file(paths::NativePath(build + name), folder.File(name));
    }
    paths::SetProgramFolder(folder.Path());
  }
};

// The main window's part of the road: WM_DEVALARM -> the device by its id -> the panel.
class MainStandIn : public QWidget, public CWnd {
 public:
  MainStandIn() : CWnd(this) {}
  CAlarmListDlg* panel = nullptr;
  std::function<void()> afterAlarm;
  int handled = 0;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg != WM_DEVALARM) return CWnd::OnMessage(msg, wParam, lParam);
    for (DevInfo& dev : g_lstDevInfo) {
      if (dev.GimbroId == static_cast<int>(wParam)) {
        panel->AddAlarm(&dev, reinterpret_cast<const GimbroAlarmRecord*>(lParam));
        break;
      }
    }
    ++handled;
    if (afterAlarm) afterAlarm();
    return 0;
  }
};

// The sink as the program installs it, noting when each alarm reached it.
class TimedSink : public CGimbroEvents {
 public:
  Clock::time_point lastAlarm;
  LONG AlarmRecv(LONG id, const GimbroAlarmRecord* alarm) override {
    lastAlarm = Clock::now();
    return CGimbroEvents::AlarmRecv(id, alarm);
  }
};

// --- latency -------------------------------------------------------------------

int Latency(int alarms) {
  ProgramFolder program;
  RtspTestServer rtsp;
  if (!rtsp.Start(std::string(VEMO_TEST_PEERS_DIR) + "/rtsp_server.py", 0, true)) {
    std::fprintf(stderr, "the RTSP test server did not start\n");
    return 1;
  }
  FakeOnvifCamera camera(0, {"--password", "pw", "--rtsp-main", QString::fromStdString(rtsp.Url("/h264")),
                             "--rtsp-sub", QString::fromStdString(rtsp.Url("/mpeg4cif"))});
  if (!camera.Ready()) return 1;
  GimbroTimingsForNewLinks().eventPullSeconds = 1;

  MainStandIn main;
  CAlarmListDlg panel(&main);
  CAlmActDlg linkage(nullptr);
  linkage.Create(CAlmActDlg::IDD, nullptr);
  panel.SetLinkageWindow(&linkage);
  panel.Create(CAlarmListDlg::IDD, &main);
  panel.ToggleSoundSwitch();  // the alarm action is on
  main.panel = &panel;
  main.resize(1024, 768);
  main.show();

  CStrevaCtrl streva;
  CGimbroCtrl gimbro;
  TimedSink sink;
  sink.SetMainWindow(main.GetSafeHwnd());
  gimbro.Advise(&sink);
  DevInfo gate;
  CopyFixedText(gate.DevName, "Gate");
  CopyFixedText(gate.DevId, "gate");
  CopyFixedText(gate.IPAddr, "127.0.0.1");
  gate.DevType = 1;
  gate.VideoPort = rtsp.Port();
  gate.RtpOverRtsp = 1;
  gate.PtzPort = camera.Port();
  gate.nOnline = 1;
  CRtspEvents mainStream(nullptr, &streva), subStream(nullptr, &streva);
  streva.Advise(&mainStream);
  streva.Advise(&subStream);
  gate.pRtspEvent1 = &mainStream;
  gate.pRtspEvent2 = &subStream;
  gate.pGimbroCtrl = &gimbro;
  gate.GimbroId = gimbro.AddDevice("127.0.0.1", camera.Port(), "admin", "pw");
  g_lstDevInfo.push_back(gate);
  if (!PumpUntil([&] { return camera.Command("subscriptions") == "OK 1"; }, 30000, 20)) {
    std::fprintf(stderr, "the camera's events are not subscribed\n");
    return 1;
  }

  CVideoWnd grid(&main, FALSE, FALSE);
  grid.Create(CVideoWnd::IDD, &main);
  grid.SetWndPos(0, 0, 644, 364);
  grid.show();

  std::vector<double> sinkToRow, commandToRow, sinkToSound, sinkToPicture[2], commandToSink;
  Clock::time_point rowAt, soundAt;
  main.afterAlarm = [&] {
    rowAt = Clock::now();
    if (!panel.Sounds().Playing().empty()) soundAt = rowAt;
  };
  for (int watched = 0; watched < 2; ++watched) {
    if (watched) {
      grid.AddWatch(&g_lstDevInfo.front());
      PumpUntil([&] { return grid.RenderingStream() && grid.RenderingStream()->Player(1) &&
                             grid.RenderingStream()->Player(1)->HasPicture(); }, 30000);
    }
    for (int i = 0; i < alarms; ++i) {
      linkage.OnClose();
      Pump(300);
      camera.Command("motion off");
      Pump(1500);  // the control has pulled the end of the motion
      const int handled = main.handled;
      const Clock::time_point commanded = Clock::now();
      camera.Command("motion on");
      if (!PumpUntil([&] { return main.handled > handled; }, 15000)) {
        std::fprintf(stderr, "alarm %d did not arrive\n", i);
        continue;
      }
      const Clock::time_point arrived = sink.lastAlarm;
      CVideoWnd* pane = linkage.Pane();
      const bool shown = PumpUntil([&] {
        const CRtspEvents* events = pane->RenderingStream();
        const CTessalyCtrl* player = events ? (events->Player(2) ? events->Player(2) : events->Player(1)) : nullptr;
        return player && player->HasPicture() && player->PicturesDecoded() > 0;
      }, 10000);
      const Clock::time_point pictured = Clock::now();

      commandToSink.push_back(Ms(arrived - commanded));
      sinkToRow.push_back(Ms(rowAt - arrived));
      commandToRow.push_back(Ms(rowAt - commanded));
      sinkToSound.push_back(Ms(soundAt - arrived));
      if (shown) sinkToPicture[watched].push_back(Ms(pictured - arrived));
    }
  }
  std::printf("alarm latency over %d motion events each (sound %s)\n", alarms,
              panel.Sounds().IsSilent() ? "silent: no sound device" : "on the sound device");
  auto line = [](const char* what, const std::vector<double>& v, double target) {
    if (v.empty()) {
      std::printf("  %-58s  none\n", what);
      return;
    }
    const double worst = *std::max_element(v.begin(), v.end());
    std::printf("  %-58s  median %7.1f ms  max %7.1f ms  (target %5.0f ms, ratio %.2f)\n", what, Median(v), worst,
                target, worst / target);
  };
  line("control's sink -> panel row", sinkToRow, 200);
  line("control's sink -> sound started", sinkToSound, 200);
  line("control's sink -> linkage picture (stream opened by it)", sinkToPicture[0], 1000);
  line("control's sink -> linkage picture (stream a grid plays)", sinkToPicture[1], 1000);
  std::printf("  (the camera's event pull: command -> sink median %.0f ms; command -> row median %.0f ms)\n",
              Median(commandToSink), Median(commandToRow));
  grid.StopWatch(TRUE);
  linkage.OnClose();
  panel.StopLogWorker();
  gimbro.Release();
  mainStream.StopAllThread();
  subStream.StopAllThread();
  g_lstDevInfo.clear();
  return 0;
}

// --- flood ---------------------------------------------------------------------

class StallProbe {
 public:
  explicit StallProbe(QObject* receiver) : receiver_(receiver) {
    thread_ = std::thread([this] {
      while (!stop_) {
        const auto sent = Clock::now();
        QMetaObject::invokeMethod(receiver_, [this, sent] {
          const double late = Ms(Clock::now() - sent);
          double seen = worst_.load();
          while (late > seen && !worst_.compare_exchange_weak(seen, late)) {}
        }, Qt::QueuedConnection);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
  }
  ~StallProbe() {
    stop_ = true;
    thread_.join();
  }
  double TakeWorst() { return worst_.exchange(0); }

 private:
  QObject* receiver_;
  std::atomic<bool> stop_{false};
  std::atomic<double> worst_{0};
  std::thread thread_;
};

size_t LoggedAlarms(const std::string& program) {
  size_t count = 0;
  const std::string alarms = paths::NativePath(program + "Alarm");
  for (const auto& day : std::filesystem::directory_iterator(alarms)) {
    for (const auto& file : std::filesystem::directory_iterator(day.path())) {
      std::vector<AlarmLogRecord> records;
      ReadAlarmDayFile(paths::FromNativePath(file.path().string()), records);
      count += records.size();
    }
  }
  return count;
}

int Flood(int devices, int perSecond, int seconds) {
  ProgramFolder program;
  MainStandIn main;
  CAlarmListDlg panel(&main);
  panel.Create(CAlarmListDlg::IDD, &main);
  main.panel = &panel;
  main.show();
  g_bAlarmAudio = 1;  // every alarm rings its class
  CGimbroEvents sink;
  sink.SetMainWindow(main.GetSafeHwnd());
  for (int d = 0; d < devices; ++d) {
    DevInfo dev;
    CopyFixedText(dev.DevName, ("Camera " + std::to_string(d + 1)).c_str());
    CopyFixedText(dev.IPAddr, ("10.0.0." + std::to_string(d + 1)).c_str());
    dev.DevType = d % 2;
    dev.GimbroId = d + 1;
    g_lstDevInfo.push_back(dev);
  }
  Pump(200);
  const long rssStart = RssKb();
  StallProbe probe(&main);
  auto run = [&](int round) {
    // Every 10 ms each device's share of its alarms, as the control's sink gets them.
    const int perTick = std::max(1, perSecond / 100);
    const int ticks = seconds * 100;
    GimbroAlarmRecord alarm;
    alarm.year = 2026;
    alarm.month = 1;
    alarm.day = 5;
    alarm.hour = 10;
    const Clock::time_point start = Clock::now();
    for (int tick = 0; tick < ticks; ++tick) {
      const Clock::time_point due = start + std::chrono::milliseconds(10 * tick);
      while (Clock::now() < due) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        std::this_thread::sleep_for(std::chrono::microseconds(300));
      }
      for (int d = 0; d < devices; ++d) {
        for (int k = 0; k < perTick; ++k) {
          alarm.type = 12 + (tick + k) % 6;  // video lost ... free space: every sound but the silent ones
          alarm.second = (tick / 100) % 60;
          alarm.minute = round;
          sink.AlarmRecv(d + 1, &alarm);
        }
      }
    }
    PumpUntil([] { return false; }, 300);  // the last posts are handled
    return Ms(Clock::now() - start);
  };
  const double took = run(0);
  const double stall = probe.TakeWorst();
  const long rssEnd = RssKb();
  const size_t queued = panel.LogQueue()->Pending();
  PumpUntil([&] { return panel.LogQueue()->Pending() == 0; }, 30000, 20);  // the worker's next save
  Pump(1000);
  const long rssSaved = RssKb();
  run(1);
  const double stall2 = probe.TakeWorst();
  PumpUntil([&] { return panel.LogQueue()->Pending() == 0; }, 30000, 20);
  Pump(1000);
  const long rssSecond = RssKb();
  panel.StopLogWorker();
  const size_t expected = static_cast<size_t>(devices) * std::max(1, perSecond / 100) * 100 * seconds * 2;
  const size_t logged = LoggedAlarms(paths::ProgramFolder());
  std::printf("alarm flood: %d devices x %d alarms/s x %d s, twice (%zu alarms; %.1f s a round)\n", devices,
              std::max(1, perSecond / 100) * 100, seconds, expected, took / 1000);
  double load[3] = {};
  getloadavg(load, 3);
  std::printf("  load average %.1f over %u cores\n", load[0], std::thread::hardware_concurrency());
  std::printf("  window thread's longest stall   %7.1f ms (second round %.1f ms; target 50 ms, ratio %.2f)\n",
              stall, stall2, std::max(stall, stall2) / 50);
  std::printf("  alarms in the day files         %zu of %zu (%s)\n", logged, expected,
              logged == expected ? "all" : "MISSING");
  std::printf("  queued when the round ended     %zu\n", queued);
  std::printf("  resident memory                 %ld kB before, %ld kB at the end, %ld kB after the save, "
              "%ld kB after a second round\n", rssStart, rssEnd, rssSaved, rssSecond);
  g_lstDevInfo.clear();
  return logged == expected ? 0 : 1;
}

// --- search --------------------------------------------------------------------

int64_t LocalTime(int year, int month, int day, int hour = 0) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}

int Search(int days, int perDay, int runs) {
  ProgramFolder program;
  for (int d = 0; d < days; ++d) {
    AlarmLogQueue::Options options;
    options.programFolder = paths::ProgramFolder();
    const int64_t day = LocalTime(2026, 1, 1 + d);
    options.clock = [day] { return day + 12 * 3600; };
    AlarmLogQueue queue(options);
    for (int i = 0; i < perDay; ++i) {
      const int64_t at = day + static_cast<int64_t>(i) * 86400 / perDay;
      queue.Push({"Gate", at, 12 + i % 6, "Motion Detect"});
      queue.Push({"Other camera", at, 14, "Motion Detect"});  // another device's file of the day
    }
    queue.Save();
  }
  AlarmQuery query;
  query.device = "Gate";
  query.start = LocalTime(2026, 1, 1);
  query.end = LocalTime(2026, 1, days, 23) + 3599;
  std::vector<double> times;
  size_t found = 0;
  for (int r = 0; r < runs; ++r) {
    const Clock::time_point start = Clock::now();
    found = SearchAlarmLogs(paths::ProgramFolder(), query).size();
    times.push_back(Ms(Clock::now() - start));
  }
  // The page: the same query with every result listed.
  QWidget main;
  CSearchAlarmDlg page(&main);
  page.Create(CSearchAlarmDlg::IDD, &main);
  DevInfo gate;
  CopyFixedText(gate.DevName, "Gate");
  page.SetLocalDevice(&gate);
  qobject_cast<QDateTimeEdit*>(page.GetDlgItem(CSearchAlarmDlg::IDC_START))
      ->setDateTime(QDateTime::fromSecsSinceEpoch(query.start));
  qobject_cast<QDateTimeEdit*>(page.GetDlgItem(CSearchAlarmDlg::IDC_END))
      ->setDateTime(QDateTime::fromSecsSinceEpoch(query.end));
  const Clock::time_point start = Clock::now();
  page.OnBnClickedQuery();
  const double pageMs = Ms(Clock::now() - start);
  std::printf("alarm search: one device, %d days x %d alarms (and another device's files)\n", days, perDay);
  std::printf("  search                          median %6.1f ms, slowest %6.1f ms over %d runs, %zu found "
              "(target 100 ms, ratio %.2f)\n", Median(times), *std::max_element(times.begin(), times.end()), runs,
              found, Median(times) / 100);
  std::printf("  the page's query with its list  %6.1f ms (%d rows)\n", pageMs, page.GetList()->GetItemCount());
  return found == static_cast<size_t>(days) * perDay ? 0 : 1;
}

int Arg(int argc, char** argv, int i, int fallback) { return argc > i ? std::atoi(argv[i]) : fallback; }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "latency") return Latency(Arg(argc, argv, 2, 10));
  if (mode == "flood") return Flood(Arg(argc, argv, 2, 64), Arg(argc, argv, 3, 100), Arg(argc, argv, 4, 30));
  if (mode == "search") return Search(Arg(argc, argv, 2, 15), Arg(argc, argv, 3, 2000), Arg(argc, argv, 4, 20));
  std::fprintf(stderr, "alarm_bench latency [alarms] | flood [devices] [per second] [seconds] | search [days] [per day] [runs]\n");
  return 2;
}
