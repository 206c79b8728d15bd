#include "harlen/link/controls/harlen_prompt.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"

namespace {

// Runs a message box whose buttons read as Harlen's string table says, and
// returns the button pressed. The box lives on the heap: when its parent is
// destroyed while it is open (the host hides Harlen), it goes with it.
QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
  QPointer<QMessageBox> box = new QMessageBox(icon, caption, text, buttons, parent);
  const std::pair<QMessageBox::StandardButton, UINT> labels[] = {
      {QMessageBox::Ok, IDS_BUTTON_OK}, {QMessageBox::Yes, IDS_BUTTON_YES}, {QMessageBox::No, IDS_BUTTON_NO}};
  for (const auto& [which, id] : labels) {
    if (QAbstractButton* button = box->button(which)) button->setText(harlenres::LoadString(id));
  }
  if (defaultButton != QMessageBox::NoButton) box->setDefaultButton(defaultButton);
  const int result = box->exec();
  delete box.data();
  return static_cast<QMessageBox::StandardButton>(result);
}

}  // namespace

void HarlenMessage(QWidget* parent, UINT textId) { HarlenMessage(parent, harlenres::LoadString(textId)); }

void HarlenMessage(QWidget* parent, const QString& text) {
  Ask(parent, QMessageBox::Information, harlenres::LoadString(IDS_CAPTION_CONFIG), text, QMessageBox::Ok,
      QMessageBox::NoButton);
}

bool HarlenAskYesNo(QWidget* parent, UINT textId, UINT captionId) {
  return Ask(parent, QMessageBox::Warning, harlenres::LoadString(captionId), harlenres::LoadString(textId),
             QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

QString HarlenOpenFile(QWidget* parent, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, QString(), QString(), filter, nullptr,
                                      QFileDialog::DontUseNativeDialog);
}

QString HarlenSaveFile(QWidget* parent, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, QString(), QString(), filter, nullptr,
                                      QFileDialog::DontUseNativeDialog);
}
