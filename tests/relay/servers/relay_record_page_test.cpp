// The record search page's side of relay channels, without a peer: the
// by-file result text and record, day-map results for their slots, and the
// main window's callbacks and page gate that hand the relay's data over.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/string_table.h"
#include "records/search/search_page_support.h"
#include "records/search/search_rec_dlg.h"
#include "relay/relay_callbacks.h"
#include "relay/relay_record_page.h"
#include "ui/sort_list_ctrl.h"
#include "ui/transparent_static.h"

namespace {

class RelayPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
    ASSERT_TRUE(searchpage::Show(main_, &page_));
  }
  void TearDown() override {
    page_->ReleasePlayers();
    delete page_;
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> out;
    for (const RecFileItem& item : page_->GetResults()) out.push_back(item.strFilePath + "|" + item.strFileSize);
    return out;
  }
  std::string Message() { return searchpage::TakeMessage(*page_); }

  QWidget main_;
  CSearchRecDlg* page_ = nullptr;
};

}  // namespace

TEST_F(RelayPageTest, TheResultTextBecomesRecordsEntryByEntry) {
  const std::string longPath(1024, 'p');
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> records;
  } cases[] = {
      {"two entries", "D:\\a.avi?10|D:\\b.avi?20|", {"D:\\a.avi|10", "D:\\b.avi|20"}},
      {"no last bar", "D:\\a.avi?10|D:\\b.avi?20", {"D:\\a.avi|10"}},
      {"empty", "", {}},
      {"no question mark", "D:\\a.avi|", {"|D:\\a.avi"}},
      {"a second question mark", "D:\\a?b.avi?30|", {"b.avi|30"}},
      {"a path longer than its field is left out", longPath + "?1|D:\\c.avi?3|", {"D:\\c.avi|3"}},
  };
  for (const auto& c : cases) {
    page_->ParseVssRecFileList(c.text.c_str());
    EXPECT_EQ(Paths(), c.records) << c.name;
  }
  page_->ParseVssRecFileList(nullptr);
  EXPECT_TRUE(page_->GetResults().empty());
}

TEST_F(RelayPageTest, AnAnswerFillsTwentyRowsAndCountsThePagesOfItsTotal) {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "D:\\f" + std::to_string(i) + ".avi?" + std::to_string(100 + i) + "|";
  RelayReplaySearchResult result;
  result.dwTotal = 45;
  result.pText = text.data();
  page_->OnSearchRecFileResult(&result);
  EXPECT_EQ(page_->GetResultList()->GetItemCount(), 20);
  EXPECT_EQ(page_->GetPageCount(), 3);
  EXPECT_EQ(page_->GetCurPage(), 1);
  EXPECT_EQ(Message(), "");
  auto* status = dynamic_cast<CTransparentStatic*>(page_->GetDlgItem(CSearchRecDlg::IDC_STATUS));
  EXPECT_NE(status->text().toStdString().find("3"), std::string::npos);

  RelayReplaySearchResult refused;
  refused.dwStatus = 1;
  page_->OnSearchRecFileResult(&refused);
  EXPECT_EQ(Message(), LoadStringA(489));  // "Query result is empty!"
  RelayReplaySearchResult empty;
  page_->OnSearchRecFileResult(&empty);
  EXPECT_EQ(Message(), LoadStringA(489));
}

TEST_F(RelayPageTest, ADayMapGoesToTheSlotOfItsKeyAndChannelOnly) {
  page_->OnBnClickedBtnTimeMode();
  RelayDevice cam;
  std::snprintf(cam.IPAddr, sizeof cam.IPAddr, "10.0.0.7");
  std::snprintf(cam.MACAddr, sizeof cam.MACAddr, "AA-BB");
  std::snprintf(cam.DevName, sizeof cam.DevName, "dvs-2");
  cam.nType = 0;  // a video server: its channel is the last digit of its name
  ASSERT_TRUE(page_->SearchVssRecByDate(&cam));
  EXPECT_FALSE(page_->SearchVssRecByDate(&cam));  // one row per channel, whatever the day
  const VssPlaybackStatus& slot = page_->Slots().vss[0];
  EXPECT_EQ(slot.nChannel, 2);
  EXPECT_STREQ(slot.szDevKey, "AA-BB:10.0.0.7");
  std::string map(1440, 'C');
  map.replace(600, 30, std::string(30, 'A'));
  page_->OnSearchRecByDateResult("AA-BB:10.0.0.7", 1, map.c_str(), 2026, 12, 10);  // another channel
  EXPECT_EQ(slot.nYear, 0);
  page_->OnSearchRecByDateResult("AA-BB:10.0.0.8", 2, map.c_str(), 2026, 12, 10);  // another device
  EXPECT_EQ(slot.nYear, 0);
  page_->OnSearchRecByDateResult("AA-BB:10.0.0.7", 2, map.c_str(), 2026, 12, 10);
  EXPECT_EQ(slot.nYear, 2026);
  EXPECT_EQ(slot.szDayMap[600], 'A');
  EXPECT_EQ(slot.szDayMap[630], 'C');
  page_->OnSearchRecByDateResult("AA-BB:10.0.0.7", 2, nullptr, 2026, 12, 11);  // no map: no recordings
  EXPECT_EQ(slot.szDayMap[600], 'C');
}

