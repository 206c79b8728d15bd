// CConfigToolDlg: the tool panel across the top of the configuration manager:
// six buttons side by side that open the manager's pages through the main
// window. The chosen button's caption is drawn in the marked colour, the others in
// black. "User Config" is only for the user "admin" and "Record Config" needs
// the Record right; a refusal appears in the main window's message box.
// Under a cloud-account login only "Record Config" and "Alarm linkage" stay enabled.
#pragma once

#include "settings/config_panel.h"
#include "ui/skin_colors.h"

class CConfigHost;
class CImageButton;

class CConfigToolDlg : public CConfigPanel {
 public:
  enum { IDD = 140 };
  enum {
    IDC_DEV_CONFIG = 1065, IDC_USER_CONFIG = 1068, IDC_RECORD_CONFIG = 1013,
    IDC_REMOTE_CONFIG = 1069, IDC_MAINTENANCE = 1070, IDC_ALARM_LINKAGE = 1014,
  };
  static constexpr COLORREF kChosenColor = skin::kMarkedCaption;

  explicit CConfigToolDlg(QWidget* parent = nullptr);

  void SetHost(CConfigHost* host) { m_pHost = host; }

  // Gives button `id` the chosen look and the other five the plain one.
  void SelectButton(int id);
  CImageButton* Button(int id) const;

  // The button that opens page `page` (0 to 4).
  static int ButtonOfPage(int page);

  // Button width: 160 with the interface language code 3, else 80; wider when
  // a caption needs it (every button as wide as the widest caption needs).
  int ButtonWidth() const;

  BOOL OnInitDialog() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void OnButton(int id);
  void Refuse(UINT stringId);
  void Layout();

  CConfigHost* m_pHost = nullptr;
  bool m_bInited = false;
};
