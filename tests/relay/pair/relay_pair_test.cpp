// Two Vemo instances on one machine: B is the real program serving a camera
// and recorder-made record files; A is this test process with the relay
// service's main-window handlers, the relay library and a record search page.
// A searches B's recordings by file and by day, plays a file and a day,
// downloads a file, moves B's camera, and B ends its serving threads when A
// stops, pauses or goes away; what B must refuse it refuses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDateTimeEdit>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "common/wait_for.h"
#include "core/rec_scheme.h"
#include "fake_device_process.h"
#include "h264_clip.h"
#include "pelk/pelk.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "platform/wnd.h"
#include "records/playback/replay_commands.h"
#include "records/search/playback_slots.h"
#include "records/search/search_page_support.h"
#include "records/search/search_rec_dlg.h"
#include "relay/pair/recorder_file.h"
#include "relay/pair/vemo_peer.h"
#include "relay/relay_callbacks.h"
#include "relay/relay_message_handler.h"
#include "relay/relay_record_page.h"
#include "relay/serving/relay_ptz_texts.h"
#include "shell/relay_record_page_adapter.h"
#include "ui/sort_list_ctrl.h"

namespace fs = std::filesystem;

namespace {

constexpr char kMacA[] = "02-00-00-00-00-0A";
constexpr int kYear = 2026, kMonth = 12, kDay = 10;
constexpr int k0800 = 8 * 3600;
constexpr int k0802 = 8 * 3600 + 120;
constexpr int kFileSeconds = 20;

std::vector<char> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(file), {});
}

// The page as the relay reaches it, counting what comes through on the way.
class CountingPage final : public IRelayRecordPage {
 public:
  explicit CountingPage(CSearchRecDlg& page) : inner_(page) {}

  std::atomic<int> replayFrames{0};
  std::atomic<int> dayFrames{0};
  std::atomic<int> ends{0};
  std::atomic<int> dayEnds{0};
  std::atomic<int> downloadsDone{0};
  std::atomic<int> startAnswers{0};
  std::mutex lock;
  std::vector<double> replayTimes;     // frame times of the file replay's video
  std::vector<DWORD> attachedStarts;   // the file starts that came with blocks (day replay)
  std::vector<double> attachedTimes;   // the frame times of those chunks
  std::vector<char> downloaded;
  std::vector<uint64_t> offsets;

  void OnSearchRecFileResult(const RelayReplaySearchResult* r) override { inner_.OnSearchRecFileResult(r); }
  void OnSearchRecByDateResult(const char* key, int channel, const char* map, int y, int m, int d) override {
    inner_.OnSearchRecByDateResult(key, channel, map, y, m, d);
  }
  void OnReplayMediaParam(const BYTE* v, const BYTE* a, int s, const char* n, const RelayReplaySession* session,
                          LONG login) override {
    ++startAnswers;
    inner_.OnReplayMediaParam(v, a, s, n, session, login);
  }
  void OnReplayFileEnd(const char* name) override {
    ++ends;
    inner_.OnReplayFileEnd(name);
  }
  void OnReplayByDateEnd(const char* key, int channel) override {
    ++dayEnds;
    inner_.OnReplayByDateEnd(key, channel);
  }
  void OnDownloadFinish(const char* name) override {
    ++downloadsDone;
    inner_.OnDownloadFinish(name);
  }
  void AddPendingRelaySearch(const ReplaySearchRequest* r, DWORD word) override { inner_.AddPendingRelaySearch(r, word); }
  LONG InputReplayData(LONG kind, const BYTE* data, LONG length, const RelayFrameInfo* info,
                       const char* name) override {
    if (kind == PELK_MEDIA_VIDEO) {
      std::lock_guard<std::mutex> guard(lock);
      replayTimes.push_back(info ? info->dTime : -1);
    }
    ++replayFrames;
    return inner_.InputReplayData(kind, data, length, info, name);
  }
  LONG InputReplayDataByDate(const char* key, DWORD unused, DWORD channel, LONG kind, const BYTE* data, LONG length,
                             const RelayFrameInfo* info, const BYTE* video, const BYTE* audio, LONG attached,
                             LONG seconds, DWORD start) override {
    if (attached) {
      std::lock_guard<std::mutex> guard(lock);
      attachedStarts.push_back(start);
      attachedTimes.push_back(info ? info->dTime : -1);
    }
    ++dayFrames;
    return inner_.InputReplayDataByDate(key, unused, channel, kind, data, length, info, video, audio, attached,
                                        seconds, start);
  }
  void OnDownloadData(const BYTE* data, LONG length, uint64_t received, uint64_t total, const char* name) override {
    {
      std::lock_guard<std::mutex> guard(lock);
      offsets.push_back(received);
      downloaded.insert(downloaded.end(), data, data + length);
      totalSize = total;
    }
    inner_.OnDownloadData(data, length, received, total, name);
  }
  uint64_t totalSize = 0;

