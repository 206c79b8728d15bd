// The maintenance page with real devices behind it: fake devices of the
// messaging tests (and fake ONVIF cameras) registered with a messaging control
// whose event sink posts to the page, as in the program. A stand-in of the
// main window takes the devices' status events with the device-state handlers
// of the program: a device that logs in is asked its version (its row comes),
// a device that goes offline leaves the page.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <list>
#include <memory>
#include <string>

#include "common/temp_folder.h"
#include "core/dev_info.h"
#include "fake_device_process.h"
#include "gimbro/gimbro.h"
#include "live/streams/gimbro_events.h"
#include "maker/gimbro/gimbro_link.h"
#include "platform/wnd.h"
#include "relay/reports/device_state_host.h"
#include "relay/reports/device_state_reports.h"
#include "settings/maintenance/setting_maint_dlg.h"

// Takes the control's status events as the main window does.
class MainWindowStandIn : public QWidget, public CWnd {
 public:
  explicit MainWindowStandIn(CDeviceStateReports* reports) : CWnd(this), reports_(reports) {}
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  CDeviceStateReports* reports_;
};

class MaintPageTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts a fake device (or camera), registers it as `name` with the record's
  // address `ip` and waits for its row. Null when it did not come.
  FakeDeviceProcess* AddDevice(const std::string& name, const std::string& ip, bool onvif = false);
  DevInfo* Record(const std::string& ip);

  // The row of a device in the list (-1: none) and its cells.
  int ListRow(const std::string& ip) const;
  std::string Cell(const std::string& ip, int column) const;
  std::string Status(const std::string& ip) const { return Cell(ip, 2); }
  bool WaitStatus(const std::string& ip, const std::string& status, int limitMs = 20000);
  void Tick(const std::string& ip, bool on = true);
  void SetText(int id, const std::string& text);
  std::string Text(int id) const;
  void Click(int id);
  // The page's message (and closes its box); "" when none shows.
  std::string Message();
  // The next record of the device starting with `prefix`, or "" when none
  // comes within the time; the page's events go on meanwhile.
  std::string Received(FakeDeviceProcess& device, const std::string& prefix, int limitMs = 15000);
  // The body of the next AUX record of a code the device received, as Received.
  std::string TakeBody(FakeDeviceProcess& device, int code, int limitMs = 15000);

  TempFolder folder_;
  std::list<DevInfo> saved_;
  GimbroTimings savedTimings_;
  DeviceStateHost host_;
  std::unique_ptr<CDeviceStateReports> reports_;
  std::unique_ptr<MainWindowStandIn> main_;
  std::unique_ptr<CGimbroCtrl> ctrl_;
  CGimbroEvents events_;
  QWidget parent_;
  CSettingMaintDlg* page_ = nullptr;  // owned by parent_
  bool removeOffline_ = true;         // a device that goes offline leaves the page
  std::list<std::unique_ptr<FakeDeviceProcess>> devices_;
};
