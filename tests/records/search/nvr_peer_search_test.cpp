// Peer searches waiting for an NVR's answer: the queue, the answer texts and
// the page's answers going to the peers before its own list.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileInfo>
#include <cstring>
#include <string>
#include <vector>

#include "common/wait_for.h"
#include "nvr_page_fixture.h"
#include "records/search/nvr_peer_searches.h"
#include "records/search/nvr_search_text.h"
#include "ui/sort_list_ctrl.h"

namespace {

struct Answered {
  LONG status;
  DWORD searchId;
  DWORD word;
  DWORD mediaSel;
  DWORD target;
  LONG count;
  bool hasText;
  std::string text;
};

struct AnswerLog {
  std::vector<Answered> answers;
  PeerSearchAnswerer Answerer() {
    return [this](LONG status, const PendingPeerSearch& search, LONG count, const char* text) {
      answers.push_back({status, search.request.dwSearchId, search.word, search.request.dwMediaSel,
                         search.request.dwTarget, count, text != nullptr, text ? text : ""});
    };
  }
};

ReplaySearchRequest Request(DWORD searchId, DWORD media = 3, DWORD target = 2) {
  ReplaySearchRequest request;
  std::strcpy(request.szDevKey, "00-1A-2B-3C-4D-5E:10.0.0.9");
  request.dwSearchId = searchId;
  request.dwMediaSel = media;
  request.dwTarget = target;
  return request;
}

std::vector<RecFileItem> Items(std::initializer_list<std::pair<const char*, const char*>> list) {
  std::vector<RecFileItem> items;
  for (const auto& [path, size] : list) items.push_back({path, size});
  return items;
}

TEST(NvrPeerSearches, AnswersGoToTheOldestSearchFirstWithTheirOwnWords) {
  AnswerLog log;
  NvrPeerSearchQueue queue(log.Answerer());
  EXPECT_FALSE(queue.AnswerOldest(Items({{"/a.avi", "1"}}), 1));  // none waits
  queue.Add(nullptr, 9);                                          // nothing to copy
  EXPECT_FALSE(queue.Pending());
  ReplaySearchRequest first = Request(11, 3, 2);
  queue.Add(&first, 101);
  first.dwSearchId = 99;  // the queue holds its own copy
  const ReplaySearchRequest second = Request(12, 1, 1);
  queue.Add(&second, 102);
  ASSERT_EQ(queue.Size(), 2u);

  ASSERT_TRUE(queue.AnswerOldest(Items({{"/mnt/sd1/a.avi", "100"}, {"/mnt/sd1/b.avi", "2000"}}), 7));
  ASSERT_TRUE(queue.AnswerOldest({}, 5));  // a count without files: refused
  EXPECT_FALSE(queue.Pending());
  ASSERT_EQ(log.answers.size(), 2u);
  const Answered& a = log.answers[0];
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(a.searchId, 11u);
  EXPECT_EQ(a.word, 101u);
  EXPECT_EQ(a.mediaSel, 3u);
  EXPECT_EQ(a.target, 2u);
  EXPECT_EQ(a.count, 7);  // the device's total over all pages
  EXPECT_EQ(a.text, "/mnt/sd1/a.avi?100|/mnt/sd1/b.avi?2000|");
  const Answered& b = log.answers[1];
  EXPECT_EQ(b.status, 1);
  EXPECT_EQ(b.searchId, 12u);
  EXPECT_EQ(b.word, 102u);
  EXPECT_EQ(b.count, 0);
  EXPECT_FALSE(b.hasText);

  queue.Add(&second, 103);
  ASSERT_TRUE(queue.RefuseOldest());
  EXPECT_EQ(log.answers.back().status, 1);
  EXPECT_FALSE(queue.RefuseOldest());
}

TEST(NvrPeerSearches, AnAnswerTextOfTwoMegabytesIsNotSent) {
  // Every item adds its path, "?", its size and "|".
  const size_t item = 1023 + 1 + 9 + 1;
  std::vector<RecFileItem> files(kPeerSearchTextLimit / item, RecFileItem{std::string(1023, 'p'), "123456789"});
  const size_t below = files.size() * item;
  ASSERT_LT(below, kPeerSearchTextLimit);
  const std::optional<std::string> text = PeerSearchText(files);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->size(), below);
  // Up to exactly the limit: refused.
  files.push_back(RecFileItem{std::string(kPeerSearchTextLimit - below - 2 - 1, 'x'), "1"});
  EXPECT_FALSE(PeerSearchText(files).has_value());
  files.back().strFilePath.pop_back();
  ASSERT_TRUE(PeerSearchText(files).has_value());
  EXPECT_EQ(PeerSearchText(files)->size(), kPeerSearchTextLimit - 1);