 private:
  CRelayRecordPageAdapter inner_;
};

// This process as client A: its main window is a window that hands the relay
// messages to the relay service's handlers, and its record search page.
class ViewerWindow : public QWidget, public CWnd, public IRelayCallbackHost {
 public:
  ViewerWindow() : CWnd(this) {
    RelayHost host;
    host.LocalMac = [] { return std::string(kMacA); };
    host.MainWindow = [this] { return GetSafeHwnd(); };
    host.pRecordPage = &gate;
    handler = std::make_unique<CRelayMessageHandler>(host);
  }
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_RELAY_REPLAY_START_RESULT && wParam) {
      startStatuses.push_back(static_cast<int>(reinterpret_cast<RelayReplayStartResult*>(wParam)->dwStatus));
    }
    if (msg == WM_RELAY_REPLAY_SEARCH_RESULT && wParam) {
      searchStatuses.push_back(static_cast<int>(reinterpret_cast<RelayReplaySearchResult*>(wParam)->dwStatus));
    }
    if (msg == WM_RELAY_DOWNLOAD_FREE && wParam) {
      downloadStatuses.push_back(static_cast<int>(reinterpret_cast<RelayDownloadRecord*>(wParam)->dwStatus));
    }
    LRESULT result = 0;
    handler->HandleMessage(msg, wParam, lParam, &result);
    return result;
  }
  bool RelayClosing() const override { return false; }
  std::string RelayLocalMac() const override { return kMacA; }
  const RelayRecordPageGate* RelayRecordPage() const override { return &gate; }

  RelayRecordPageGate gate;
  std::unique_ptr<CRelayMessageHandler> handler;
  std::vector<int> startStatuses;
  std::vector<int> searchStatuses;
  std::vector<int> downloadStatuses;
};

