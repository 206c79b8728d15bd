// CDlgParamConfig: the video parameter page "参数设置". For the channel chosen
// in the tree it edits the channel's main and sub stream (resolution, bit-rate
// type, frame rate) and its weekly record schedule, in place in the channel
// record; save-all sends them. The serial PTZ block shows fixed defaults and
// is bound to no record.
#pragma once

#include <memory>

#include "harlen/link/controls/rgb_page.h"

class QSlider;
class QTreeWidget;
class SchedulePanel;
struct ChannelStream;

class CDlgParamConfig : public CRgbPage {
 public:
  enum { IDD = 106 };
  enum {
    IDC_TREE = 1001,
    IDC_COMBO_STREAM = 1006,
    IDC_COMBO_STREAM_TYPE = 1007,
    IDC_COMBO_RESOLUTION = 1008,
    IDC_COMBO_RATE_TYPE = 1009,
    IDC_COMBO_RATE_LIMIT = 1010,
    IDC_EDIT_RATE = 1004,
    IDC_SLIDER_FPS = 1056,
    IDC_STATIC_FPS = 1065,
    IDC_COMBO_BAUD = 1012,
    IDC_COMBO_DATABITS = 1013,
    IDC_COMBO_STOPBITS = 1014,
    IDC_COMBO_PARITY = 1016,
    IDC_COMBO_FLOW = 1017,
    IDC_COMBO_PROTOCOL = 1018,
    IDC_EDIT_ADDRESS = 1005,
    IDC_BTN_COPY_STREAM = 1057,
    IDC_GRID = 1058,
    IDC_CHECK_RECORD = 1002,
    IDC_CHECK_ALLDAY = 1020,
    IDC_COMBO_ALLDAY = 1021,
    IDC_COMBO_DELAY = 1023,
    IDC_BTN_COPY_SCHEDULE = 1059,
  };
  enum { kMainStream = 0, kSubStream = 1, kEventStream = 2 };

  explicit CDlgParamConfig(QWidget* parent = nullptr);
  ~CDlgParamConfig() override;

  BOOL OnInitDialog() override;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Builds the channel tree from the records just loaded and shows the first channel.
  void FillFromConfig();

  QTreeWidget* GetTree() const { return m_pTree; }
  QSlider* GetSlider() const { return m_pSlider; }
  SchedulePanel& Schedule() { return *m_pSchedule; }

 private:
  int CurrentChannel() const;      // -1 when none
  ChannelStream* CurrentStream() const;  // null when no channel or "事件录像"
  void ShowChannel();
  void ShowStream();
  void OnResolution();
  void OnRateType();
  void OnFrameRate();
  void ShowFps(int fps);

  QTreeWidget* m_pTree = nullptr;
  QSlider* m_pSlider = nullptr;
  std::unique_ptr<SchedulePanel> m_pSchedule;
  bool m_bShowing = false;  // the controls are being set from the record
};