  AnswerLog log;
  NvrPeerSearchQueue queue(log.Answerer());
  const ReplaySearchRequest request = Request(1);
  queue.Add(&request, 1);
  files.back().strFilePath += "x";
  queue.AnswerOldest(files, 3000);
  ASSERT_EQ(log.answers.size(), 1u);
  EXPECT_EQ(log.answers[0].status, 1);
  EXPECT_EQ(log.answers[0].count, 0);
  EXPECT_FALSE(log.answers[0].hasText);
}

class NvrPeerPageTest : public NvrPageTest {
 protected:
  void SetUp() override {
    NvrPageTest::SetUp();
    if (HasFatalFailure()) return;
    page_->PeerSearches().SetAnswerer(log_.Answerer());
  }
  AnswerLog log_;
};

TEST_F(NvrPeerPageTest, WhilePeersWaitTheAnswersAreTheirsAndThePageKeepsItsList) {
  const std::string a = Record(1, "Schedule", 8, 0, 0);
  const std::string b = Record(1, "Alarm", 9, 30, 0);
  ASSERT_FALSE(a.empty());
  ASSERT_TRUE(SearchNvr(ch1_));
  ASSERT_EQ(page_->GetResultList()->GetItemCount(), 2);
  const std::string shown = page_->GetResultList()->GetItemText(0, 0);

  // Two peers' searches were forwarded; the device's next two answers are theirs, in order.
  const ReplaySearchRequest first = Request(21);
  const ReplaySearchRequest second = Request(22);
  page_->AddPendingRelaySearch(&first, 1);
  page_->AddPendingRelaySearch(&second, 2);
  page_->OnSearchRemoteRecFileResponse("<RESPONSE_PARAM FileCount=\"1\"><RECORD_FILE FilePath=\"/mnt/sd1/x.avi\" "
                                       "FileLength=\"77\"/></RESPONSE_PARAM>");
  page_->OnSearchRemoteRecFileResponse("<RESPONSE_PARAM FileCount=\"0\"><RECORD_FILE FilePath=\"/y\"/></RESPONSE_PARAM>");
  ASSERT_EQ(log_.answers.size(), 2u);
  EXPECT_EQ(log_.answers[0].searchId, 21u);
  EXPECT_EQ(log_.answers[0].text, "/mnt/sd1/x.avi?77|");  // this answer's files only
  EXPECT_EQ(log_.answers[1].searchId, 22u);
  EXPECT_EQ(log_.answers[1].status, 1);
  EXPECT_EQ(Message(), "");  // no "Query result is empty!" for a peer's answer
  ASSERT_EQ(page_->GetResultList()->GetItemCount(), 2);
  EXPECT_EQ(page_->GetResultList()->GetItemText(0, 0), shown);
  EXPECT_EQ(page_->GetResults().size(), 2u);

  // Text that is not XML refuses the waiting peer.
  page_->AddPendingRelaySearch(&first, 3);
  EXPECT_EQ(page_->OnSearchRemoteRecFileResponse("<not xml"), -1);
  ASSERT_EQ(log_.answers.size(), 3u);
  EXPECT_EQ(log_.answers[2].status, 1);
  EXPECT_EQ(log_.answers[2].word, 3u);

  // A peer's search through the device itself: the NVR's answer goes to the peer.
  page_->AddPendingRelaySearch(&second, 4);
  RecFileQuery peer;
  peer.start = {2024, 1, 5, 0, 0, 0};
  peer.end = {2024, 1, 5, 23, 59, 59};
  peer.nMediaType = 7;  // any media
  const std::optional<std::string> body = NvrFileSearchBody(peer, 0, NvrSearchLayout::kRelay);
  ASSERT_TRUE(body.has_value());
  ASSERT_EQ(ctrl_->WriteAUXStringEx(id_, kNvrFileSearchType, kNvrFileSearchCode, 0, body->c_str()), GIMBRO_OK);
  ASSERT_TRUE(WaitFor([&] { return log_.answers.size() == 4; }));
  EXPECT_EQ(log_.answers[3].status, 0);
  EXPECT_EQ(log_.answers[3].count, 2);
  EXPECT_EQ(log_.answers[3].text, a + "?" + std::to_string(QFileInfo(QString::fromStdString(tree_.LocalPath(a))).size()) +
                                      "|" + b + "?" +
                                      std::to_string(QFileInfo(QString::fromStdString(tree_.LocalPath(b))).size()) + "|");
  EXPECT_EQ(page_->GetResultList()->GetItemText(0, 0), shown);
}

}  // namespace
