// CSearchAlarmDlg: the alarm search module window. It takes the device clicked
// in a tree; the search itself comes with the alarm subsystem.
#pragma once

#include "platform/dialog.h"

struct DevInfo;
struct RelayDevice;
class CDeviceListDlg;

class CSearchAlarmDlg : public CDialog {
 public:
  enum { IDD = 148 };

  explicit CSearchAlarmDlg(QWidget* parent = nullptr);

  // 1 while shown on an extension monitor.
  void SetActive(int bActive) { m_bActive = bActive; }
  int IsActive() const { return m_bActive; }
  void SetLocalDevice(DevInfo* pDevInfo) { m_pLocalDev = pDevInfo; }
  void SetRemoteDevice(RelayDevice* pRelayDevice) { m_pRemoteDev = pRelayDevice; }
  DevInfo* GetLocalDevice() const { return m_pLocalDev; }
  RelayDevice* GetRemoteDevice() const { return m_pRemoteDev; }

  int m_nScreenNo = 0;                         // monitor the window is on; 0 in the main window
  CDeviceListDlg* m_pDevListDlg = nullptr;     // its device list panel, not made yet

 private:
  int m_bActive = 0;
  DevInfo* m_pLocalDev = nullptr;
  RelayDevice* m_pRemoteDev = nullptr;
};
