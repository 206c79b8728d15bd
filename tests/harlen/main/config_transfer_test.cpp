// What the main window and the system page do without a window: the import
// and export files, the upload progress, the upgrade session's rules, the
// hand-over of replies from the receive thread and save-all's acknowledgements.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <fstream>
#include <thread>

#include "common/temp_folder.h"
#include "harlen/link/main/config_transfer.h"
#include "harlen/link/main/nvr_reply_relay.h"
#include "harlen/link/main/save_acks.h"
#include "harlen/link/main/upgrade_session.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/protocol/nvr_request.h"
#include "platform/wnd.h"

namespace {

// Keeps every message it receives, with a copy of a posted reply.
class Receiver : public QWidget, public CWnd {
 public:
  Receiver() : CWnd(this) {}
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    messages.push_back({msg, wParam});
    if (msg == WM_NVR_REPLY) replies.push_back(*reinterpret_cast<const NvrReply*>(lParam));
    return 0;
  }
  std::vector<std::pair<UINT, WPARAM>> messages;
  std::vector<NvrReply> replies;
};

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(ConfigFiles, ExportNameEndsInXmlOnce) {
  const std::pair<const char*, const char*> cases[] = {
      {"/tmp/nvr", "/tmp/nvr.xml"},
      {"/tmp/nvr.xml", "/tmp/nvr.xml"},
      {"/tmp/nvr.XML", "/tmp/nvr.XML"},
      {"/tmp/nvr.xml.bak", "/tmp/nvr.xml.bak.xml"},
      {"/tmp/配置", "/tmp/配置.xml"},
  };
  for (const auto& [chosen, written] : cases) EXPECT_EQ(ExportFilePath(chosen), written) << chosen;
}

TEST(ConfigFiles, ImportAcceptsOnlyAWholeConfigurationThatFitsOneRequest) {
  TempFolder folder;
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n";
  Write(folder.File("good.xml"),
        declaration + "<nvr><usercfg><user username=\"\xB9\xDC\xC0\xED\" /></usercfg></nvr>");  // GBK name
  Write(folder.File("root.xml"), declaration + "<config><usercfg /></config>");
  Write(folder.File("broken.xml"), declaration + "<nvr><usercfg></nvr>");
  Write(folder.File("empty.xml"), "");
  // A text that prints just past what one SetConfig frame can carry.
  const size_t limit = NVRMC_SEND_BUFFER_SIZE - SetConfigFrameSize(0);
  std::string big = "<nvr><common name=\"";
  big += std::string(limit, 'x');
  big += "\" /></nvr>";
  Write(folder.File("big.xml"), big);

  struct Case {
    const char* file;
    ImportResult result;
  } cases[] = {
      {"good.xml", ImportResult::kOk},        {"root.xml", ImportResult::kUnreadable},
      {"broken.xml", ImportResult::kUnreadable}, {"empty.xml", ImportResult::kUnreadable},
      {"missing.xml", ImportResult::kUnreadable}, {"big.xml", ImportResult::kTooLarge},
  };
  for (const Case& c : cases) {
    std::string text = "untouched";
    EXPECT_EQ(ReadImportFile(folder.File(c.file), text), c.result) << c.file;
    if (c.result != ImportResult::kOk) {
      EXPECT_EQ(text, "untouched") << c.file;
    }
  }
  std::string text;
  ASSERT_EQ(ReadImportFile(folder.File("good.xml"), text), ImportResult::kOk);
  EXPECT_EQ(text, declaration + "<nvr>\n\t<usercfg>\n\t\t<user username=\"\xB9\xDC\xC0\xED\" />\n\t</usercfg>\n</nvr>\n")
      << "printed by TinyXML with a tab indent, the GBK bytes as they were";
}

TEST(ConfigFiles, ExportWritesTheBytesUnchangedAndReplacesAnOldFile) {
  TempFolder folder;
  const std::string path = folder.File("nvr.xml");
  Write(path, std::string(5000, 'o'));
  const std::string data = std::string("<nvr>\r\n\xC9\xE8\xB1\xB8\0tail", 16);
  ASSERT_TRUE(WriteExportFile(path, data));
  EXPECT_EQ(ReadAll(path), data);
  EXPECT_FALSE(WriteExportFile(folder.File("no/such/folder/nvr.xml"), data));
}

