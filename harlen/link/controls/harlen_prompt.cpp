#include "harlen/link/controls/harlen_prompt.h"

#include <QFileDialog>
#include <QMessageBox>

#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"

void HarlenMessage(QWidget* parent, UINT textId) { HarlenMessage(parent, harlenres::LoadString(textId)); }

void HarlenMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Information, harlenres::LoadString(IDS_CAPTION_CONFIG), text, QMessageBox::Ok, parent);
  box.exec();
}

bool HarlenAskYesNo(QWidget* parent, UINT textId, UINT captionId) {
  QMessageBox box(QMessageBox::Warning, harlenres::LoadString(captionId), harlenres::LoadString(textId),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

QString HarlenOpenFile(QWidget* parent, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, QString(), QString(), filter, nullptr,
                                      QFileDialog::DontUseNativeDialog);
}

QString HarlenSaveFile(QWidget* parent, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, QString(), QString(), filter, nullptr,
                                      QFileDialog::DontUseNativeDialog);
}
