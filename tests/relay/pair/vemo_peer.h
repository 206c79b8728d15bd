// A second Vemo instance that serves through the relay: the real program in a
// program folder of its own (its configuration, record tree, registry, runtime
// folder and relay identity), logged in automatically, its forwarding server
// running on 127.0.0.1. It dies with the test process.
#pragma once

#include <QProcess>
#include <string>

#include "common/temp_folder.h"

// What else B is given (the defaults are the camera above with no stream).
struct VemoPeerOptions {
  int rtspPort = 1;        // the camera's stream (the RTSP test server's port)
  bool nvr = false;        // the device is an NVR "Nvr" that has told no channels yet
  int recordFrom = -1;     // a schedule recording of the camera from this second of the day ...
  int recordSeconds = 0;   // ... for this long (none while recordFrom is negative)
};

class VemoPeer {
 public:
  static constexpr char kMac[] = "02-00-00-00-00-0B";
  static constexpr char kUser[] = "admin";
  // Md5UpperHex("relay"): the password digest both sides log in with.
  static constexpr char kDigest[] = "31747CB8FCF11E5A53630B39BF82AE65";

  // The program folder; the caller puts files in it before Start.
  const TempFolder& Folder() const { return m_folder; }
  // The drive folder "D:" stands for, and B's record storage path "D:\".
  std::string DriveD() const { return m_folder.File("drives/D"); }

  // Writes the configuration: one camera "Gate" at 127.0.0.1 whose
  // device-messaging port is `ptzPort`, a record scheme (not running) that
  // holds it on "D:\", the forwarding server on a free port. Starts the program
  // and waits until its server runs. False (with the program's output in
  // Output()) when it does not come up.
  bool Start(int ptzPort, const VemoPeerOptions& options = {});
  void Stop();
  ~VemoPeer() { Stop(); }

  int Port() const { return m_port; }
  qint64 Pid() const { return m_process.processId(); }
  // The program's client log so far (file logging is on).
  std::string Log() const;
  std::string Output();

 private:
  bool StartOn(int relayPort, int ptzPort);
  void WriteConfig(int relayPort, int ptzPort) const;

  VemoPeerOptions m_options;

  TempFolder m_folder;
  QProcess m_process;
  int m_port = 0;
  std::string m_output;
};

// A free TCP port on 127.0.0.1 (bound once, then let go).
int FreeLocalPort();
