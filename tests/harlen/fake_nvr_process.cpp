#include "fake_nvr_process.h"

#include <fstream>
#include <sstream>

#include "common/peer_lifetime.h"

FakeNvrProcess::FakeNvrProcess(int port, const QStringList& arguments) {
  QStringList args{QStringLiteral(VEMO_TEST_PEERS_DIR "/fake_nvr.py"), QStringLiteral("--port"),
                   QString::number(port)};
  args += arguments;
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  DieWithParent(process_);
  process_.start(QStringLiteral("/usr/bin/python3"), args);
  if (!process_.waitForStarted(kPeerStartMs)) return;
  while (!process_.canReadLine()) {
    if (!process_.waitForReadyRead(kPeerStartMs)) return;
  }
  const QList<QByteArray> words = process_.readLine().trimmed().split(' ');
  if (words.size() == 2 && words[0] == "READY") port_ = words[1].toInt();
}

FakeNvrProcess::~FakeNvrProcess() { Stop(); }

void FakeNvrProcess::Stop() {
  port_ = 0;
  if (process_.state() == QProcess::NotRunning) return;
  process_.closeWriteChannel();  // the NVR ends with its input
  if (!process_.waitForFinished(5000)) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

std::string FakeNvrProcess::Command(const std::string& line, int timeoutMs) {
  if (process_.state() != QProcess::Running) return "ERR not running";
  process_.write(QByteArray::fromStdString(line + "\n"));
  process_.waitForBytesWritten(timeoutMs);
  while (!process_.canReadLine()) {
    if (!process_.waitForReadyRead(timeoutMs)) return "ERR no answer";
  }
  return process_.readLine().trimmed().toStdString();
}

std::string FakeNvrProcess::Take(const std::string& prefix, double seconds) {
  const std::string answer =
      Command("take " + std::to_string(seconds) + " " + prefix, static_cast<int>(seconds * 1000) + 10000);
  return answer.rfind("OK ", 0) == 0 ? answer.substr(3) : std::string();
}

int FakeNvrProcess::Count(const std::string& prefix) {
  const std::string answer = Command("count " + prefix);
  return answer.rfind("OK ", 0) == 0 ? std::stoi(answer.substr(3)) : -1;
}

std::string NvrFixturePath(const std::string& name) { return VEMO_TEST_PEERS_DIR "/nvr_fixtures/" + name; }

std::string ReadNvrFixture(const std::string& name) {
  std::ifstream in(NvrFixturePath(name), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}
