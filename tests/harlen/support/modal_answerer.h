// Answers the modal message boxes and file pickers that a test's code opens.
//
// While it lives, it looks for a modal dialog every few milliseconds (the
// dialog's own event loop runs the look-up). A message box takes the next
// scripted button (else its escape button, or OK); a file picker takes the
// next scripted path (else it is cancelled). The texts of the message boxes
// and of their buttons are kept in order.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <deque>

class ModalAnswerer : public QObject {
 public:
  ModalAnswerer();

  void AnswerMessage(QMessageBox::StandardButton button) { buttons_.push_back(button); }
  // An empty path cancels the picker.
  void AnswerFile(const QString& path) { files_.push_back(path); }

  const QStringList& Messages() const { return messages_; }
  // The texts of each answered message box's buttons, sorted.
  const QList<QStringList>& ButtonTexts() const { return buttonTexts_; }
  int Answered() const { return answered_; }
  void Clear() { messages_.clear(); }

 private:
  void Look();

  QTimer timer_;
  std::deque<QMessageBox::StandardButton> buttons_;
  std::deque<QString> files_;
  QStringList messages_;
  QList<QStringList> buttonTexts_;
  int answered_ = 0;
};
