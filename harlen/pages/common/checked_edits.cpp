#include "harlen/pages/common/checked_edits.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/pages/common/page_text.h"
#include "platform/dialog.h"

namespace {

QString BadPortText(uint16_t highest) { return harlenres::FormatString(IDS_MSG_PORT_INVALID, {highest}); }

// The user is told, and the edit takes the focus with its text selected.
void Refuse(QWidget* parent, QLineEdit* edit, const QString& message) {
  HarlenMessage(parent, message);
  edit->setFocus();
  edit->selectAll();
}

// When editing ends on a text that `valid` refuses, the edit shows `stored()`
// again and the user gets `message`. The stored text is shown first, so that
// the focus the message takes ends this editing with a valid text and asks
// nothing twice.
void RestoreWhenBad(QLineEdit* edit, std::function<bool(const QString&)> valid, std::function<QString()> stored,
                    const QString& message) {
  QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, valid, stored, message] {
    if (valid(edit->text())) return;
    edit->setText(stored());
    HarlenMessage(edit->window(), message);
  });
}

}  // namespace

int RefuseBadAddress(CDialog* dlg, std::initializer_list<int> ids) {
  for (int id : ids) {
    auto* edit = DlgItem<QLineEdit>(dlg, id);
    uint32_t address = 0;
    if (edit == nullptr || !edit->isEnabled() || AddressFromQText(edit->text(), address)) continue;
    Refuse(dlg, edit, harlenres::LoadString(IDS_MSG_ADDRESS_INVALID));
    return id;
  }
  return 0;
}

void WatchAddressEdit(QLineEdit* edit, uint32_t* field) {
  if (edit == nullptr || field == nullptr) return;
  QObject::connect(edit, &QLineEdit::textEdited, edit, [field](const QString& text) { AddressFromQText(text, *field); });
  RestoreWhenBad(
      edit,
      [](const QString& text) {
        uint32_t address = 0;
        return AddressFromQText(text, address);
      },
      [field] { return DottedQText(*field); }, harlenres::LoadString(IDS_MSG_ADDRESS_INVALID));
}

int RefuseBadPort(CDialog* dlg, std::initializer_list<int> ids, uint16_t highest) {
  for (int id : ids) {
    auto* edit = DlgItem<QLineEdit>(dlg, id);
    uint16_t port = 0;
    if (edit == nullptr || !edit->isEnabled() || !edit->isModified() || PortFromQText(edit->text(), port, highest)) {
      continue;
    }
    Refuse(dlg, edit, BadPortText(highest));
    return id;
  }
  return 0;
}

void WatchPortEdit(QLineEdit* edit, std::function<uint16_t*()> field, uint16_t highest) {
  if (edit == nullptr || !field) return;
  // Digits only, an empty text too: the range is checked here, with a message,
  // rather than by a validator that would quietly keep the edit from ending.
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  QObject::connect(edit, &QLineEdit::textEdited, edit, [field, highest](const QString& text) {
    if (uint16_t* port = field()) PortFromQText(text, *port, highest);
  });
  RestoreWhenBad(
      edit,
      [edit, highest](const QString& text) {
        uint16_t port = 0;
        return !edit->isModified() || PortFromQText(text, port, highest);
      },
      [field] {
        const uint16_t* port = field();
        return port != nullptr ? QString::number(*port) : QString();
      },
      BadPortText(highest));
}
