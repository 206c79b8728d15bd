// CSearchAlarmDlg: the alarm info page of the main window. The user picks a
// device in a device list panel (the main window's, or on an extension monitor
// the page's own, made and handed over by the main window; their selection
// forwarders call SetLocalDevice / SetRemoteDevice), a
// span of time and kinds of alarms; "Query" lists the alarms of the device's
// day files (alarm_search.h). A local device is searched under its DevName and
// a relay device under "MAC_IP": the names the alarm panel logs them under.
#pragma once

#include <QImage>
#include <QRect>
#include <map>
#include <string>
#include <vector>

#include "alarm_map_wall/alarm/search/alarm_search.h"
#include "core/dev_info.h"
#include "platform/dialog.h"
#include "ui/gdi_manager.h"

class CDeviceListDlg;
class CResMsgDlg;
class CSortListCtrl;
class QCheckBox;
struct RelayDevice;

class CSearchAlarmDlg : public CDialog {
 public:
  enum { IDD = 148 };
  enum {
    IDC_DEVICE_TEXT = 1233,
    IDC_START = 1221,
    IDC_END = 1222,
    IDC_ALL = 1225,
    IDC_QUERY = 1218,
    IDC_PRE_PAGE = 1219,
    IDC_NEXT_PAGE = 1220,
    IDC_RESULT_LIST = 1060,
  };
  static constexpr int kPanelWidth = 220;
  // The kind boxes and their codes (kAlarmSearchKinds), row by row.
  struct KindBox {
    int id;
    int code;
  };
  static const KindBox kKindBoxes[kAlarmSearchKindCount];

  explicit CSearchAlarmDlg(QWidget* parent = nullptr);
  ~CSearchAlarmDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override {}      // Enter and Escape are swallowed
  void OnCancel() override {}

  // 1 while shown on an extension monitor: only there the page shows its own
  // device list panel (on the main monitor the main window's panel is beside
  // it, and the form moves to the page's left edge).
  void SetActive(int bActive);
  int IsActive() const { return m_bActive; }
  // The device chosen in the panel (null: ignored); the results are emptied.
  void SetLocalDevice(DevInfo* pDevInfo);
  void SetRemoteDevice(RelayDevice* pRelayDevice);
  // The panel at the page's left, made by the main window (the page lays it out).
  void SetDeviceListPanel(CDeviceListDlg* panel, QWidget* panelWidget);

  void OnBnClickedQuery();
  // The span and kinds of the form; false (after the notice) when the span is inverted.
  bool ReadQuery(AlarmQuery& query);

  const std::string& DeviceText() const { return m_strDevice; }
  const std::vector<AlarmResult>& Results() const { return m_results; }
  CSortListCtrl* GetList() const { return m_pResultList; }
  CResMsgDlg* MsgDlg() const { return m_pMsgDlg; }

  int m_nScreenNo = 0;                      // monitor the page is on; 0 in the main window
  CDeviceListDlg* m_pDevListDlg = nullptr;  // its device list panel

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void InitTexts();
  void Layout();
  void SetDeviceText(const std::string& text);
  void ClearResults();
  void FillResults();
  void OnAllClicked();
  void OnKindClicked(QCheckBox* box);
  QCheckBox* Box(int id) const;

  int m_bActive = 0;
  DevInfo m_DevInfo;
  std::string m_strDevice;
  std::vector<AlarmResult> m_results;
  CSortListCtrl* m_pResultList = nullptr;
  CResMsgDlg* m_pMsgDlg = nullptr;
  QWidget* m_pPanelWidget = nullptr;
  CGdiManger m_gdi;
  QImage m_background;
  std::map<int, QRect> m_places;  // the template's rectangles of the form's controls
  bool m_bInited = false;
};
