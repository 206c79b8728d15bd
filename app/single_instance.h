// One running Vemo per user: a lock file held with flock for the life of the
// process (released by the system when the process ends, also after a crash),
// and a local socket beside it on which the running instance listens. A second
// start finds the lock taken, asks the running instance to bring its main
// window to the front, and ends.
//
// The files lie in $XDG_RUNTIME_DIR (else /tmp), named after the application:
// "<name>.lock" and "<name>.socket".
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

class CSingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit CSingleInstance(const QString& appName, QObject* parent = nullptr);
  ~CSingleInstance() override;  // closes the lock and the socket

  // Takes the lock: true for the first instance (which then listens for
  // raise requests); false when another instance holds it.
  bool Acquire();
  // Second instance: asks the running one to raise its main window; false
  // when it could not be reached.
  bool AskRunningToRaise(int timeoutMs = 2000);
  void Close();

  // The top-level window that carries the property named after the
  // application (the main window sets it on itself), or null.
  static QWidget* FindMainWindow(const QString& appName);
  // Restores the window when minimised and brings it and its active pop-up to the front.
  static void BringToFront(QWidget* window);

 signals:
  void raiseRequested();

 private:
  QString Folder() const;
  QString m_strName;
  int m_nLockFd = -1;
  QLocalServer* m_pServer = nullptr;
};