TEST(UpgradeProgress, PercentIsExactForFilesOfAnySize) {
  struct Case {
    long long start, size;
    int percent;
  } cases[] = {
      {50, 200, 25},
      {30000000, 40000000, 75},              // 30 MB: start * 100 passes 2^31
      {3000000000LL, 4000000000LL, 75},      // files above 2 GB
      {1, 3, 33},
      {200, 200, 100},
      {250, 200, 100},                       // more than the size: a full bar
      {0, 200, -1},
      {50, 0, -1},
      {-5, 200, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(UpgradePercent(c.start, c.size), c.percent) << c.start << "/" << c.size;
}

TEST(UpgradeSessionRules, StartCancelAndEventsFollowTheUpload) {
  Receiver page;
  UpgradeSession session;
  std::vector<std::pair<std::string, int>> calls;
  static std::vector<std::pair<std::string, int>>* record = nullptr;
  record = &calls;
  auto callback = [](const char* path, int op, void* user) -> int {
    record->push_back({path, op});
    EXPECT_EQ(user, reinterpret_cast<void*>(0x1234));
    return 0;
  };

  EXPECT_EQ(session.OnEvent(kUpgradeEventFinished, nullptr), 1) << "no page: nothing to show";
  EXPECT_FALSE(session.Start("/tmp/fw.bin")) << "no callback: nothing to do";
  session.AttachPage(page.GetSafeHwnd());
  session.SetCallback(callback, reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(session.OnEvent(kUpgradeEventProgress, "<p start=\"50\" filesize=\"200\"/>"), 0) << "no upload yet";
  EXPECT_FALSE(session.Start(""));
  EXPECT_TRUE(session.Start("/tmp/fw.bin"));
  EXPECT_FALSE(session.Start("/tmp/other.bin")) << "one upload at a time";
  EXPECT_EQ(session.OnEvent(kUpgradeEventProgress, "<p start=\"50\" filesize=\"200\"/>"), 1);
  EXPECT_EQ(session.OnEvent(kUpgradeEventProgress, "<p start=\"50\"/>"), 0) << "no file size";
  EXPECT_EQ(session.OnEvent(kUpgradeEventProgress, "not xml"), 0);
  EXPECT_EQ(session.OnEvent(kUpgradeEventFinished, nullptr), 1);
  EXPECT_EQ(session.OnEvent(kUpgradeEventFinished, nullptr), 0) << "finished twice";
  EXPECT_TRUE(session.Start("/tmp/fw.bin"));
  EXPECT_TRUE(session.Cancel());
  EXPECT_FALSE(session.Cancel());
  EXPECT_TRUE(session.Start("/tmp/fw.bin"));
  EXPECT_EQ(session.OnEvent(kUpgradeEventFailed, nullptr), 1);
  EXPECT_FALSE(session.Uploading()) << "a failed upload is over: the next one may start";
  EXPECT_EQ(session.OnEvent(99, nullptr), 1);
  QApplication::processEvents();

  EXPECT_EQ(calls, (std::vector<std::pair<std::string, int>>{
                       {"/tmp/fw.bin", 1}, {"/tmp/fw.bin", 1}, {"/tmp/fw.bin", -101}, {"/tmp/fw.bin", 1}}));
  EXPECT_EQ(page.messages, (std::vector<std::pair<UINT, WPARAM>>{
                               {WM_UPGRADE_PROGRESS, 25}, {WM_UPGRADE_PROGRESS, 100}, {WM_UPGRADE_FAILED, 0}}));
  session.DetachPage(page.GetSafeHwnd());
  EXPECT_FALSE(session.HasPage());
}

TEST(UpgradeSessionRules, EventsFromTheHostsThreadReachThePage) {
  Receiver page;
  UpgradeSession session;
  session.AttachPage(page.GetSafeHwnd());
  session.SetCallback([](const char*, int, void*) { return 0; }, nullptr);
  ASSERT_TRUE(session.Start("fw.bin"));
  std::thread host([&] {
    for (long long done = 400000000; done <= 4000000000LL; done += 400000000) {
      session.OnEvent(kUpgradeEventProgress,
                      ("<p start=\"" + std::to_string(done) + "\" filesize=\"4000000000\" />").c_str());
    }
    session.OnEvent(kUpgradeEventFinished, nullptr);
  });
  host.join();
  QApplication::processEvents();
  std::vector<WPARAM> values;
  for (const auto& [msg, value] : page.messages) values.push_back(value);
  EXPECT_EQ(values, (std::vector<WPARAM>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 100}));
}

TEST(ReplyRelay, CopiesEveryReplyWithItsStatusToTheWindow) {
  Receiver window;
  NvrReplyRelay relay(window.GetSafeHwnd(), 7);
  std::thread receive([&] {
    std::string text = "<nvr />";
    NvrReplyRelay::Callback(4391, 0, 0, text.c_str(), static_cast<int>(text.size()), &relay);
    text.assign(text.size(), 'X');  // the link clears its buffer after the call
    NvrReplyRelay::Callback(4391, 1, 0, "<refused />", 11, &relay);
    NvrReplyRelay::Callback(4383, 0, -1, nullptr, 0, &relay);
    NvrReplyRelay::Callback(4391, 0, 0, "<x />", 5, nullptr);
  });
  receive.join();
  QApplication::processEvents();
  ASSERT_EQ(window.replies.size(), 3u) << "a refusal reaches the window too; without a relay nothing goes";
  EXPECT_EQ(window.messages[0], std::make_pair(WM_NVR_REPLY, WPARAM{7}));
  EXPECT_EQ(window.replies[0].data, "<nvr />");
  EXPECT_EQ(window.replies[0].argument, 0);
  EXPECT_EQ(window.replies[1].status, 1);
  EXPECT_EQ(window.replies[1].data, "<refused />");
  EXPECT_EQ(window.replies[2].command, 4383);
  EXPECT_FALSE(window.replies[2].hasData);
}

TEST(SaveAcks, AcknowledgementsAnswerTheSectionsInTheOrderSent) {
  using Sections = std::vector<int>;
  SaveAcks acks;
  SaveOutcome notSent;
  notSent.unread = {17};
  acks.Begin({6, 12, 2}, notSent, 1);
  EXPECT_TRUE(acks.Pending());
  EXPECT_FALSE(acks.OnAck(0, 1));
  EXPECT_FALSE(acks.OnAck(1, 1));
  EXPECT_FALSE(acks.OnAck(1, 2)) << "an acknowledgement of another connection answers nothing sent on this one";
  EXPECT_TRUE(acks.OnAck(0, 1)) << "the last one awaited";
  EXPECT_FALSE(acks.OnAck(1, 1)) << "nothing awaited: an unsolicited acknowledgement changes nothing";
  EXPECT_EQ(acks.Outcome().refused, Sections{12});
  EXPECT_EQ(acks.Outcome().unread, Sections{17});
  EXPECT_FALSE(acks.Outcome().AllTaken());

  // A save whose wait ran out: its late acknowledgements are passed over, not taken for the next save's.
  acks.Begin({6, 12}, {}, 1);
  EXPECT_FALSE(acks.OnAck(0, 1));
  acks.Expire();
  EXPECT_FALSE(acks.Pending());
  EXPECT_EQ(acks.Outcome().unanswered, Sections{12});
  acks.Begin({1, 8}, {}, 1);
  EXPECT_FALSE(acks.OnAck(1, 1)) << "the late refusal of 12";
  EXPECT_FALSE(acks.OnAck(0, 1));
  EXPECT_TRUE(acks.OnAck(0, 1));
  EXPECT_TRUE(acks.Outcome().AllTaken());

  // A new connection owes nothing of the old one.
  acks.Begin({6}, {}, 1);
  acks.Expire();
  acks.Begin({2}, {}, 2);
  EXPECT_TRUE(acks.OnAck(1, 2));
  EXPECT_EQ(acks.Outcome().refused, Sections{2});
}
