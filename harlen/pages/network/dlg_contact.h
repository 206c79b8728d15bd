// CDlgContact: the modal window "联系人" that edits the recipients of the
// e-mail record in an editable list; every shown row with a name and an
// address is written back on OK, nothing on Cancel.
#pragma once

#include "harlen/link/controls/rgb_dialog.h"
#include "harlen/link/sections/network_cfg.h"

class CExListCtrl;

class CDlgContact : public CRgbDialog {
 public:
  enum { IDD = 110 };
  enum { IDC_LIST = 1069, IDC_BTN_DELETE = 1070 };

  explicit CDlgContact(QWidget* parent = nullptr) : CRgbDialog(IDD, parent) {}
  void SetEmail(EmailCfg* email) { m_pEmail = email; }
  CExListCtrl* List() const { return m_pList; }

  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void OnDelete();

  EmailCfg* m_pEmail = nullptr;
  CExListCtrl* m_pList = nullptr;
};