bool Pump(const std::function<bool()>& done, int limitMs = 20000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

void PumpFor(int ms) {
  Pump([] { return false; }, ms);
}

class RelayPairTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::system("ffmpeg -hide_banner -version >/dev/null 2>&1") != 0) return;
    device_ = new FakeDeviceProcess(0, {"--user", "admin", "--password", "secret"});
    peer_ = new VemoPeer();
    // B's record files: two of 20 s on 2026-12-10, 08:00:00 and 08:02:00 (a gap between).
    const std::string day = peer_->DriveD() + "/Record/Gate/Local/Schedule/2026/12/10/";
    fs::create_directories(day);
    const H264Clip clip = MakeH264Clip(peer_->Folder().File(""), kFileSeconds, 352, 288, 25);
    if (clip.frames.empty() || !WriteRecorderFile(clip, day + "080000-av1.avi") ||
        !WriteRecorderFile(clip, day + "080200-av1.avi")) {
      return;
    }
    // A long file for a download that is still under way when A goes (about 7 s at B's pace).
    std::ofstream(day + "100000-av1.avi", std::ios::binary) << std::string(20 * 1024 * 1024, 'r');
    // A link in B's record tree that leads to B's own account file.
    fs::create_symlink(peer_->Folder().File("Config/UserInfo.xml"), day + "090000-av1.avi");
    ready_ = device_->Ready() && peer_->Start(device_->Port());
  }
  static void TearDownTestSuite() {
    delete peer_;
    peer_ = nullptr;
    delete device_;
    device_ = nullptr;
  }

  void SetUp() override {
    if (!ready_) GTEST_SKIP() << "B did not start" << (peer_ ? peer_->Output() : std::string());
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
    savedSchemes_ = g_lstRecSchemeInfo;
    g_lstRecSchemeInfo.clear();
    window_ = std::make_unique<ViewerWindow>();
    ASSERT_TRUE(searchpage::Show(main_, &page_));
    counting_ = std::make_unique<CountingPage>(*page_);
    window_->gate.Set(counting_.get());
    RegisterRelayCallbacks(window_->GetSafeHwnd(), window_.get());
    login_ = Pelk_Login("127.0.0.1", peer_->Port(), VemoPeer::kUser, VemoPeer::kDigest);
    ASSERT_NE(login_, 0);
    const LONG login = login_;
    page_->SetRelayLoginFinder([login](const char*, const char*) { return login; });
    page_->SetRelayServerNameFinder([](const char*, const char*, std::string* name) {
      *name = "Vemo B";
      return true;
    });
    std::snprintf(gate_.IPAddr, sizeof gate_.IPAddr, "127.0.0.1");
    std::snprintf(gate_.MACAddr, sizeof gate_.MACAddr, "%s", VemoPeer::kMac);
    std::snprintf(gate_.DevName, sizeof gate_.DevName, "Gate");
    gate_.nType = 1;
    gate_.nStream = 1;
  }
  void TearDown() override {
    if (!window_) return;
    if (HasFailure()) std::fprintf(stderr, "B's log:\n%s\n", peer_->Log().substr(peer_->Log().size() > 6000 ? peer_->Log().size() - 6000 : 0).c_str());
    page_->StopAllReplay();
    if (login_) Pelk_LoginOut(login_);
    // What the library posted before it let go of this window is handled (its
    // records given back); after that nothing is posted here any more.
    PumpFor(200);
    RegisterRelayCallbacks(nullptr, nullptr);
    PumpFor(100);
    window_->gate.Set(nullptr);
    page_->ReleasePlayers();
    delete page_;
    window_.reset();
    g_lstRecSchemeInfo = savedSchemes_;
  }

  std::string Key() const { return FormatDeviceKey(VemoPeer::kMac, "127.0.0.1"); }
  // A path as B's search lists it: its storage path ("D:" and a backslash),
  // then the Record tree.
  std::string BPath(const char* name) const {
    return "D:\\Record\\Gate\\Local\\Schedule\\2026\\12\\10\\" + std::string(name);
  }
  std::string BFile(const char* name) const {
    return peer_->DriveD() + "/Record/Gate/Local/Schedule/2026/12/10/" + name;
  }
  void SearchByFile() {
    ASSERT_TRUE(page_->SearchVssRecByDate(&gate_));  // file mode: the page's device
    auto setTime = [&](int id, int h, int m) {
      qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(id))->setDateTime(QDateTime(QDate(kYear, kMonth, kDay), QTime(h, m)));
    };
    setTime(CSearchRecDlg::IDC_FROM, 7, 0);
    setTime(CSearchRecDlg::IDC_TO, 8, 59);
    // B's files hold audio and video ("-av"): a search for video only leaves them out.
    qobject_cast<QComboBox*>(page_->GetDlgItem(CSearchRecDlg::IDC_MEDIA_TYPE))->setCurrentIndex(1);
    page_->OnBnClickedBtnSearch();
    ASSERT_TRUE(Pump([&] { return !page_->GetResults().empty(); }));
  }
  int Frames() const { return counting_->replayFrames; }
  // Frames that arrive within `ms` (the event loop running).
  int FramesWithin(int ms) {
    const int before = Frames();
    PumpFor(ms);
    return Frames() - before;
  }

  static inline VemoPeer* peer_ = nullptr;
  static inline FakeDeviceProcess* device_ = nullptr;
  static inline bool ready_ = false;
  QWidget main_;
  CSearchRecDlg* page_ = nullptr;
  std::unique_ptr<ViewerWindow> window_;
  std::unique_ptr<CountingPage> counting_;
  LONG login_ = 0;
  RelayDevice gate_;
  std::list<RecSchemeInfo*> savedSchemes_;
};

}  // namespace

