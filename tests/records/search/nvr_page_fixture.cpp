#include "nvr_page_fixture.h"

#include <QByteArray>
#include <QComboBox>
#include <QDateTimeEdit>
#include <iterator>

#include "common/wait_for.h"
#include "core/dev_info_store.h"
#include "core/rec_scheme.h"
#include "platform/string_table.h"
#include "records/search/search_page_support.h"

TempFolder* NvrPageTest::clipFolder_ = nullptr;
H264Clip* NvrPageTest::clip_ = nullptr;

void NvrPageTest::SetUpTestSuite() {
  clipFolder_ = new TempFolder;
  clip_ = new H264Clip(MakeH264Clip(clipFolder_->Path(), 2));
}

void NvrPageTest::TearDownTestSuite() {
  delete clip_;
  delete clipFolder_;
}

void NvrPageTest::SetUp() {
  ASSERT_FALSE(clip_->frames.empty()) << "ffmpeg made no clip";
  ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
  device_ = std::make_unique<FakeDeviceProcess>(0, DeviceArguments());
  ASSERT_TRUE(device_->Ready());
  savedSchemes_ = g_lstRecSchemeInfo;
  ctrl_ = std::make_unique<CGimbroCtrl>();
  ctrl_->Advise(&events_);
  ASSERT_TRUE(searchpage::Show(main_, &page_));
  page_->ReceiveGimbroEvents(events_);  // as the main window does
  id_ = ctrl_->AddDevice("127.0.0.1", device_->Port(), "admin", "secret");
  ASSERT_GT(id_, 0);
  for (int channel = 1; channel <= 2; ++channel) {
    DevInfo dev = MakeDevice(4, channel == 1 ? "ch1" : "ch2", "10.0.0.9", channel, "NVR-A");
    dev.GimbroId = id_;
    dev.pGimbroCtrl = ctrl_.get();
    g_lstDevInfo.push_back(dev);
  }
  ch1_ = &*std::next(g_lstDevInfo.rbegin());
  ch2_ = &g_lstDevInfo.back();
  // Downloads of the channels go below a storage path of the tree's own.
  RecSchemeInfo& scheme = storage_.AddScheme(storage_.Storage("d1"));
  scheme.lstDev.push_back(*ch1_);
  scheme.lstDev.push_back(*ch2_);
  g_lstRecSchemeInfo = storage_.Schemes();
  ASSERT_TRUE(WaitFor([&] { return ctrl_->CanReplay(id_) == 1u; }));  // logged in
}

QStringList NvrPageTest::DeviceArguments() const { return {"--records", QString::fromStdString(tree_.Root())}; }

void NvrPageTest::TearDown() {
  if (page_) page_->ReleasePlayers();
  if (ch2_) {
    g_lstDevInfo.pop_back();
    g_lstDevInfo.pop_back();
  }
  g_lstRecSchemeInfo = savedSchemes_;
  if (ctrl_) ctrl_->Unadvise(&events_);
}

std::string NvrPageTest::Record(int channel, const char* kind, int hour, int minute, int second, int seconds,
                                bool withAudio) {
  return tree_.Add(*clip_, channel, kind, 2024, 1, 5, hour, minute, second, seconds, withAudio);
}

void NvrPageTest::Click(int id) { searchpage::Click(*page_, id); }

void NvrPageTest::SetCombo(int id, int index) {
  auto* combo = qobject_cast<QComboBox*>(page_->GetDlgItem(id));
  combo->setCurrentIndex(index);
  combo->activated(index);
}

void NvrPageTest::SetSpan(int day) { searchpage::SetDaySpan(*page_, day); }

std::string NvrPageTest::Message() { return searchpage::TakeMessage(*page_); }

std::string NvrPageTest::Status() { return searchpage::Status(*page_); }

bool NvrPageTest::SearchNvr(DevInfo* channel, int media, int lastDay) {
  if (!page_->SetSearchDevInfo(channel)) return false;
  SetCombo(CSearchRecDlg::IDC_SOURCE, 1);
  SetCombo(CSearchRecDlg::IDC_MEDIA_TYPE, media);
  SetSpan(5);
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_TO))
      ->setDateTime(QDateTime(QDate(2024, 1, lastDay), QTime(23, 59, 59)));
  Click(CSearchRecDlg::IDC_QUERY);
  return WaitFor([&] { return !page_->IsSearching(); });
}

std::string NvrPageTest::TakeRequest(int code) {
  const std::string record = device_->Take("AUX " + std::to_string(code));
  if (record.empty()) return std::string();
  // "AUX <code> <status> <hex type> <hex body>"
  return QByteArray::fromHex(QByteArray::fromStdString(record.substr(record.rfind(' ') + 1))).toStdString();
}
