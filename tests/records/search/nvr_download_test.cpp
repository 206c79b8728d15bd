// Downloads of checked results on the record search page: from the fake NVR
// through the device-messaging control (one after another, polled every
// second, failed after eleven polls without progress or by the control), and
// from a relay peer whose pieces arrive on the relay library's thread.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/wait_for.h"
#include "maker/gimbro/gimbro_link.h"
#include "nvr_page_fixture.h"
#include "platform/paths.h"
#include "records/search/downloads/download_batch.h"
#include "ui/image_button.h"
#include "ui/sort_list_ctrl.h"

namespace {

std::string Bytes(const std::string& nativePath) {
  QFile file(QString::fromStdString(nativePath));
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

class NvrDownloadTest : public NvrPageTest {
 protected:
  void TearDown() override {
    GimbroTimingsForNewLinks().downloadIdleMs = GimbroTimings{}.downloadIdleMs;
    NvrPageTest::TearDown();
  }
  // Three files on the NVR, found and listed; `checked` rows ticked.
  void ListFiles(std::initializer_list<int> checked) {
    files_ = {Record(1, "Schedule", 8, 0, 0), Record(1, "Schedule", 9, 0, 0), Record(1, "Schedule", 10, 0, 0)};
    ASSERT_TRUE(SearchNvr(ch1_));
    ASSERT_EQ(page_->GetResultList()->GetItemCount(), 3);
    for (int row : checked) page_->GetResultList()->SetCheck(row, TRUE);
  }
  std::string Cell(int row) { return page_->GetResultList()->GetItemText(row, 2); }
  std::wstring Caption() {
    return dynamic_cast<CImageButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_DOWNLOAD))->GetCaptionW();
  }
  std::string Saved(const std::string& devicePath) {
    return paths::NativePath(page_->GetSaveFolder()) + devicePath.substr(devicePath.rfind('/') + 1);
  }
  std::vector<std::string> files_;
};

TEST_F(NvrDownloadTest, CheckedRowsLandByteIdenticalOneAfterAnother) {
  ListFiles({0, 2});
  Click(CSearchRecDlg::IDC_DOWNLOAD);
  EXPECT_EQ(device_->Take("DOWNLOAD "), "DOWNLOAD " + files_[0]);
  ASSERT_TRUE(page_->IsDownloading());
  EXPECT_EQ(Caption(), L"Stop Download");
  EXPECT_FALSE(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY)->isEnabled());
  EXPECT_FALSE(page_->GetDlgItem(CSearchRecDlg::IDC_NEXT_PAGE)->isEnabled());
  EXPECT_EQ(page_->GetResultList()->GetCheckboxes(), 3);
  EXPECT_FALSE(page_->SetSearchDevInfo(ch2_));  // no device change while downloading

  ASSERT_TRUE(WaitFor([&] { return !page_->IsDownloading(); }));
  EXPECT_EQ(device_->Take("DOWNLOAD "), "DOWNLOAD " + files_[2]);
  EXPECT_EQ(Cell(0), "Download complete");
  EXPECT_EQ(Cell(1), "");
  EXPECT_EQ(Cell(2), "Download complete");
  for (int i : {0, 2}) {
    const std::string original = Bytes(tree_.LocalPath(files_[i]));
    ASSERT_GT(original.size(), 10000u);
    EXPECT_TRUE(Bytes(Saved(files_[i])) == original) << files_[i] << " differs from the NVR's file";
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Saved(files_[1]))));
  EXPECT_EQ(Caption(), L"Start Download");
  EXPECT_TRUE(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY)->isEnabled());
  EXPECT_EQ(page_->GetResultList()->GetCheckboxes(), 1);

  // A downloaded file plays from the save folder; the NVR is not asked for it.
  page_->GetResultList()->SetItemStates(2, RLS_SELECTED);
  page_->OnDblClkResultList();
  ASSERT_TRUE(WaitFor([&] { return page_->GetPlayer(0)->HasPicture(); }));
  EXPECT_TRUE(page_->GetPlayer(0)->Engine()->IsFilePlaying());
  EXPECT_EQ(device_->Command("count REPLAY_FILE"), "OK 0");
  EXPECT_TRUE(page_->SetSearchDevInfo(ch2_));
}

