#include "harlen/pages/network/dlg_contact.h"

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/ex_list_ctrl.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/pages/network/email_recipients.h"

BOOL CDlgContact::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  m_pList = ReplaceDlgItem(IDC_LIST, new CExListCtrl());
  SetUpReportList(m_pList, {QString(), harlenres::LoadString(IDS_CONTACT_COL_NAME), harlenres::LoadString(IDS_CONTACT_COL_EMAIL)},
                  {100, 130, 130});
  const QString label = harlenres::LoadString(IDS_CONTACT_RECIPIENT);
  const std::vector<RecipientRow> rows = m_pEmail != nullptr ? RecipientRows(*m_pEmail) : RecipientRows(EmailCfg{});
  for (size_t i = 0; i < rows.size(); ++i) {
    const int row = m_pList->InsertItem(static_cast<int>(i), QString(label).replace(QStringLiteral("%d"), QString::number(i + 1)));
    m_pList->SetItemText(row, 1, rows[i].name);
    m_pList->SetItemText(row, 2, rows[i].email);
  }
  m_pList->SetEditable(true);
  m_pList->SetEditRow(-1);
  m_pList->SetEditColumn(-1);
  m_pList->SetNoEditColumn(0);
  OnClicked(IDC_BTN_DELETE, [this] { OnDelete(); });
  return TRUE;
}

void CDlgContact::OnDelete() {
  if (m_pList == nullptr) return;
  for (QTreeWidgetItem* item : m_pList->selectedItems()) {
    item->setText(1, QString());
    item->setText(2, QString());
  }
}

void CDlgContact::OnOK() {
  if (m_pEmail != nullptr && m_pList != nullptr) {
    m_pList->EndEdit();
    std::vector<RecipientRow> rows;
    for (int i = 0; i < m_pList->topLevelItemCount(); ++i) {
      rows.push_back({m_pList->GetItemText(i, 1), m_pList->GetItemText(i, 2)});
    }
    StoreRecipientRows(*m_pEmail, rows);
  }
  CRgbDialog::OnOK();
}
