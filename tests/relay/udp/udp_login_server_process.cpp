#include "udp_login_server_process.h"

#include <QElapsedTimer>

#include "common/peer_lifetime.h"

UdpLoginServerProcess::UdpLoginServerProcess(const char* mode) {
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  DieWithParent(process_);
  process_.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(VEMO_TEST_PEERS_DIR "/udp_login_server.py"), QString::fromLatin1(mode)});
  if (!process_.waitForStarted(kPeerStartMs)) return;
  QElapsedTimer clock;
  clock.start();
  // A loaded machine may take seconds to start the server: a second without
  // its line is no reason to give up.
  while (port_ == 0 && clock.elapsed() < kPeerStartMs && process_.state() == QProcess::Running) ReadLines(1000);
}

UdpLoginServerProcess::~UdpLoginServerProcess() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.closeWriteChannel();
  if (!process_.waitForFinished(3000)) {
    process_.kill();
    process_.waitForFinished(10000);
  }
}

bool UdpLoginServerProcess::ReadLines(int ms) {
  if (process_.bytesAvailable() == 0 && !process_.waitForReadyRead(ms)) return false;
  pending_ += process_.readAllStandardOutput();
  qsizetype newline;
  while ((newline = pending_.indexOf('\n')) >= 0) {
    const QByteArray line = pending_.left(newline);
    pending_.remove(0, newline + 1);
    if (line.startsWith("READY ")) {
      port_ = line.mid(6).toInt();
    } else if (line.startsWith("RECV ")) {
      received_.push_back(QByteArray::fromHex(line.mid(5)));
    } else {
      answers_.push_back(line.toStdString());
    }
  }
  return true;
}

std::string UdpLoginServerProcess::Command(const std::string& line) {
  answers_.clear();
  process_.write((line + "\n").c_str());
  process_.waitForBytesWritten(5000);
  QElapsedTimer clock;
  clock.start();
  while (answers_.empty() && clock.elapsed() < 10000) ReadLines(200);
  return answers_.empty() ? std::string() : answers_.front();
}

const std::vector<QByteArray>& UdpLoginServerProcess::WaitReceived(size_t count, int ms) {
  QElapsedTimer clock;
  clock.start();
  ReadLines(0);
  while (received_.size() < count && clock.elapsed() < ms) ReadLines(100);
  return received_;
}