TEST_F(RelayPairTest, SearchesBsRecordingsByFileAndByDay) {
  SearchByFile();
  const std::vector<RecFileItem>& results = page_->GetResults();
  ASSERT_EQ(results.size(), 2u);  // the link that leaves nothing but a file elsewhere is not a record
  std::vector<std::string> paths = {results[0].strFilePath, results[1].strFilePath};
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths[0], BPath("080000-av1.avi"));
  EXPECT_EQ(paths[1], BPath("080200-av1.avi"));
  EXPECT_EQ(results[0].strFileSize, std::to_string(fs::file_size(BFile("080000-av1.avi"))));
  EXPECT_EQ(page_->GetResultList()->GetItemCount(), 2);
  EXPECT_FALSE(page_->IsSearching());

  // By day: the row's map marks the recorded minutes of the day.
  page_->OnBnClickedBtnTimeMode();
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(kYear, kMonth, kDay));
  ASSERT_TRUE(page_->SearchVssRecByDate(&gate_));
  EXPECT_FALSE(page_->SearchVssRecByDate(&gate_));  // the channel has its row already
  ASSERT_TRUE(Pump([&] { return page_->Slots().vss[0].nYear == kYear; }));
  const VssPlaybackStatus& slot = page_->Slots().vss[0];
  EXPECT_EQ(slot.nDay, kDay);
  EXPECT_EQ(slot.szDayMap[480], 'A');
  EXPECT_EQ(slot.szDayMap[482], 'A');
  EXPECT_EQ(slot.szDayMap[479], 'C');
  EXPECT_EQ(slot.szDayMap[484], 'C');
}

TEST_F(RelayPairTest, PlaysAResultThroughPauseEverySpeedAndStop) {
  SearchByFile();
  page_->GetResultList()->SetItemStates(0, RLS_SELECTED);
  page_->OnDblClkResultList();
  ASSERT_TRUE(Pump([&] { return Frames() > 30; }));
  EXPECT_EQ(counting_->startAnswers, 1);
  ASSERT_NE(page_->GetPlayer(0), nullptr);
  EXPECT_TRUE(page_->GetPlayer(0)->IsPlaying());
  // For a person to look at: B's file in A's first player, the results beside.
  ASSERT_TRUE(Pump([&] { return page_->GetPlayer(0)->HasPicture(); }));
  const QString shots = QCoreApplication::applicationDirPath() + "/screenshots/";
  QDir().mkpath(shots);
  EXPECT_TRUE(page_->grab().save(shots + "relay_record_query.png"));
  const LONG player = CSearchRecDlg::kFirstPlayerId;

  page_->OnPlayerCommand(player, 2, 0);  // pause
  PumpFor(600);
  EXPECT_EQ(FramesWithin(800), 0);
  page_->OnPlayerCommand(player, 1, 0);  // continue
  EXPECT_GT(FramesWithin(1500), 0);
  // Each speed: slow 2 to 32, fast 2 to 32, then normal; frames keep coming.
  for (const auto& [command, value] : std::vector<std::pair<LONG, LONG>>{
           {4, 2}, {4, 4}, {4, 8}, {4, 16}, {8, 2}, {8, 4}, {8, 8}, {8, 16}, {8, 32}, {12, 0}}) {
    page_->OnPlayerCommand(player, command, value);
    EXPECT_TRUE(Pump([&, before = Frames()] { return Frames() > before; }, 5000)) << command << " " << value;
  }
  page_->OnPlayerCommand(player, 4, 32);  // 1/32: a video frame every 1.28 s
  PumpFor(1500);
  {
    std::lock_guard<std::mutex> guard(counting_->lock);
    counting_->replayTimes.clear();
  }
  PumpFor(2000);
  {
    std::lock_guard<std::mutex> guard(counting_->lock);
    EXPECT_LE(counting_->replayTimes.size(), 3u);
  }
  page_->OnPlayerCommand(player, 12, 0);
  // A seek of the player's bar: B goes on from that second's key-table entry.
  PumpFor(500);
  double reached = 0;
  {
    std::lock_guard<std::mutex> guard(counting_->lock);
    for (double t : counting_->replayTimes) reached = std::max(reached, t);
    counting_->replayTimes.clear();
  }
  ASSERT_GT(reached, 3000.0);  // the play is past second 3: a second 1 can only come from the seek
  page_->OnPlayerCommand(player, 9, 1);
  ASSERT_TRUE(Pump([&] {
    std::lock_guard<std::mutex> guard(counting_->lock);
    return std::any_of(counting_->replayTimes.begin(), counting_->replayTimes.end(),
                       [](double t) { return t < 2500; });
  }));
  page_->OnPlayerCommand(player, 3, 0);  // stop
  EXPECT_FALSE(page_->GetPlayer(0)->IsPlaying());
  EXPECT_EQ(page_->GetReplayFile(0), "");
  ASSERT_TRUE(Pump([&] { return peer_->Log().find("RemoveReplayThread(): id=") != std::string::npos; }));
}

