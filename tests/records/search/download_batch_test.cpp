// The download batch of the record search page without its window: the rows
// it takes in turn, the NVR progress polls, the relay pieces and file names.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/paths.h"
#include "records/search/downloads/download_batch.h"
#include "records/search/downloads/download_files.h"

namespace {

TEST(DownloadFiles, NamesComeFromEitherKindOfPath) {
  struct Case {
    const char* path;
    const char* base;
    const char* tmp;
    const char* nvr;
  };
  const Case cases[] = {
      {"D:\\Record\\Cam1\\Local\\Schedule\\2024\\5\\3\\081500.avi", "081500.avi", "F\\081500.tmp", ""},
      {"/mnt/sd1/ch1/Schedule/20240105/080000.avi", "080000.avi", "F\\080000.tmp", "F\\080000.avi"},
      {"/home/vemo/Record/cam/a.b.avi", "a.b.avi", "F\\a.b.tmp", "F\\a.b.avi"},
      {"D:\\mixed/dir\\name", "name", "F\\name.tmp", ""},
      {"D:\\dot.dir\\noext", "noext", "F\\noext.tmp", ""},
      {"plain.avi", "plain.avi", "F\\plain.tmp", ""},
      {"/", "", "F\\.tmp", "F\\"},
      {"", "", "F\\.tmp", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(downloads::BaseName(c.path), c.base);
    EXPECT_EQ(downloads::RelayTmpPath("F\\", c.path), c.tmp);
    EXPECT_EQ(downloads::NvrLocalPath("F\\", c.path), c.nvr);
  }
}

// NVR files are named by their time of day: a name that is taken already
// gets the file's day in front, then a number; the copy of a file is found
// again by its length among the names it may have got.
TEST(DownloadFiles, AnNvrFileNeverTakesTheNameOfAFileThatIsThere) {
  TempFolder folder;
  const std::string save = paths::FromNativePath(folder.Path());
  auto put = [&](const char* name, size_t bytes) {
    QFile file(QString::fromStdString(folder.File(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(std::string(bytes, 'x').c_str(), static_cast<qint64>(bytes));
  };
  auto kept = [&](const char* remote) { return downloads::BaseName(downloads::NvrSavePath(save, remote)); };
  const char* day6 = "/mnt/sd1/ch1/Schedule/20240106/083000.avi";
  const char* noDay = "/mnt/sd1/rec/083000.avi";
  EXPECT_EQ(kept(day6), "083000.avi");
  put("083000.avi", 10);
  EXPECT_EQ(kept(day6), "20240106_083000.avi");
  EXPECT_EQ(kept("/mnt/20240106/ch1/083000.avi"), "20240106_083000.avi");  // the nearest day folder
  EXPECT_EQ(kept(noDay), "083000_2.avi");
  put("20240106_083000.avi", 20);
  EXPECT_EQ(kept(day6), "20240106_083000_2.avi");
  put("20240106_083000_2.avi", 30);
  EXPECT_EQ(kept(day6), "20240106_083000_3.avi");
  EXPECT_EQ(kept("/mnt/20240106/noext"), "noext");
  EXPECT_EQ(downloads::NvrSavePath(save, "D:\\083000.avi"), "");  // no file of an NVR
  EXPECT_EQ(downloads::NvrSavePath(save, "/mnt/sd1/"), "");         // a folder

  // Copies are found by their length; without a length, by the file's own name.
  EXPECT_EQ(downloads::BaseName(downloads::NvrSavedCopy(save, day6, 20)), "20240106_083000.avi");
  EXPECT_EQ(downloads::BaseName(downloads::NvrSavedCopy(save, day6, 30)), "20240106_083000_2.avi");
  EXPECT_EQ(downloads::BaseName(downloads::NvrSavedCopy(save, day6, 10)), "083000.avi");
  EXPECT_EQ(downloads::NvrSavedCopy(save, day6, 99), "");
  EXPECT_EQ(downloads::BaseName(downloads::NvrSavedCopy(save, day6, -1)), "083000.avi");
  EXPECT_EQ(downloads::NvrSavedCopy(save, "/mnt/sd1/ch1/Schedule/20240107/090000.avi", -1), "");
}

TEST(DownloadFiles, PercentIsGuardedAndHeldWithinItsRange) {
  struct Case {
    uint64_t received, total;
    int percent;
  };
  const Case cases[] = {
      {0, 0, 0},            {500, 0, 0},         {0, 1000, 0},
      {999, 1000, 99},      {1000, 1000, 100},   {5000, 1000, 100},
      {1, 3, 33},           {UINT64_MAX, UINT64_MAX, 100},
      {UINT64_MAX / 2, UINT64_MAX, 49},          {uint64_t(1) << 40, uint64_t(1) << 41, 50},
  };
  for (const Case& c : cases) EXPECT_EQ(downloads::Percent(c.received, c.total), c.percent) << c.received << "/" << c.total;
  EXPECT_EQ(downloads::ProgressText("Downloading...", 42), "Downloading... (42%)...");
}

// The page: rows with a file name and a check box, the status column, the
// form's lock, the progress timer and the players' relay files.
class FakePage : public IDownloadPage {
 public:
  struct Row {
    std::string file;
    bool checked = false;
    std::string status;
  };
  std::vector<Row> rows;
  bool locked = false;
  bool timer = false;
  std::set<std::string> playing;
  std::vector<std::string> folders;

  int RowCount() const override { return static_cast<int>(rows.size()); }
  bool IsRowChecked(int row) const override { return rows.at(row).checked; }
  std::string RowFile(int row) const override { return rows.at(row).file; }
  void SetRowStatus(int row, const std::string& text) override { rows.at(row).status = text; }
  void LockForm(bool on) override { locked = on; }
  void RunProgressTimer(bool on) override { timer = on; }
  bool PlaysRelayFile(const std::string& name) const override { return playing.count(name) > 0; }
  bool MakeSaveFolder(const std::string& folder) override {
    folders.push_back(folder);
    return true;
  }
};

class ScriptedNvr : public INvrDownloads {
 public:
  std::vector<std::pair<std::string, std::string>> starts;  // remote, local
  std::map<std::string, LONG> startResults;                 // by remote path; default 0
  LONG progress = 0;
  int stops = 0;
  LONG transfer = 0;  // numbers the downloads started
  LONG Start(const std::string& remote, const std::string& local) override {
    starts.emplace_back(remote, local);
    auto it = startResults.find(remote);
    const LONG result = it == startResults.end() ? 0 : it->second;
    if (result == 0) ++transfer;
    return result;
  }
  LONG Progress() override { return progress; }
  void Stop() override { ++stops; }
  LONG DeviceId() const override { return 7; }
  LONG Transfer() override { return transfer; }
};

class ScriptedRelay : public IRelayDownloads {
 public:
  std::vector<std::string> starts, stops;
  LONG accept = 1;
  LONG Start(const std::string& path) override {
    starts.push_back(path);
    return accept;
  }
  void Stop(const std::string& path) override { stops.push_back(path); }
};

const CDownloadBatch::Texts kTexts{"Downloading...", "Download complete", "Download failed", "Stop Download"};

FakePage PageOf(std::initializer_list<std::pair<const char*, bool>> rows) {
  FakePage page;
  for (const auto& [file, checked] : rows) page.rows.push_back({file, checked, ""});
  return page;
}

TEST(DownloadBatch, NvrPollsWaitTenTimesAndTheEleventhFailsTheRow) {
  FakePage page = PageOf({{"/mnt/a.avi", true}, {"/mnt/b.avi", false}, {"/mnt/c.avi", true}, {"/mnt/d.avi", true}});
  ScriptedNvr nvr;
  CDownloadBatch batch(&page, kTexts);
  batch.OnButton({&nvr, nullptr, "S\\"});
  ASSERT_TRUE(batch.IsDownloading());
  EXPECT_TRUE(page.locked);
  EXPECT_TRUE(page.timer);
  ASSERT_EQ(nvr.starts.size(), 1u);
  EXPECT_EQ(nvr.starts[0], std::make_pair(std::string("/mnt/a.avi"), std::string("S\\a.avi")));

  for (int poll = 1; poll <= CDownloadBatch::kMaxProgressFails; ++poll) batch.OnProgressTimer();
  EXPECT_EQ(batch.ProgressFails(), 10);
  EXPECT_EQ(batch.Row(), 0);
  EXPECT_EQ(page.rows[0].status, "");
  EXPECT_EQ(nvr.stops, 0);
  batch.OnProgressTimer();  // the eleventh
  EXPECT_EQ(page.rows[0].status, "Download failed");
  EXPECT_EQ(nvr.stops, 1);
  EXPECT_EQ(batch.ProgressFails(), 0);
  ASSERT_EQ(nvr.starts.size(), 2u);
  EXPECT_EQ(nvr.starts[1].first, "/mnt/c.avi");  // the unchecked row is passed over
  EXPECT_EQ(batch.Row(), 2);

  // Progress keeps it, 100 completes it and starts the last row.
  nvr.progress = 0;
  for (int poll = 0; poll < 5; ++poll) batch.OnProgressTimer();
  nvr.progress = 37;
  batch.OnProgressTimer();
  EXPECT_EQ(batch.ProgressFails(), 0);  // progress starts the count again
  EXPECT_EQ(page.rows[2].status, "Downloading... (37%)...");
  nvr.progress = 100;
  batch.OnProgressTimer();
  EXPECT_EQ(page.rows[2].status, "Download complete");
  EXPECT_EQ(batch.Row(), 3);
  nvr.progress = 150;
  batch.OnProgressTimer();
  EXPECT_EQ(page.rows[3].status, "Download complete");
  EXPECT_FALSE(batch.IsDownloading());
  EXPECT_FALSE(page.locked);
  EXPECT_FALSE(page.timer);
  EXPECT_EQ(nvr.starts.size(), 3u);
  batch.OnProgressTimer();  // a late tick starts nothing
  EXPECT_EQ(nvr.starts.size(), 3u);
}

TEST(DownloadBatch, NvrStartsStopsAndFailureEvents) {
  FakePage page = PageOf({{"/mnt/a.avi", true}, {"/mnt/b.avi", true}, {"D:\\not-nvr.avi", true}});
  ScriptedNvr nvr;
  CDownloadBatch batch(&page, kTexts);

  // A failure event while no batch runs changes nothing.
  batch.OnTransferFailed(nvr.transfer);
  EXPECT_EQ(page.rows[0].status, "");

  // A refused first start leaves the form as it was; only that row is tried.
  nvr.startResults["/mnt/a.avi"] = -3;
  batch.OnButton({&nvr, nullptr, "S\\"});
  EXPECT_FALSE(batch.IsDownloading());
  EXPECT_FALSE(page.locked);
  EXPECT_EQ(nvr.starts.size(), 1u);

  // The failure event fails the row and the batch goes on; a following start
  // that fails is not retried: the polls time it out.
  nvr.startResults.clear();
  batch.OnButton({&nvr, nullptr, "S\\"});
  ASSERT_TRUE(batch.IsDownloading());
  nvr.startResults["/mnt/b.avi"] = -3;
  // Events that name another transfer (an earlier one) or none leave the row alone.
  for (LONG other : {nvr.transfer - 1, nvr.transfer + 1, LONG{0}}) batch.OnTransferFailed(other);
  EXPECT_EQ(page.rows[0].status, "");
  EXPECT_EQ(batch.Row(), 0);
  const LONG first = nvr.transfer;
  batch.OnTransferFailed(first);
  EXPECT_EQ(page.rows[0].status, "Download failed");
  EXPECT_EQ(batch.Row(), 1);
  ASSERT_EQ(nvr.starts.size(), 3u);
  // The same event once more, late: the next row is not its transfer.
  batch.OnTransferFailed(first);
  EXPECT_EQ(page.rows[1].status, "");
  EXPECT_EQ(batch.Row(), 1);
  nvr.progress = -1;
  for (int poll = 0; poll <= CDownloadBatch::kMaxProgressFails; ++poll) batch.OnProgressTimer();
  EXPECT_EQ(page.rows[1].status, "Download failed");
  // A path that is no NVR path gets an empty local path (the control refuses it).
  ASSERT_EQ(nvr.starts.size(), 4u);
  EXPECT_EQ(nvr.starts[3], std::make_pair(std::string("D:\\not-nvr.avi"), std::string()));

  // The user's stop.
  batch.OnButton({});
  EXPECT_FALSE(batch.IsDownloading());
  EXPECT_FALSE(page.locked);
  EXPECT_FALSE(page.timer);
  EXPECT_EQ(page.rows[2].status, "Stop Download");
  EXPECT_EQ(nvr.stops, 3);
}

std::string FileText(const std::string& nativePath) {
  QFile file(QString::fromStdString(nativePath));
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<missing>");
}

bool FileExists(const std::string& nativePath) { return QFile::exists(QString::fromStdString(nativePath)); }

TEST(DownloadBatch, RelayFilesArriveAsTmpAndEndAsAvi) {
  TempFolder folder;
  const std::string save = paths::FromNativePath(folder.Path());
  FakePage page = PageOf({{"D:\\Record\\Cam1\\Local\\Schedule\\2024\\5\\3\\081500.avi", true},
                          {"/home/peer/Record/cam/090000.avi", true},
                          {"/home/peer/Record/cam/100000.avi", false},
                          {"D:\\Record\\Cam1\\101500.avi", true}});
  page.playing.insert("/home/peer/Record/cam/090000.avi");
  uint64_t now = 10000;
  ScriptedRelay relay;
  CDownloadBatch batch(&page, kTexts, [&now] { return now; });
  batch.OnButton({nullptr, &relay, save});
  ASSERT_TRUE(batch.IsDownloading());
  ASSERT_EQ(relay.starts.size(), 1u);
  EXPECT_EQ(batch.Row(), 0);
  EXPECT_EQ(page.folders, std::vector<std::string>{save});

  // Pieces of another file, or before their file, are dropped.
  batch.TakeRelayData("other.avi", reinterpret_cast<const BYTE*>("zz"), 2, 2, 4);
  EXPECT_FALSE(FileExists(folder.File("081500.tmp")));
  const std::string name = relay.starts[0];
  batch.TakeRelayData(name, reinterpret_cast<const BYTE*>("abc"), 3, 3, 9);
  EXPECT_EQ(FileText(folder.File("081500.tmp")), "abc");
  EXPECT_EQ(page.rows[0].status, "Downloading... (33%)...");
  now += 500;  // within 800 ms: the text stays
  batch.TakeRelayData(name, reinterpret_cast<const BYTE*>("def"), 3, 6, 9);
  EXPECT_EQ(page.rows[0].status, "Downloading... (33%)...");
  now += 301;
  batch.TakeRelayData(name, reinterpret_cast<const BYTE*>("ghi"), 3, 9, 9);
  EXPECT_EQ(page.rows[0].status, "Downloading... (100%)...");
  batch.TakeRelayFinish("other.avi");
  EXPECT_EQ(batch.Row(), 0);
  batch.TakeRelayFinish(name);
  EXPECT_EQ(page.rows[0].status, "Download complete");
  EXPECT_FALSE(FileExists(folder.File("081500.tmp")));
  EXPECT_EQ(FileText(folder.File("081500.avi")), "abcdefghi");

  // The next checked row goes now, although a player plays it (that test is
  // the first start's), named after a "/" path. Its total is not known (0).
  ASSERT_EQ(relay.starts.size(), 2u);
  EXPECT_EQ(relay.starts[1], "/home/peer/Record/cam/090000.avi");
  EXPECT_EQ(batch.Row(), 1);
  now += 1000;
  batch.TakeRelayData(relay.starts[1], reinterpret_cast<const BYTE*>("xy"), 2, 2, 0);
  EXPECT_EQ(page.rows[1].status, "Downloading... (0%)...");
  batch.TakeRelayFinish(relay.starts[1]);
  EXPECT_EQ(FileText(folder.File("090000.avi")), "xy");

  // A file already there is kept, and so is the download: under a numbered
  // name, which its row tells.
  for (const char* name : {"101500.avi", "101500_2.avi"}) {
    QFile old(QString::fromStdString(folder.File(name)));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
  }
  ASSERT_EQ(relay.starts.size(), 3u);
  EXPECT_EQ(batch.Row(), 3);
  batch.TakeRelayData(relay.starts[2], reinterpret_cast<const BYTE*>("new"), 3, 3, 3);
  batch.TakeRelayFinish(relay.starts[2]);
  EXPECT_EQ(FileText(folder.File("101500.avi")), "old");
  EXPECT_EQ(FileText(folder.File("101500_2.avi")), "old");
  EXPECT_EQ(FileText(folder.File("101500_3.avi")), "new");
  EXPECT_FALSE(FileExists(folder.File("101500.tmp")));
  EXPECT_EQ(page.rows[3].status, "Download complete (101500_3.avi)");
  EXPECT_FALSE(batch.IsDownloading());
  EXPECT_FALSE(page.locked);
}

TEST(DownloadBatch, RelayStopsAndRefusals) {
  TempFolder folder;
  const std::string save = paths::FromNativePath(folder.Path());
  FakePage page = PageOf({{"D:\\a\\1.avi", true}, {"D:\\a\\2.avi", true}, {"D:\\a\\3.avi", true}});
  ScriptedRelay relay;
  CDownloadBatch batch(&page, kTexts);

  // Every checked row plays: nothing is asked for.
  page.playing = {"D:\\a\\1.avi", "D:\\a\\2.avi", "D:\\a\\3.avi"};
  batch.OnButton({nullptr, &relay, save});
  EXPECT_TRUE(relay.starts.empty());
  EXPECT_FALSE(batch.IsDownloading());
  page.playing = {"D:\\a\\1.avi"};

  // The first start refused: one attempt, the form stays as it was.
  relay.accept = 0;
  batch.OnButton({nullptr, &relay, save});
  EXPECT_EQ(relay.starts, std::vector<std::string>{"D:\\a\\2.avi"});
  EXPECT_FALSE(batch.IsDownloading());
  EXPECT_FALSE(page.locked);

  // The user's stop keeps the ".tmp" as written; a completion after it starts nothing.
  relay.accept = 1;
  batch.OnButton({nullptr, &relay, save});
  ASSERT_TRUE(batch.IsDownloading());
  batch.TakeRelayData("D:\\a\\2.avi", reinterpret_cast<const BYTE*>("part"), 4, 4, 100);
  batch.OnButton({});
  EXPECT_FALSE(batch.IsDownloading());
  EXPECT_EQ(page.rows[1].status, "Stop Download");
  EXPECT_EQ(relay.stops, std::vector<std::string>{"D:\\a\\2.avi"});
  EXPECT_EQ(FileText(folder.File("2.tmp")), "part");
  batch.TakeRelayData("D:\\a\\2.avi", reinterpret_cast<const BYTE*>("more"), 4, 8, 100);
  batch.TakeRelayFinish("D:\\a\\2.avi");
  EXPECT_EQ(FileText(folder.File("2.tmp")), "part");
  EXPECT_FALSE(FileExists(folder.File("2.avi")));
  EXPECT_EQ(relay.starts.size(), 2u);
  EXPECT_EQ(page.rows[1].status, "Stop Download");

  // A following start refused: the page stays locked without a transfer until the button.
  batch.OnButton({nullptr, &relay, save});
  ASSERT_EQ(relay.starts.back(), "D:\\a\\2.avi");
  relay.accept = 0;
  batch.TakeRelayFinish("D:\\a\\2.avi");
  EXPECT_EQ(relay.starts.back(), "D:\\a\\3.avi");
  EXPECT_TRUE(batch.IsDownloading());
  EXPECT_TRUE(page.locked);
  batch.OnButton({});
  EXPECT_FALSE(page.locked);
}

TEST(DownloadBatch, ARelayFileThatCannotBeWrittenIsNotKept) {
  TempFolder folder;
  FakePage page = PageOf({{"D:\\a\\1.avi", true}});
  ScriptedRelay relay;
  CDownloadBatch batch(&page, kTexts);
  // The save folder does not exist: the pieces are lost, nothing is renamed.
  const std::string save = paths::FromNativePath(folder.File("missing/"));
  batch.OnButton({nullptr, &relay, save});
  batch.TakeRelayData("D:\\a\\1.avi", reinterpret_cast<const BYTE*>("abc"), 3, 3, 3);
  EXPECT_EQ(page.rows[0].status, "");
  QDir().mkpath(QString::fromStdString(folder.File("missing")));
  batch.TakeRelayData("D:\\a\\1.avi", reinterpret_cast<const BYTE*>("def"), 3, 6, 6);  // this one is written
  batch.TakeRelayFinish("D:\\a\\1.avi");
  EXPECT_EQ(page.rows[0].status, "Download failed");
  EXPECT_FALSE(FileExists(folder.File("missing/1.avi")));
  EXPECT_FALSE(FileExists(folder.File("missing/1.tmp")));
  EXPECT_FALSE(batch.IsDownloading());
}

}  // namespace
