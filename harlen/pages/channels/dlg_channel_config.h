// CDlgChannelConfig: the channel page "通道配置". For the channel chosen in
// the tree it edits, in place, the channel's display settings (titles, date,
// picture) and its three camera alarms (motion detection, video loss,
// occlusion: enable, arming time, linkage, copy-to); save-all sends them.
#pragma once

#include "harlen/link/controls/rgb_page.h"

class QSpinBox;
class QTreeWidget;
struct ChannelDisplay;

class CDlgChannelConfig : public CRgbPage {
 public:
  enum { IDD = 102 };
  enum {
    IDC_TREE = 1001,
    IDC_CHECK_DISPLAY = 1041,
    IDC_CHECK_DATE = 1042,
    IDC_CHECK_TITLE1 = 1044,
    IDC_EDIT_TITLE1 = 1043,
    IDC_CHECK_TITLE2 = 1048,
    IDC_EDIT_TITLE2 = 1047,
    IDC_EDIT_BRIGHTNESS = 1011,
    IDC_EDIT_CONTRAST = 1012,
    IDC_EDIT_SATURATION = 1045,
    IDC_EDIT_CHROMA = 1004,
    IDC_BTN_DEFAULT = 1046,
    IDC_CHECK_MOTION = 1017,   // then 1026 arming, 1027 linkage, 1028 copy-to
    IDC_CHECK_VIDEOLOSS = 1032,  // then 1029, 1030, 1031
    IDC_CHECK_OCCLUSION = 1036,  // then 1033, 1034, 1035
  };
  static constexpr int kAlarmTypes = 3;
  // Per camera alarm type: enable box, arming time, linkage, copy-to.
  static const int kAlarmIds[kAlarmTypes][4];

  explicit CDlgChannelConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  BOOL OnInitDialog() override;
  // Builds the channel tree from the records just loaded and shows the first channel.
  void FillFromConfig();

  QTreeWidget* GetTree() const { return m_pTree; }
  QSpinBox* GetSpin(int editId) const;

 private:
  int CurrentChannel() const;  // -1 when no channel is chosen
  ChannelDisplay* CurrentDisplay() const;
  void ShowChannel();
  void OnDisplayFlag(int id);
  void OnTitleChanged(int id);
  void OnPictureChanged(int id);
  void OnDefaultPicture();
  void OnAlarmEnable(int type);
  void OnArmingTime(int type);
  void OnLinkage(int type);
  void OnCopyTo(int type);

  QTreeWidget* m_pTree = nullptr;
  QSpinBox* m_pSpins[4] = {};
};
