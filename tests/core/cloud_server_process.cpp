#include "cloud_server_process.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QFile>

#include "common/peer_lifetime.h"

CloudServerProcess::CloudServerProcess(const char* mode, const std::string& deviceAnswer) {
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  DieWithParent(process_);
  QStringList arguments{QStringLiteral(VEMO_TEST_PEERS_DIR "/cloud_server.py"), QString::fromLatin1(mode),
                        QString::fromStdString(folder_.File("requests.log"))};
  if (!deviceAnswer.empty()) arguments << QString::fromStdString(deviceAnswer);
  process_.start(QStringLiteral("/usr/bin/python3"), arguments);
  if (!process_.waitForStarted(kPeerStartMs)) return;
  QByteArray line;
  while (!line.contains('\n') && process_.waitForReadyRead(kPeerStartMs)) line += process_.readAllStandardOutput();
  const QList<QByteArray> words = line.trimmed().split(' ');
  if (words.size() == 2 && words[0] == "READY") port_ = words[1].toInt();
}

CloudServerProcess::~CloudServerProcess() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(10000);
  }
}

std::vector<std::string> CloudServerProcess::Requests() const {
  QFile file(QString::fromStdString(folder_.File("requests.log")));
  std::vector<std::string> requests;
  if (!file.open(QIODevice::ReadOnly)) return requests;
  const QByteArray all = file.readAll();
  qsizetype at = 0;
  while (at < all.size()) {
    const qsizetype newline = all.indexOf('\n', at);
    if (newline < 0) break;
    const qsizetype length = all.mid(at, newline - at).toLongLong();
    requests.push_back(all.mid(newline + 1, length).toStdString());
    at = newline + 1 + length;
  }
  return requests;
}

int ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}