TEST_F(NvrDownloadTest, TenPollsWithoutProgressKeepTheDownloadTheEleventhFailsItAndTheNextRowStarts) {
  ASSERT_EQ(device_->Command("download 0 silent"), "OK");  // the NVR takes the request and sends nothing
  ListFiles({0, 1});
  Click(CSearchRecDlg::IDC_DOWNLOAD);
  page_->KillTimer(CSearchRecDlg::kDownloadTimer);  // the test polls in its place
  EXPECT_EQ(device_->Take("DOWNLOAD "), "DOWNLOAD " + files_[0]);
  for (int poll = 1; poll <= 10; ++poll) page_->OnTimer(CSearchRecDlg::kDownloadTimer);
  EXPECT_TRUE(page_->IsDownloading());
  EXPECT_EQ(page_->Downloads().Row(), 0);
  EXPECT_EQ(Cell(0), "");
  // A failure event of another device, and the timer of another id, change nothing.
  page_->OnFileTransferEvent(id_ + 100, 17);
  page_->OnTimer(12345);
  EXPECT_EQ(Cell(0), "");
  EXPECT_EQ(page_->Downloads().ProgressFails(), 10);

  page_->OnTimer(CSearchRecDlg::kDownloadTimer);  // the eleventh
  EXPECT_EQ(Cell(0), "Download failed");
  EXPECT_EQ(device_->Take("DOWNLOAD_STOP"), "DOWNLOAD_STOP");
  EXPECT_EQ(device_->Take("DOWNLOAD "), "DOWNLOAD " + files_[1]);
  EXPECT_EQ(page_->Downloads().Row(), 1);
  EXPECT_TRUE(page_->IsDownloading());

  // The user stops the batch.
  Click(CSearchRecDlg::IDC_DOWNLOAD);
  EXPECT_FALSE(page_->IsDownloading());
  EXPECT_EQ(Cell(1), "Stop Download");
  EXPECT_EQ(Caption(), L"Start Download");
  EXPECT_EQ(device_->Take("DOWNLOAD_STOP"), "DOWNLOAD_STOP");
}

TEST_F(NvrDownloadTest, TransfersThatStopOrLieEndTheirRowsAsFailed) {
  struct Case {
    const char* mode;
    const char* name;
  };
  GimbroTimingsForNewLinks().downloadIdleMs = 1500;
  for (const Case& c : {Case{"stall", "half the file, then nothing"}, Case{"zero", "a total of 0 with bytes"},
                        Case{"fail", "the device gives up"}}) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(device_->Command(std::string("download 0 ") + c.mode), "OK");
    if (files_.empty()) {
      ListFiles({0, 1});
    }
    Click(CSearchRecDlg::IDC_DOWNLOAD);
    ASSERT_TRUE(page_->IsDownloading());
    ASSERT_TRUE(WaitFor([&] { return !page_->IsDownloading(); }, 30000));
    EXPECT_EQ(Cell(0), "Download failed");
    EXPECT_EQ(Cell(1), "Download failed");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Saved(files_[0]))));
    EXPECT_EQ(Caption(), L"Start Download");
    page_->GetResultList()->SetItemText(0, 2, "");
    page_->GetResultList()->SetItemText(1, 2, "");
  }
}