TEST_F(RelayPairTest, PlaysADayAcrossTheGapAndSeeksByTheTimeLine) {
  page_->OnBnClickedBtnTimeMode();
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(kYear, kMonth, kDay));
  ASSERT_TRUE(page_->SearchVssRecByDate(&gate_));
  ASSERT_TRUE(Pump([&] { return page_->Slots().vss[0].nYear == kYear; }));
  page_->OnPlaybackDblClick(0, k0800 + 14);
  ASSERT_TRUE(Pump([&] { return counting_->dayFrames > 10; }));
  EXPECT_TRUE(page_->Slots().vss[0].bPlaying);
  // The first file from its second 14, then the next one after the gap.
  ASSERT_TRUE(Pump(
      [&] {
        std::lock_guard<std::mutex> guard(counting_->lock);
        return counting_->attachedStarts.size() >= 2;
      },
      30000));
  {
    std::lock_guard<std::mutex> guard(counting_->lock);
    EXPECT_EQ(counting_->attachedStarts[0], static_cast<DWORD>(k0800));
    EXPECT_NEAR(counting_->attachedTimes[0], 14000.0, 1500.0);
    EXPECT_EQ(counting_->attachedStarts[1], static_cast<DWORD>(k0802)) << ::testing::PrintToString(counting_->attachedStarts)
                                                                      << ::testing::PrintToString(counting_->attachedTimes);
  }
  // A seek on the time line while the day plays: back into the first file.
  page_->OnPlaybackDblClick(0, k0800 + 5);
  ASSERT_TRUE(Pump([&] {
    std::lock_guard<std::mutex> guard(counting_->lock);
    return counting_->attachedStarts.size() >= 3;
  }));
  {
    std::lock_guard<std::mutex> guard(counting_->lock);
    EXPECT_EQ(counting_->attachedStarts[2], static_cast<DWORD>(k0800));
    EXPECT_NEAR(counting_->attachedTimes[2], 5000.0, 1500.0);
  }
  page_->OnPlayerCommand(CSearchRecDlg::kFirstPlayerId, 3, 0);  // stop
  EXPECT_FALSE(page_->Slots().vss[0].bPlaying);
  ASSERT_TRUE(Pump([&] { return peer_->Log().find("RemoveByDateThread(): id=") != std::string::npos; }));
}

TEST_F(RelayPairTest, DownloadsAResultByteForByte) {
  const std::string path = BPath("080200-av1.avi");
  ASSERT_NE(Pelk_InviteDloadStart(login_, Key().c_str(), 1, 0, 1, path.c_str()), 0);
  ASSERT_TRUE(Pump([&] { return counting_->downloadsDone > 0; }, 60000));
  const std::vector<char> original = ReadBytes(BFile("080200-av1.avi"));
  std::lock_guard<std::mutex> guard(counting_->lock);
  EXPECT_EQ(counting_->totalSize, original.size());
  EXPECT_TRUE(counting_->downloaded == original);
  EXPECT_EQ(counting_->offsets.front(), 15360u);  // the bytes received so far, with the first piece
}

// The page's download of a checked result: pieces into "<name>.tmp" in the
// channel's save folder, renamed "<name>.avi" when the transfer is complete.
TEST_F(RelayPairTest, ThePageDownloadsACheckedResultIntoItsSaveFolder) {
  SearchByFile();
  const std::string folder = paths::NativePath(page_->GetSaveFolder());
  EXPECT_NE(page_->GetSaveFolder().find("\\Record\\VSS\\Vemo B\\Gate\\"), std::string::npos);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(paths::DriveFolder('D'));  // A's drive D (a drive is found, never made)
  int row = -1;
  for (int r = 0; r < page_->GetResultList()->GetItemCount(); ++r) {
    if (page_->GetResultList()->GetItemText(r, 0) == BPath("080200-av1.avi")) row = r;
  }
  ASSERT_GE(row, 0);
  page_->GetResultList()->SetCheck(row, TRUE);
  page_->OnBnClickedDownload();
  EXPECT_TRUE(page_->IsDownloading());
  ASSERT_TRUE(Pump([&] { return fs::exists(folder + "080200-av1.avi"); }, 60000));
  EXPECT_FALSE(fs::exists(folder + "080200-av1.tmp"));
  EXPECT_TRUE(ReadBytes(folder + "080200-av1.avi") == ReadBytes(BFile("080200-av1.avi")));
  EXPECT_TRUE(Pump([&] { return !page_->IsDownloading(); }));
}

