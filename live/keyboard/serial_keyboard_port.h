// The serial port of the PTZ keyboard. It is used on the keyboard's thread
// only: opened, read and closed there (the port object is made by OpenCom on
// that thread and deleted by CloseCom).
//
// Port numbers: the settings name a port by number, 1 to 255. Port n is the
// device that "COM<n>" in the program folder links to when that link exists
// (the place to point a port number at a USB adapter or any other device),
// else /dev/ttyS<n-1>.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "live/keyboard/keyboard_params.h"

class QSerialPort;

// The device path of port number `port`; "" for a number below 1.
std::string KeyboardComDevice(int port);

class CKeyboardSerialPort {
 public:
  CKeyboardSerialPort();
  ~CKeyboardSerialPort();
  CKeyboardSerialPort(const CKeyboardSerialPort&) = delete;
  CKeyboardSerialPort& operator=(const CKeyboardSerialPort&) = delete;

  // Opens the port with the settings' baud rate, data bits, parity, stop bits
  // and flow control, read only and not shared: 1 done (also when already
  // open), 0 failure.
  int OpenCom(const KeyboardParams& params);
  // Closes the port when open: 1.
  int CloseCom();
  bool IsOpen() const;

  // Reads up to `size` bytes, waiting at most `waitMs` for the first; once
  // bytes come, more are taken while they follow within 10 ms, so one keyboard
  // frame is read whole. Returns the count, 0 when nothing came, -1 when the
  // port reported an error: its received bytes are dropped and, when the
  // device itself is gone, the port is closed (the keyboard opens it again).
  int ReadPort(uint8_t* buffer, int size, int waitMs);

 private:
  int TakeError();

  std::unique_ptr<QSerialPort> m_port;
};