// NVR files are named by their time of day: the same name comes back every
// day. A batch over two days keeps both files, and each row plays its own.
TEST_F(NvrDownloadTest, FilesOfOneNameFromTwoDaysAreBothKeptAndEachRowPlaysItsOwn) {
  const std::string day5 = Record(1, "Schedule", 8, 30, 0, 4);
  const std::string day6 = tree_.Add(*clip_, 1, "Schedule", 2024, 1, 6, 8, 30, 0, 6);
  ASSERT_TRUE(SearchNvr(ch1_, 0, 6));
  ASSERT_EQ(page_->GetResultList()->GetItemCount(), 2);
  ASSERT_EQ(page_->GetResultList()->GetItemText(0, 0), day5);
  ASSERT_EQ(page_->GetResultList()->GetItemText(1, 0), day6);
  page_->GetResultList()->SetCheck(0, TRUE);
  page_->GetResultList()->SetCheck(1, TRUE);
  Click(CSearchRecDlg::IDC_DOWNLOAD);
  ASSERT_TRUE(WaitFor([&] { return !page_->IsDownloading(); }));

  const std::string folder = paths::NativePath(page_->GetSaveFolder());
  const std::string original5 = Bytes(tree_.LocalPath(day5));
  const std::string original6 = Bytes(tree_.LocalPath(day6));
  ASSERT_NE(original5.size(), original6.size());
  EXPECT_EQ(Cell(0), "Download complete");
  EXPECT_EQ(Cell(1), "Download complete (20240106_083000.avi)");
  EXPECT_TRUE(Bytes(folder + "083000.avi") == original5) << "the first day's file differs";
  EXPECT_TRUE(Bytes(folder + "20240106_083000.avi") == original6) << "the second day's file differs";

  // Each row plays its own day's copy (4 s and 6 s long); the NVR is not asked.
  for (int row : {1, 0}) {
    page_->GetResultList()->SetAllItemStates(RLS_SELECTED, RLS_UNSELECTED);
    page_->GetResultList()->SetItemStates(row, RLS_SELECTED);
    page_->OnDblClkResultList();
    const int player = row == 1 ? 0 : 1;
    ASSERT_TRUE(WaitFor([&] { return page_->GetPlayer(player)->Engine()->IsFilePlaying(); }));
    EXPECT_EQ(page_->GetPlayer(player)->Engine()->GetPieceLength(), row == 1 ? 6 : 4);
  }
  EXPECT_EQ(device_->Command("count REPLAY_FILE"), "OK 0");
}

// The first row times out by the page's polls while the control finds it idle
// too: the control's failure event for it comes after the second row started,
// and must not end that one.
TEST_F(NvrDownloadTest, ALateFailureOfATimedOutRowLeavesTheNextRowDownloading) {
  GimbroTimingsForNewLinks().downloadIdleMs = 1000;
  ASSERT_EQ(device_->Command("download 0 silent ok"), "OK");  // nothing for the first request
  ListFiles({0, 1});
  Click(CSearchRecDlg::IDC_DOWNLOAD);
  page_->KillTimer(CSearchRecDlg::kDownloadTimer);  // the test polls in its place
  EXPECT_EQ(device_->Take("DOWNLOAD "), "DOWNLOAD " + files_[0]);
  for (int poll = 1; poll <= CDownloadBatch::kMaxProgressFails; ++poll) page_->OnTimer(CSearchRecDlg::kDownloadTimer);
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));  // past the control's idle time
  page_->OnTimer(CSearchRecDlg::kDownloadTimer);  // the eleventh: both give up on the first row
  EXPECT_EQ(Cell(0), "Download failed");
  EXPECT_EQ(device_->Take("DOWNLOAD "), "DOWNLOAD " + files_[1]);
  EXPECT_EQ(page_->Downloads().Row(), 1);

  page_->SetTimer(CSearchRecDlg::kDownloadTimer, 1000);
  ASSERT_TRUE(WaitFor([&] { return !page_->IsDownloading(); }));
  EXPECT_EQ(Cell(1), "Download complete");
  EXPECT_TRUE(Bytes(Saved(files_[1])) == Bytes(tree_.LocalPath(files_[1]))) << "the second file differs";
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Saved(files_[0]))));
}

