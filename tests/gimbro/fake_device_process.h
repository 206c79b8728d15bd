// Starts and stops a peer of tests/peers/ that prints "READY <port> <command
// port>" and takes line commands (fake_device.py, fake_onvif_camera.py), and
// sends it commands.
#pragma once

#include <QProcess>
#include <QTcpSocket>
#include <memory>
#include <string>

class FakeDeviceProcess {
 public:
  // Starts the device on `port` (0 = a free port) with extra command-line
  // arguments; check Ready() afterwards.
  explicit FakeDeviceProcess(int port = 0, const QStringList& arguments = {},
                             const char* script = "fake_device.py");
  ~FakeDeviceProcess();  // stops the device
  FakeDeviceProcess(const FakeDeviceProcess&) = delete;
  FakeDeviceProcess& operator=(const FakeDeviceProcess&) = delete;

  bool Ready() const { return port_ > 0 && control_ != nullptr; }
  int Port() const { return port_; }

  // Sends one command line and returns the answer line ("OK ..." / "ERR ...").
  std::string Command(const std::string& line, int timeoutMs = 10000);
  // Waits for a received record starting with prefix: the record, or "" on timeout.
  std::string Take(const std::string& prefix, double seconds = 5.0);

  // Kills the process at once, as a device that loses power.
  void Kill();

 private:
  QProcess process_;
  std::unique_ptr<QTcpSocket> control_;
  int port_ = 0;
};

// The fake ONVIF camera (tests/peers/fake_onvif_camera.py).
class FakeOnvifCamera : public FakeDeviceProcess {
 public:
  explicit FakeOnvifCamera(int port = 0, const QStringList& arguments = {})
      : FakeDeviceProcess(port, arguments, "fake_onvif_camera.py") {}
};

// Lower-case hex of the bytes of a text, as the device writes its records.
std::string Hex(const std::string& bytes);
