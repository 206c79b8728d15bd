// CPTZDlg: the PTZ control panel in the left column of the main window. Ten
// hold buttons move the camera of the active grid's selected pane and drive
// its lens while the left mouse button is held; three preset buttons set,
// call and remove presets and timed rules; the advanced list sends single
// camera commands. The texts are built by CPtzPanelLogic and handed to the
// main window through CPtzPanelHost; the panel fills its preset lists from
// the camera's answer (WM_PTZ_RESPONSE).
#pragma once

#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "core/res_msg_dlg.h"
#include "live/ptz/ptz_panel_logic.h"
#include "platform/dialog.h"
#include "ui/gdi_manager.h"

class QComboBox;
class CImageButton;

class CPTZDlg : public CDialog {
 public:
  enum { IDD = 136 };
  enum {
    IDC_BTN_UP = 1034, IDC_BTN_LEFT = 1035, IDC_BTN_RIGHT = 1036, IDC_BTN_DOWN = 1037,
    IDC_BTN_IRIS_OPEN = 1038, IDC_BTN_IRIS_CLOSE = 1039, IDC_BTN_FOCUS_FAR = 1040,
    IDC_BTN_ZOOM_TELE = 1041, IDC_BTN_FOCUS_NEAR = 1042, IDC_BTN_ZOOM_WIDE = 1043,
    IDC_COMBO_PAN_SPEED = 1044, IDC_COMBO_TILT_SPEED = 1045,
    IDC_STATIC_PAN = 1046, IDC_STATIC_TILT = 1047, IDC_EDIT_PRESET = 1048,
    IDC_BTN_ADD_PRESET = 1049, IDC_COMBO_CALL_PRESET = 1050, IDC_BTN_CALL_PRESET = 1051,
    IDC_COMBO_DEL_PRESET = 1052, IDC_BTN_DEL_PRESET = 1053, IDC_COMBO_ADVANCE = 1054,
    IDC_BTN_ADVANCE = 1055, IDC_STATIC_ADD = 1056, IDC_STATIC_CALL = 1057,
    IDC_STATIC_DEL = 1058, IDC_STATIC_ADVANCE = 1059,
  };

  explicit CPTZDlg(CPtzPanelHost& host, QWidget* parent = nullptr);
  ~CPTZDlg() override;

  BOOL OnInitDialog() override;

  // Fills the advanced list with its 40 entries (entry i at index i).
  void InitAdvanceCmdCombo();
  // For the PTZ protocol settings while the plug-in is loaded: inserts the 18
  // auxiliary switch entries at indexes 40 to 57 ("Assist" n "Open" at
  // 40 + 2(n - 1), "Assist" n "Close" at the next index, n = 1..9).
  void InsertAuxSwitchEntries();
  // For the PTZ protocol settings when the plug-in is switched off: empties the
  // advanced list and refills its 40 entries.
  void ResetAdvanceCmdCombo();
  // Validation of a preset text against the delete-preset list and the
  // plug-in's state; see ::CheckPresetInput.
  int CheckPresetInput(const CString& text);

  // A left-button press at `screenPos`: the hold button under it starts its command.
  void OnMousePTZ(const QPoint& screenPos);
  // The release: stops a held command (also called by the video toolbar).
  void StopPtzCommand();
  // Empties both preset lists and the preset field (the pane's watch stopped).
  void ClearPresets();

  void OnBnClickedBtnAddPreset();
  void OnBnClickedBtnCallPreset();
  void OnBnClickedBtnDelPreset();
  void OnBnClickedBtnAdvancePtz();

  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // The answer text to a preset list request (WM_PTZ_RESPONSE).
  void OnPtzResponse(LONG gimbroId, const std::string& answer);

  // Enter and Escape do not close the panel.
  void OnOK() override {}
  void OnCancel() override {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void SetButtonPictures();
  void ShowMessage(int stringId);
  // The six labels share one font size: the panel's own, or smaller when the
  // language's texts need it to wrap inside their places.
  void FitLabelFont();
  std::vector<std::string> DeletePresetTexts() const;

  CPtzPanelHost& m_host;
  CPtzPanelLogic m_logic;
  CGdiManger m_skin;
  QComboBox* m_cmbPanSpeed = nullptr;
  QComboBox* m_cmbTiltSpeed = nullptr;
  QComboBox* m_cmbCallPreset = nullptr;
  QComboBox* m_cmbDelPreset = nullptr;
  QComboBox* m_cmbAdvance = nullptr;
  std::vector<CImageButton*> m_holdButtons;  // by button index: id - 1034
  int m_nSelCallPreset = -1;
  std::unique_ptr<CResMsgDlg> m_pMsgDlg;
};
