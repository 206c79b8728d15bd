// libharlen.so as a host uses it: linked by its soname, nothing but the nine
// exports visible, the main configuration window embedded in a host widget
// against the fake NVR, save-all, and hiding it while the NVR still answers.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QProcess>
#include <QTabBar>
#include <QTreeWidget>
#include <algorithm>

#include "common/wait_for.h"
#include "fake_nvr_process.h"
#include "harlen/link/harlen_api.h"
#include "support/modal_answerer.h"

namespace {

QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000)) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The stream-rate list of the system page: the list whose first header is "CH".
QTreeWidget* RateList(QWidget* host) {
  for (QTreeWidget* list : host->findChildren<QTreeWidget*>()) {
    if (list->headerItem() != nullptr && list->headerItem()->text(0) == QStringLiteral("CH")) return list;
  }
  return nullptr;
}

QAbstractButton* Button(QWidget* host, const QString& text) {
  for (QAbstractButton* button : host->findChildren<QAbstractButton*>()) {
    if (button->text() == text && button->isVisible()) return button;
  }
  return nullptr;
}

class LibraryHost : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(nvr.Ready());
    host.resize(900, 700);
    host.show();
  }
  void TearDown() override { HL_Release(); }
  int Show() {
    std::string user = "admin", address = "127.0.0.1";
    return HL_ShowConfigByVemo(user.data(), address.data(), static_cast<unsigned short>(nvr.Port()), &host);
  }

  FakeNvrProcess nvr;
  QWidget host;
  ModalAnswerer answerer;
};

}  // namespace

TEST(LibraryFile, ExportsExactlyTheNineEntryPointsUnderItsSoname) {
  const QString output = RunTool(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"),
                                                     QStringLiteral(HARLEN_LIBRARY_FILE)});
  std::vector<std::string> names;
  for (const QString& line : output.split('\n', Qt::SkipEmptyParts)) names.push_back(line.split(' ').last().toStdString());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"HL_Harlen", "HL_HideConfigByVemo", "HL_Init", "HL_IpChannelConfig",
                                             "HL_LoadLanguage", "HL_ManualRecConfig", "HL_OnUpgradeEvent",
                                             "HL_Release", "HL_ShowConfigByVemo"}));
  const QString dynamic = RunTool(QStringLiteral("readelf"), {QStringLiteral("-d"), QStringLiteral(HARLEN_LIBRARY_FILE)});
  EXPECT_TRUE(dynamic.contains(QStringLiteral("Library soname: [libharlen.so.1]"))) << dynamic.toStdString();
}

TEST_F(LibraryHost, EmbedsReadsAndSavesThroughTheExports) {
  ASSERT_EQ(Show(), 1);
  ASSERT_TRUE(WaitFor([&] { return RateList(&host) != nullptr && RateList(&host)->topLevelItemCount() == 16; }));
  EXPECT_EQ(RateList(&host)->topLevelItem(0)->text(1), QStringLiteral("2048(kb/s)"));
  QTabBar* tabs = host.findChild<QTabBar*>();
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->count(), 10);
  EXPECT_EQ(Button(&host, QStringLiteral("取消")), nullptr) << "no cancel button when embedded";

  nvr.Command("clear");
  QAbstractButton* ok = Button(&host, QStringLiteral("确定"));
  ASSERT_NE(ok, nullptr);
  ok->click();
  std::vector<std::string> sections;
  for (int i = 0; i < 10; ++i) {
    const std::string set = nvr.Take("SET ");
    sections.push_back(set.substr(0, set.rfind(' ')));
  }
  EXPECT_EQ(sections, (std::vector<std::string>{"SET 6", "SET 12", "SET 13", "SET 14", "SET 15", "SET 16", "SET 2",
                                                "SET 17", "SET 1", "SET 8"}));
  ASSERT_TRUE(WaitFor([&] { return !answerer.Messages().isEmpty(); })) << "said once the NVR took every section";
  EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("保存成功")});

  EXPECT_EQ(HL_HideConfigByVemo(), 1);
  EXPECT_TRUE(host.findChildren<QTabBar*>().isEmpty()) << "Harlen's window is gone from the host";
  EXPECT_EQ(HL_OnUpgradeEvent(54, 0, "<u start=\"1\" filesize=\"2\" />", nullptr), 1);
}

TEST_F(LibraryHost, HidingWhileTheNvrAnswersNeverHangs) {
  nvr.Command("mode split 61 1");
  for (int round = 0; round < 20; ++round) {
    ASSERT_EQ(Show(), 1);
    WaitFor([] { return false; }, round % 4 * 5);
    ASSERT_EQ(HL_HideConfigByVemo(), 1);
  }
  EXPECT_TRUE(host.findChildren<QTabBar*>().isEmpty());
}