namespace {

struct CountingPage : IRelayRecordPage {
  std::atomic<int> frames{0};
  std::atomic<bool> slow{false};
  std::atomic<bool> entered{false};
  void OnSearchRecFileResult(const RelayReplaySearchResult*) override {}
  void OnSearchRecByDateResult(const char*, int, const char*, int, int, int) override {}
  void OnReplayMediaParam(const BYTE*, const BYTE*, int, const char*, const RelayReplaySession*, LONG) override {}
  void OnReplayFileEnd(const char*) override {}
  void OnReplayByDateEnd(const char*, int) override {}
  void OnDownloadFinish(const char*) override {}
  void AddPendingRelaySearch(const ReplaySearchRequest*, DWORD) override {}
  LONG InputReplayData(LONG, const BYTE*, LONG, const RelayFrameInfo*, const char*) override {
    entered = true;
    if (slow) std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ++frames;
    return 1;
  }
  LONG InputReplayDataByDate(const char*, DWORD, DWORD, LONG, const BYTE*, LONG, const RelayFrameInfo*, const BYTE*,
                             const BYTE*, LONG, LONG, DWORD) override {
    ++frames;
    return 1;
  }
  void OnDownloadData(const BYTE*, LONG, uint64_t, uint64_t, const char*) override { ++frames; }
};

struct Host : IRelayCallbackHost {
  std::atomic<bool> closing{false};
  RelayRecordPageGate gate;
  bool RelayClosing() const override { return closing; }
  std::string RelayLocalMac() const override { return "00-1A"; }
  const RelayRecordPageGate* RelayRecordPage() const override { return &gate; }
};

LONG Replay(Host* host) {
  const BYTE frame[8] = {};
  return RelayRealReplayCallback(1, "AA:1.2.3.4", 1, 2, 0, frame, 8, nullptr, "f.avi", host);
}

}  // namespace

TEST(RelayDataCallbacks, DataReachesThePageOnlyWhileItIsThereAndTheWindowIsNotClosing) {
  Host host;
  CountingPage page;
  EXPECT_EQ(Replay(&host), 0);  // no page yet
  host.gate.Set(&page);
  EXPECT_EQ(Replay(&host), 1);
  const BYTE piece[4] = {};
  EXPECT_EQ(RelayDownloadDataCallback(1, "k", 1, 0, 1, piece, 4, 4, 0, 8, 0, "f.avi", &host), 1);
  EXPECT_EQ(RelayReplayByDateCallback(1, "k", 0, 0, 0, piece, 4, nullptr, nullptr, nullptr, 0, 0, 0, &host), 1);
  EXPECT_EQ(page.frames, 3);
  host.closing = true;  // the main window closes: the data is refused
  EXPECT_EQ(Replay(&host), 0);
  EXPECT_EQ(RelayDownloadDataCallback(1, "k", 1, 0, 1, piece, 4, 4, 0, 8, 0, "f.avi", &host), 0);
  EXPECT_EQ(page.frames, 3);
  EXPECT_EQ(Replay(nullptr), 0);
}

// The window takes its page away while a library thread is inside it: the
// page is gone only after that call returned.
TEST(RelayDataCallbacks, TakingThePageAwayWaitsForTheCallInside) {
  Host host;
  auto page = std::make_unique<CountingPage>();
  page->slow = true;
  host.gate.Set(page.get());
  std::thread library([&] { Replay(&host); });
  while (!page->entered) std::this_thread::yield();  // the call is inside the page now
  host.gate.Set(nullptr);
  EXPECT_EQ(page->frames, 1);  // the call had finished when Set returned
  page.reset();
  library.join();
  EXPECT_EQ(Replay(&host), 0);
}