// The relay library's download calls, answered by a peer thread that hands the
// page a file in pieces, as the library's thread does.
class PeerThread : public IRelayDownloads {
 public:
  PeerThread(CSearchRecDlg* page, std::string data) : page_(page), data_(std::move(data)) {}
  ~PeerThread() override { Join(); }
  LONG Start(const std::string& path) override {
    Join();
    starts.push_back(path);
    thread_ = std::thread([this, path] {
      onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
      const size_t piece = 4096;
      for (size_t at = 0; at < data_.size(); at += piece) {
        const size_t n = std::min(piece, data_.size() - at);
        page_->OnDownloadData(reinterpret_cast<const BYTE*>(data_.data() + at), static_cast<long>(n), at + n,
                              finishing ? data_.size() : 0, path.c_str());
      }
      if (finishing) page_->OnDownloadFinish(path.c_str());
    });
    return 1;
  }
  void Stop(const std::string& path) override { stops.push_back(path); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  std::vector<std::string> starts, stops;
  bool finishing = true;  // false: the peer sends a total of 0 and never finishes
  std::atomic<bool> onUiThread{true};

 private:
  CSearchRecDlg* page_;
  std::string data_;
  std::thread thread_;
};

class RelayDownloadPageTest : public NvrDownloadTest {
 protected:
  void SetUp() override {
    NvrDownloadTest::SetUp();
    if (HasFatalFailure()) return;
    const std::string file = Record(1, "Schedule", 8, 0, 0, 4, true);
    data_ = Bytes(tree_.LocalPath(file));
    ASSERT_GT(data_.size(), 20000u);
    // The save folder of a channel, then a relay channel in the form.
    ASSERT_TRUE(page_->SetSearchDevInfo(ch1_));
    RelayDevice relay;
    std::strcpy(relay.IPAddr, "192.168.1.20");
    std::strcpy(relay.MACAddr, "00-1A-2B-3C-4D-5E");
    std::strcpy(relay.DevName, "Gate");
    ASSERT_TRUE(page_->SearchVssRecByDate(&relay));
    for (const char* name : {"D:\\Record\\Gate\\Local\\Schedule\\2024\\5\\3\\081500.avi",
                             "/home/peer/Record/Gate/Local/Schedule/2024/5/3/091500.avi"}) {
      const int row = page_->GetResultList()->InsertItem(page_->GetResultList()->GetItemCount(), name);
      page_->GetResultList()->SetCheck(row, TRUE);
    }
    peer_ = std::make_unique<PeerThread>(page_, data_);
    page_->SetRelayDownloads(peer_.get());
  }
  void TearDown() override {
    if (peer_) peer_->Join();
    NvrDownloadTest::TearDown();
  }
  std::string SavedAs(const char* name) { return paths::NativePath(page_->GetSaveFolder()) + name; }
  std::string data_;
  std::unique_ptr<PeerThread> peer_;
};

TEST_F(RelayDownloadPageTest, PiecesFromTheLibraryThreadAreWrittenOnThePageThreadAndEndAsAvi) {
  page_->OnBnClickedDownload();
  ASSERT_TRUE(page_->IsDownloading());
  ASSERT_TRUE(WaitFor([&] { return !page_->IsDownloading(); }));
  peer_->Join();
  EXPECT_FALSE(peer_->onUiThread);
  ASSERT_EQ(peer_->starts.size(), 2u);
  EXPECT_TRUE(Bytes(SavedAs("081500.avi")) == data_) << "the first file differs";
  EXPECT_TRUE(Bytes(SavedAs("091500.avi")) == data_) << "the file from a '/' path differs";
  EXPECT_FALSE(QFile::exists(QString::fromStdString(SavedAs("081500.tmp"))));
  EXPECT_EQ(page_->GetResultList()->GetItemText(0, 2), "Download complete");
  EXPECT_EQ(page_->GetResultList()->GetItemText(1, 2), "Download complete");
}

TEST_F(RelayDownloadPageTest, ATotalOfZeroShowsNoPercentAndAClosedPageDropsWhatIsStillQueued) {
  peer_->finishing = false;
  page_->OnBnClickedDownload();
  ASSERT_TRUE(WaitFor([&] { return QFile::exists(QString::fromStdString(SavedAs("081500.tmp"))); }));
  ASSERT_TRUE(WaitFor([&] { return page_->GetResultList()->GetItemText(0, 2) == "Downloading... (0%)..."; }));
  peer_->Join();
  // More pieces wait in the page's queue when it closes: they are dropped.
  peer_->Start("D:\\Record\\Gate\\Local\\Schedule\\2024\\5\\3\\081500.avi");
  peer_->Join();
  delete page_;
  page_ = nullptr;
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  SUCCEED();
}

}  // namespace
