#include "maint_page_fixture.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QLabel>
#include <QLineEdit>

#include "common/wait_for.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/res_msg_dlg.h"
#include "live/live_messages.h"
#include "pelk/pelk_testing.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "quick_timings.h"
#include "ui/sort_list_ctrl.h"

LRESULT MainWindowStandIn::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DEVSTATUSRESPONSE) return reports_->OnDevStatusResponse(static_cast<LONG>(wParam), static_cast<LONG>(lParam));
  return CWnd::OnMessage(msg, wParam, lParam);
}

void MaintPageTest::SetUp() {
  ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
  PelkTestReset();
  saved_.swap(g_lstDevInfo);
  savedTimings_ = GimbroTimingsForNewLinks();
  GimbroTimingsForNewLinks() = QuickGimbroTimings();
  host_.RemoveFromMaintenance = [this](const char* ip) {
    if (removeOffline_ && page_ != nullptr) page_->RemoveDevice(ip);
  };
  reports_ = std::make_unique<CDeviceStateReports>(host_, [] { return std::string("00-1A-2B-3C-4D-5E"); });
  main_ = std::make_unique<MainWindowStandIn>(reports_.get());
  ctrl_ = std::make_unique<CGimbroCtrl>();
  ctrl_->Advise(&events_);
  page_ = new CSettingMaintDlg(&parent_);
  ASSERT_TRUE(page_->Create(CSettingMaintDlg::IDD, &parent_));
  parent_.resize(1000, 720);
  page_->setGeometry(0, 0, 1000, 720);
  parent_.show();
  events_.SetMainWindow(main_->GetSafeHwnd());
  events_.SetMaintenancePage(page_->GetSafeHwnd());
  page_->SetConfirm([](CSettingMaintDlg::Question, const QString&) { return true; });
}

void MaintPageTest::TearDown() {
  if (ctrl_) {
    ctrl_->Unadvise(&events_);
    ctrl_->Release();
  }
  devices_.clear();
  g_lstDevInfo.swap(saved_);
  GimbroTimingsForNewLinks() = savedTimings_;
}

FakeDeviceProcess* MaintPageTest::AddDevice(const std::string& name, const std::string& ip, bool onvif) {
  std::unique_ptr<FakeDeviceProcess> device =
      onvif ? std::make_unique<FakeOnvifCamera>(0, QStringList{"--password", "secret", "--reboot-seconds", "1"})
            : std::make_unique<FakeDeviceProcess>();
  if (!device->Ready()) return nullptr;
  if (!onvif) device->Command("reboot 1");
  DevInfo& dev = g_lstDevInfo.emplace_back();
  CopyFixedText(dev.DevId, name.c_str());
  CopyFixedText(dev.DevName, name.c_str());
  CopyFixedText(dev.IPAddr, ip.c_str());
  dev.DevType = 1;
  dev.pGimbroCtrl = ctrl_.get();
  dev.pGimbroEvents = &events_;
  dev.GimbroId = ctrl_->AddDevice("127.0.0.1", device->Port(), "admin", "secret");
  devices_.push_back(std::move(device));
  if (!WaitFor([&] { return ListRow(ip) >= 0 && !Cell(ip, 3).empty(); }, 30000)) return nullptr;
  return devices_.back().get();
}

DevInfo* MaintPageTest::Record(const std::string& ip) {
  for (DevInfo& dev : g_lstDevInfo) {
    if (ip == dev.IPAddr) return &dev;
  }
  return nullptr;
}

int MaintPageTest::ListRow(const std::string& ip) const {
  CSortListCtrl* list = page_->List();
  for (int i = 0; i < list->GetItemCount(); ++i) {
    if (list->GetItemText(i, 1) == ip) return i;
  }
  return -1;
}

std::string MaintPageTest::Cell(const std::string& ip, int column) const {
  const int row = ListRow(ip);
  return row < 0 ? std::string("<no row>") : page_->List()->GetItemText(row, column);
}

bool MaintPageTest::WaitStatus(const std::string& ip, const std::string& status, int limitMs) {
  return WaitFor([&] { return Status(ip) == status; }, limitMs);
}

void MaintPageTest::Tick(const std::string& ip, bool on) { page_->List()->SetCheck(ListRow(ip), on); }

void MaintPageTest::SetText(int id, const std::string& text) {
  SetWindowTextW(page_->GetDlgItem(id), QString::fromStdString(text));
}

std::string MaintPageTest::Text(int id) const { return GetWindowTextW(page_->GetDlgItem(id)).toStdString(); }

void MaintPageTest::Click(int id) { qobject_cast<QAbstractButton*>(page_->GetDlgItem(id))->click(); }

std::string MaintPageTest::Message() {
  CResMsgDlg* box = page_->GetMsgDlg();
  if (!box->isVisible()) return std::string();
  const std::string text = qobject_cast<QLabel*>(box->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text().toStdString();
  box->hide();
  return text;
}

std::string MaintPageTest::Received(FakeDeviceProcess& device, const std::string& prefix, int limitMs) {
  std::string record;
  WaitFor([&] { return !(record = device.Take(prefix, 0.02)).empty(); }, limitMs);
  return record;
}

std::string MaintPageTest::TakeBody(FakeDeviceProcess& device, int code, int limitMs) {
  const std::string record = Received(device, "AUX " + std::to_string(code) + " ", limitMs);
  if (record.empty()) return std::string();
  // "AUX <code> <status> <hex type> <hex body>"
  const size_t cut = record.rfind(' ');
  return QByteArray::fromHex(QByteArray::fromStdString(record.substr(cut + 1))).toStdString();
}
