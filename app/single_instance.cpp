#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace {
constexpr char kRaise[] = "raise\n";
}

CSingleInstance::CSingleInstance(const QString& appName, QObject* parent) : QObject(parent), m_strName(appName) {}

CSingleInstance::~CSingleInstance() { Close(); }

QString CSingleInstance::Folder() const {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists()) return QString::fromLocal8Bit(runtime);
  return QStringLiteral("/tmp");
}

bool CSingleInstance::Acquire() {
  const QString base = Folder() + QLatin1Char('/') + m_strName;
  const QByteArray lockPath = QFile::encodeName(base + QStringLiteral(".lock"));
  m_nLockFd = open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (m_nLockFd < 0) return true;  // no place for a lock: run rather than refuse
  if (flock(m_nLockFd, LOCK_EX | LOCK_NB) != 0) {
    close(m_nLockFd);
    m_nLockFd = -1;
    return false;
  }
  // The lock is ours, so a socket file left behind is stale.
  const QString socketPath = base + QStringLiteral(".socket");
  QLocalServer::removeServer(socketPath);
  m_pServer = new QLocalServer(this);
  m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
  if (m_pServer->listen(socketPath)) {
    connect(m_pServer, &QLocalServer::newConnection, this, [this] {
      while (QLocalSocket* peer = m_pServer->nextPendingConnection()) {
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
          if (peer->readAll().contains("raise")) emit raiseRequested();
          peer->disconnectFromServer();
        });
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
      }
    });
  }
  return true;
}

bool CSingleInstance::AskRunningToRaise(int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(Folder() + QLatin1Char('/') + m_strName + QStringLiteral(".socket"));
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kRaise);
  const bool written = socket.waitForBytesWritten(timeoutMs);
  socket.disconnectFromServer();
  return written;
}

void CSingleInstance::Close() {
  if (m_pServer != nullptr) {
    m_pServer->close();
    delete m_pServer;
    m_pServer = nullptr;
  }
  if (m_nLockFd >= 0) {
    close(m_nLockFd);
    m_nLockFd = -1;
  }
}

QWidget* CSingleInstance::FindMainWindow(const QString& appName) {
  const QByteArray property = appName.toUtf8();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->property(property.constData()).toBool()) return window;
  }
  return nullptr;
}

void CSingleInstance::BringToFront(QWidget* window) {
  if (window == nullptr) return;
  if (window->isMinimized()) window->showNormal();
  window->raise();
  window->activateWindow();
  if (QWidget* popup = QApplication::activePopupWidget()) {
    popup->raise();
    popup->activateWindow();
  }
}