TEST_F(RelayPairTest, MovesBsCameraWithTheRelaysOwnTexts) {
  const std::string key = Key();
  // B has logged in to its camera (the fake device) before it moves it.
  ASSERT_EQ(device_->Take("LOGIN", 20.0), "LOGIN admin ok");
  struct Case {
    std::function<LONG()> send;
    std::string text;
  };
  const Case cases[] = {
      {[&] { return Pelk_SetPtzDirection(login_, key.c_str(), 1, 0, 1, 5, 6); }, relayptz::DirectionText(1, 5, 6)},
      {[&] { return Pelk_SetPtzDirection(login_, key.c_str(), 1, 0, 9, 0, 0); }, relayptz::DirectionText(9, 0, 0)},
      {[&] { return Pelk_SetPtzAdvance(login_, key.c_str(), 1, 0, 28); }, relayptz::AuxText(28)},
      {[&] { return Pelk_SetPtzPreset(login_, key.c_str(), 1, 0, 3, "12"); },
       "<xml>\t\t\t\t\t\t\t   <cmd>callpreset</cmd>\t\t\t\t\t\t\t   <preset>12</preset>\t\t\t\t\t\t\t   </xml>"},
      {[&] { return Pelk_InvitePreset(login_, key.c_str(), 1, 0); }, relayptz::PresetListText()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.send(), 0);
    const std::string record = device_->Take("PTZ ", 20.0);
    EXPECT_EQ(record, "PTZ " + Hex(c.text)) << c.text;
  }
}

TEST_F(RelayPairTest, BRefusesFilesOutsideItsRecordTreesAndBadSearches) {
  const std::string key = Key();
  const std::string refused[] = {"/etc/passwd", BPath("..\\..\\..\\..\\..\\..\\Config\\UserInfo.xml"),
                                 BPath("090000-av1.avi"), BPath("080000-av1.AVI"), "D:\\Record\\none.avi"};
  for (const std::string& path : refused) {
    const size_t before = window_->startStatuses.size();
    Pelk_InviteReplayStart(login_, key.c_str(), 1, 0, 1, path.c_str());
    ASSERT_TRUE(Pump([&] { return window_->startStatuses.size() > before; })) << path;
    EXPECT_EQ(window_->startStatuses.back(), 1) << path;
    const size_t downloads = window_->downloadStatuses.size();
    Pelk_InviteDloadStart(login_, key.c_str(), 1, 0, 1, path.c_str());
    ASSERT_TRUE(Pump([&] { return window_->downloadStatuses.size() > downloads; })) << path;
    EXPECT_EQ(window_->downloadStatuses.back(), 1) << path;
  }
  EXPECT_EQ(counting_->startAnswers, 0);
  EXPECT_EQ(Frames(), 0);
  EXPECT_NE(peer_->Log().find("refused, /etc/passwd is no record file of this client."), std::string::npos);
  // A search with a time outside the relay's range is refused.
  const DATE start = -40000;  // 1790
  SYSTEMTIME end;
  end.wYear = kYear;
  end.wMonth = kMonth;
  end.wDay = kDay;
  Pelk_InviteReplaySearch(login_, key.c_str(), 2, 0, 1, 1, 1, 0, &start, &end, 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFE,
                          0xFFFFFFFF);
  ASSERT_TRUE(Pump([&] { return !window_->searchStatuses.empty(); }));
  EXPECT_EQ(window_->searchStatuses.back(), 1);
  // A wrong password logs nothing in.
  EXPECT_EQ(Pelk_Login("127.0.0.1", peer_->Port(), VemoPeer::kUser, "00000000000000000000000000000000"), 0);
}

