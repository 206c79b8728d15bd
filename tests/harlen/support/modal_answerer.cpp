#include "support/modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>

ModalAnswerer::ModalAnswerer() {
  timer_.setInterval(5);
  connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
  timer_.start();
}

void ModalAnswerer::Look() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible()) return;
  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    messages_ << box->text();
    QStringList texts;
    for (const QAbstractButton* button : box->buttons()) texts << button->text();
    texts.sort();
    buttonTexts_ << texts;
    QAbstractButton* button = nullptr;
    if (!buttons_.empty()) {
      button = box->button(buttons_.front());
      buttons_.pop_front();
    }
    if (button == nullptr) button = box->escapeButton();
    if (button == nullptr) button = box->button(QMessageBox::Ok);
    ++answered_;
    if (button != nullptr) {
      button->click();
    } else {
      box->reject();
    }
    return;
  }
  if (auto* picker = qobject_cast<QFileDialog*>(modal)) {
    QString path;
    if (!files_.empty()) {
      path = files_.front();
      files_.pop_front();
    }
    ++answered_;
    if (path.isEmpty()) {
      picker->reject();
    } else {
      picker->selectFile(path);
      QMetaObject::invokeMethod(picker, "accept");
    }
  }
}
