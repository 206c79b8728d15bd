// CDlgDevParamConfig: the device page "设备参数": the NVR's device information
// and versions, its name, number and video mode, daylight saving and camera
// time synchronisation (edited in place in the system and common records),
// the computer's clock, the NVR's time when it is reported, and setting the
// NVR's time (the one request this page sends itself).
#pragma once

#include "harlen/link/controls/rgb_page.h"
#include "harlen/link/sections/user_cfg.h"

class CDlgMain;
class QDateTimeEdit;
class QSpinBox;

class CDlgDevParamConfig : public CRgbPage {
 public:
  enum { IDD = 112 };
  enum {
    IDC_EDIT_NAME = 1095,
    IDC_EDIT_ID = 1005,
    IDC_COMBO_CYCLE = 1090,
    IDC_COMBO_PANEL = 1091,
    IDC_COMBO_RS485 = 1092,
    IDC_EDIT_SERIAL = 1009,
    IDC_EDIT_CHANNELS = 1010,
    IDC_EDIT_ALARMIN = 1011,
    IDC_EDIT_ALARMOUT = 1012,
    IDC_EDIT_DISKS = 1013,
    IDC_COMBO_MODE = 1079,
    IDC_STATIC_CLOCK = 1096,
    IDC_PICKER = 1094,
    IDC_COMBO_ZONE = 1080,
    IDC_BTN_APPLY = 1097,
    IDC_CHECK_IPCTIME = 1143,
    IDC_EDIT_MAINVER = 1019,
    IDC_EDIT_HWVER = 1020,
    IDC_CHECK_DST = 1081,
    IDC_COMBO_START_MONTH = 1083,
    IDC_COMBO_START_WEEK = 1084,
    IDC_COMBO_START_WEEKDAY = 1085,
    IDC_EDIT_START_HOUR = 1021,
    IDC_COMBO_END_MONTH = 1086,
    IDC_COMBO_END_WEEK = 1087,
    IDC_COMBO_END_WEEKDAY = 1088,
    IDC_EDIT_END_HOUR = 1022,
    IDC_COMBO_OFFSET = 1089,
  };
  enum { kClockTimer = 1001 };

  explicit CDlgDevParamConfig(CDlgMain* main, QWidget* parent = nullptr) : CRgbPage(IDD, parent), m_pMain(main) {}

  BOOL OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;
  // Shows the records of the whole configuration just loaded.
  void FillFromConfig();
  // Shows the NVR's time (status 4100) in the picker and its zone.
  void ShowDeviceTime(const DeviceTime& time);

  QDateTimeEdit* GetPicker() const { return m_pPicker; }
  QSpinBox* GetStartHour() const { return m_pStartHour; }
  QSpinBox* GetEndHour() const { return m_pEndHour; }

 private:
  void OnSummerTimeClicked();
  void OnListChanged(int id);
  void OnHourChanged(bool start);
  void OnApply();
  void ShowClock();

  CDlgMain* m_pMain;
  QDateTimeEdit* m_pPicker = nullptr;
  QSpinBox* m_pStartHour = nullptr;
  QSpinBox* m_pEndHour = nullptr;
};
