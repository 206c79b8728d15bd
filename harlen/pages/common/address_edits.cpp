#include "harlen/pages/common/address_edits.h"

#include <QLineEdit>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/pages/common/page_text.h"
#include "platform/dialog.h"

int RefuseBadAddress(CDialog* dlg, std::initializer_list<int> ids) {
  for (int id : ids) {
    auto* edit = DlgItem<QLineEdit>(dlg, id);
    uint32_t address = 0;
    if (edit == nullptr || !edit->isEnabled() || AddressFromQText(edit->text(), address)) continue;
    HarlenMessage(dlg, IDS_MSG_ADDRESS_INVALID);
    edit->setFocus();
    edit->selectAll();
    return id;
  }
  return 0;
}

void WatchAddressEdit(QLineEdit* edit, uint32_t* field) {
  if (edit == nullptr || field == nullptr) return;
  QObject::connect(edit, &QLineEdit::textEdited, edit, [field](const QString& text) { AddressFromQText(text, *field); });
  QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, field] {
    uint32_t address = 0;
    if (AddressFromQText(edit->text(), address)) return;
    // The stored address is shown first, so that the focus the message takes
    // ends this editing with a valid text and asks nothing twice.
    edit->setText(DottedQText(*field));
    HarlenMessage(edit->window(), IDS_MSG_ADDRESS_INVALID);
  });
}
