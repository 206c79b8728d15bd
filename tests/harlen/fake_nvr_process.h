// Runs tests/peers/fake_nvr.py for one test and talks to it over its
// standard input and output (one command line, one answer line).
#pragma once

#include <QProcess>
#include <QStringList>
#include <string>

class FakeNvrProcess {
 public:
  // Starts the NVR on `port` (0 = a free port) with extra arguments such as
  // {"--mode", "stray", "3"}; check Ready() afterwards.
  explicit FakeNvrProcess(int port = 0, const QStringList& arguments = {});
  ~FakeNvrProcess();  // stops the NVR
  FakeNvrProcess(const FakeNvrProcess&) = delete;
  FakeNvrProcess& operator=(const FakeNvrProcess&) = delete;

  bool Ready() const { return port_ > 0; }
  int Port() const { return port_; }

  // Sends a command and returns its answer line ("OK ..." or "ERR ...").
  std::string Command(const std::string& line, int timeoutMs = 15000);
  // The logged request starting with prefix, or "" when none came in time.
  std::string Take(const std::string& prefix, double seconds = 5.0);
  // How many logged records start with prefix.
  int Count(const std::string& prefix);

  void Stop();

 private:
  QProcess process_;
  int port_ = 0;
};

// The folder of the NVR's GBK fixture sections.
std::string NvrFixturePath(const std::string& name);
// The bytes of a fixture file.
std::string ReadNvrFixture(const std::string& name);