// A paused replay, a day replay and a download run at B; A goes away (its
// login ends as a killed peer's connection does): B ends all three.
TEST_F(RelayPairTest, BEndsEveryServingThreadWhenAGoesAway) {
  const std::string key = Key();
  const std::string log = peer_->Log();
  auto count = [&](const char* what) {
    const std::string now = peer_->Log().substr(log.size());
    size_t n = 0;
    for (size_t at = now.find(what); at != std::string::npos; at = now.find(what, at + 1)) ++n;
    return n;
  };
  SearchByFile();
  page_->GetResultList()->SetItemStates(0, RLS_SELECTED);
  page_->OnDblClkResultList();
  ASSERT_TRUE(Pump([&] { return Frames() > 10; }));
  page_->OnPlayerCommand(CSearchRecDlg::kFirstPlayerId, 2, 0);  // pause
  // The day from 08:00:00, paused at once.
  Pelk_InviteReplayStartByDate(login_, key.c_str(), 0, replaycmd::DayDate(kYear, kMonth, kDay), k0800);
  ASSERT_TRUE(Pump([&] { return counting_->dayFrames > 0; }));
  Pelk_InviteReplayPauseByDate(login_, key.c_str(), 0);
  ASSERT_NE(Pelk_InviteDloadStart(login_, key.c_str(), 1, 0, 1, BPath("100000-av1.avi").c_str()), 0);
  ASSERT_TRUE(Pump([&] {
    std::lock_guard<std::mutex> guard(counting_->lock);
    return !counting_->downloaded.empty();
  }));
  EXPECT_EQ(count("RemoveReplayThread(): id=") + count("RemoveDownloadThread(): id=") +
                count("RemoveByDateThread(): id="),
            0u);  // all three still run
  Pelk_LoginOut(login_);
  login_ = 0;
  EXPECT_TRUE(Pump([&] { return count("RemoveReplayThread(): id=") == 1; }));
  EXPECT_TRUE(Pump([&] { return count("RemoveDownloadThread(): id=") == 1; }));
  EXPECT_TRUE(Pump([&] { return count("RemoveByDateThread(): id=") == 1; }));
}

// A search of the device's own recordings goes to B's camera (the fake device
// answers as an NVR would); B's record search page answers A from its list.
TEST_F(RelayPairTest, ASearchOfTheDevicesOwnRecordingsIsForwardedToIt) {
  const std::string key = Key();
  const DATE start = replaycmd::DayDate(2024, 1, 5) + 8.0 / 24;
  SYSTEMTIME end;
  end.wYear = 2024;
  end.wMonth = 1;
  end.wDay = 5;
  end.wHour = 9;
  ASSERT_NE(Pelk_InviteReplaySearch(login_, key.c_str(), 1, 0, 1, 2, 2, 3, &start, &end, 100, 0, 0xFFFFFFFE, 0xFFFFFFFF),
            0);
  ASSERT_TRUE(Pump([&] { return !window_->searchStatuses.empty(); }));
  EXPECT_EQ(window_->searchStatuses.back(), 0);
  ASSERT_EQ(page_->GetResults().size(), 2u);
  EXPECT_EQ(page_->GetResults()[0].strFilePath, "/mnt/sd1/rec/20240105/080000.avi");
  EXPECT_EQ(page_->GetResults()[1].strFileSize, "524288");
  // What B sent its device: the NVR file search in the relay's layout.
  const std::string sep = "\t\t\t\t   ";
  const std::string body = "<REQUEST_PARAM" + sep + "RecordMode=\"SCHEDULE\"" + sep + "StartTime=\"20240105 08:00:00\"" +
                           sep + "EndTime=\"20240105 09:00:00\"" + sep + "MediaType=\"AUDIOVIDEO\"" + sep +
                           "StreamIndex=\"1\"" + sep + "MinSize=\"100\"" + sep + "MaxSize=\"-1\"" + sep + "Page=\"3\"" +
                           sep + "/>";
  std::string record;  // B asked its camera other things too (its version at login)
  for (int i = 0; i < 5 && record.rfind("AUX 1021 ", 0) != 0; ++i) record = device_->Take("AUX", 10.0);
  EXPECT_NE(record.find("AUX 1021 "), std::string::npos) << record;
  EXPECT_NE(record.find(Hex(body)), std::string::npos) << record;
}
