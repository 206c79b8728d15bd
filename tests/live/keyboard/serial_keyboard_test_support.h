// Test support of the serial PTZ keyboard: a program folder of its own (with
// the built program's "Lang" and "Resources", the English strings and the
// client log), a socat pseudo-terminal pair standing in for the serial line,
// and a host that records the keyboard's command texts.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "live/keyboard/serial_keyboard_host.h"

// Two connected pseudo-terminals made by socat: the keyboard opens Port(),
// the test writes the keyboard's bytes into Peer().
class SocatPair {
 public:
  SocatPair();
  ~SocatPair();
  SocatPair(const SocatPair&) = delete;
  SocatPair& operator=(const SocatPair&) = delete;

  bool Ready() const { return !port_.empty() && !peer_.empty(); }
  const std::string& Port() const { return port_; }
  const std::string& Peer() const { return peer_; }
  // Writes bytes into the peer end; false when they could not be written.
  bool Write(const std::vector<uint8_t>& bytes);
  // Ends socat: both pseudo-terminals go away.
  void Kill();

 private:
  QProcess process_;
  std::string port_;
  std::string peer_;
};

// Records the command texts the keyboard sends, from the keyboard's thread.
class KeyboardRecordingHost : public CKeyboardPtzHost {
 public:
  void SendKeyboardPtzData(const CString& text) override;
  // Waits until the texts carry at least `count` bytes; false after `seconds`.
  bool WaitForBytes(size_t count, int seconds = 20);
  std::vector<CString> Texts();
  // The bytes of every text, in order, read back from the hexadecimal.
  std::vector<uint8_t> Bytes();
  void Clear();

 private:
  std::mutex lock_;
  std::condition_variable arrived_;
  std::vector<CString> texts_;
};

// Polls `done` every 10 ms for up to `seconds`; its last answer.
bool WaitUntil(const std::function<bool()>& done, int seconds = 20);

// The bytes inside a "trans" text's data element; empty for any other text.
std::vector<uint8_t> TransBytes(const std::string& text);

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes "KeyboardParams.txt" with exactly `content`.
  void WriteParamsFile(const std::string& content);
  std::string ParamsFile() const;  // its content, "" when missing
  // Points port number `port` of the program folder at `device`.
  void LinkComPort(int port, const std::string& device);
  std::string Log() const;  // the client log so far

  TempFolder folder_;
};
