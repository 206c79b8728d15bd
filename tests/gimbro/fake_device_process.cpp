#include "fake_device_process.h"

#include <QStringList>

#include "common/peer_lifetime.h"

FakeDeviceProcess::FakeDeviceProcess(int port, const QStringList& arguments, const char* script) {
  QStringList args{QStringLiteral(VEMO_TEST_PEERS_DIR "/") + QLatin1String(script), QString::number(port)};
  args += arguments;
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  DieWithParent(process_);
  process_.start(QStringLiteral("/usr/bin/python3"), args);
  if (!process_.waitForStarted(kPeerStartMs)) return;
  QByteArray line;
  while (!line.contains('\n') && process_.waitForReadyRead(kPeerStartMs)) line += process_.readAllStandardOutput();
  const QList<QByteArray> words = line.trimmed().split(' ');
  if (words.size() != 3 || words[0] != "READY") return;
  auto control = std::make_unique<QTcpSocket>();
  control->connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(words[2].toInt()));
  if (!control->waitForConnected(10000)) return;
  control_ = std::move(control);
  port_ = words[1].toInt();
}

FakeDeviceProcess::~FakeDeviceProcess() { Kill(); }

std::string FakeDeviceProcess::Command(const std::string& line, int timeoutMs) {
  if (control_ == nullptr) return "ERR not running";
  control_->write(QByteArray::fromStdString(line + "\n"));
  control_->waitForBytesWritten(timeoutMs);
  while (!control_->canReadLine()) {
    if (!control_->waitForReadyRead(timeoutMs)) return "ERR no answer";
  }
  QByteArray answer = control_->readLine();
  answer.chop(1);  // the newline; a record may end with a blank
  return answer.toStdString();
}

std::string FakeDeviceProcess::Take(const std::string& prefix, double seconds) {
  const std::string answer =
      Command("take " + prefix + " " + std::to_string(seconds), static_cast<int>(seconds * 1000) + 10000);
  return answer.rfind("OK ", 0) == 0 ? answer.substr(3) : std::string();
}

void FakeDeviceProcess::Kill() {
  control_.reset();
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(10000);
  }
}

std::string Hex(const std::string& bytes) {
  return QByteArray::fromStdString(bytes).toHex().toStdString();
}
