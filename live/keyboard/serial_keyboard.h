// CPTZKeyboardCtrl: the serial PTZ keyboard (joystick desk). A thread of its
// own reads the keyboard's port and passes every byte, unchanged, to the
// owner's SendKeyboardPtzData wrapped in "trans" command texts (records of
// serial_keyboard_records.h); the camera interprets the keyboard's protocol.
// The port settings come from "KeyboardParams.txt" (keyboard_params.h).
//
// The thread: while the switch is off it idles; it opens the port on its first
// pass with the switch on, and when the port cannot be opened (or is lost) it
// tries again every 10 s. It reads with a short time-out and looks at the run
// state between reads, so StopHandleKBMsg ends it by asking and waiting for it;
// it is never killed. The port is opened, read and closed on that thread.
//
// Start, stop and the settings calls belong to one thread (the UI thread).
#pragma once

#include <QThread>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "live/keyboard/keyboard_params.h"
#include "live/keyboard/serial_keyboard_host.h"
#include "live/keyboard/serial_keyboard_records.h"
#include "platform/win_types.h"

class CKeyboardSerialPort;

class CPTZKeyboardCtrl {
 public:
  enum RunState { kIdle = 0, kRun = 1, kStop = -1 };

  // The host receives the command texts; it outlives the keyboard.
  explicit CPTZKeyboardCtrl(CKeyboardPtzHost* host);
  ~CPTZKeyboardCtrl();
  CPTZKeyboardCtrl(const CPTZKeyboardCtrl&) = delete;
  CPTZKeyboardCtrl& operator=(const CPTZKeyboardCtrl&) = delete;

  // Loads the parameters and starts the thread: 0 started, 1 when the
  // parameters cannot be loaded or a thread already runs, -1 when no thread
  // can be made.
  int StartHandleKCMsg();
  // Asks the thread to end and waits for it (it closes the port on its way
  // out); the parameters are loaded again by the next start. Returns 0.
  int StopHandleKBMsg();

  // Stops, takes `line` as the settings when it parses, writes it as the file's
  // content, and starts again. 0 done; -1 when the line is refused (the
  // previous settings and file stay) or the file cannot be written.
  int SetKeyboardControlParams(const CString& line);
  // The parameter line last applied.
  int GetKeyboardControlParams(CString& out) const;

  // 1 when loaded already; else reads the file and applies its line: 0 done,
  // -1 missing, short or bad file.
  int InitComParams();
  // Parses `line` into the settings and keeps it: 0, or -1 (logged, settings
  // unchanged) when it does not have exactly seven fields.
  int SetKeyboardParams(const CString& line);

  KeyboardParams GetParams() const;
  bool IsThreadRunning() const { return m_pThread != nullptr; }
  // 1 while the thread has the port open.
  int IsComOpen() const { return m_bComOpen.load(); }

 private:
  // Closes the port unless the thread runs (the port is the thread's then; it
  // closes it on its way out). Logs either way. Returns 1.
  int CloseCom();
  void KCHandleProc();
  void SendNextRecord();
  void ReadRecords();
  int GetRunning() const;
  void SetRunning(int state);
  // Waits up to `ms` unless the run state turns to stop; false when it did.
  bool WaitUnlessStopping(int ms) const;

  CKeyboardPtzHost* m_pHost;
  std::unique_ptr<QThread> m_pThread;  // null when no thread

  int m_nRunning = kIdle;  // under m_runLock
  mutable std::mutex m_runLock;
  mutable std::condition_variable m_runChanged;

  std::unique_ptr<CKeyboardSerialPort> m_pPort;  // used by the thread only while it runs
  std::atomic<int> m_bComOpen{0};
  int m_bParamsLoaded = 0;

  mutable std::mutex m_paramLock;  // guards m_params and m_strParams
  KeyboardParams m_params;
  CString m_strParams;

  std::deque<KeyboardRecord> m_queue;  // the thread's records not yet sent
  uint8_t m_readBuffer[kKeyboardReadBytes] = {};
  int m_nUnsent = 0;  // bytes read but not yet sent
};
