// A second Vemo (the program build/bin/vemo) that this test's main window
// views through the relay: a program folder of its own with one camera (the
// fake device's messaging port and the RTSP test server's stream), its
// forwarding server saved as running, and an account "admin" / "relay". It
// logs in by itself; it dies with the test.
#pragma once

#include <QProcess>
#include <string>

#include "common/temp_folder.h"

struct VemoPeerSetup {
  std::string programFolder;  // where build/bin's pictures, templates and texts are
  std::string mac;            // its relay identity, e.g. "02-00-00-00-00-0B"
  int relayPort = 0;          // its forwarding server on 127.0.0.1
  int devicePort = 0;         // the camera's messaging port (fake device)
  int rtspPort = 0;           // the camera's stream
  // A schedule recording of the camera from this second of the day for this
  // many seconds (none when `recordFrom` is negative).
  int recordFrom = -1;
  int recordSeconds = 0;
  // The device is an NVR "Nvr" that has told no channels yet, instead of the
  // camera "Gate".
  bool nvr = false;
};

class VemoPeer {
 public:
  explicit VemoPeer(const VemoPeerSetup& setup);
  ~VemoPeer();  // kills it
  VemoPeer(const VemoPeer&) = delete;
  VemoPeer& operator=(const VemoPeer&) = delete;

  bool Start();
  // Ends the program as a signal ends it: its connections close at once.
  void Terminate();
  bool Listens() const;  // its forwarding server accepts connections
  std::string Log() const;

  // The account's password digest that a viewer logs in with.
  static std::string PasswordDigest();

 private:
  void WriteConfig() const;

  VemoPeerSetup setup_;
  TempFolder folder_;
  QProcess process_;
};
