// "KeyboardParams.txt": the one-line settings file of the serial PTZ keyboard
// in the program folder, written by the keyboard settings page:
//
//   Switch=1,COMPort=3,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE,FlowControl=NONE
//
// Seven fields "name=value" separated by commas; the order decides, the names
// are not checked. StopBits is in tenths of a stop bit (10, 15, 20). A file
// shorter than 50 bytes counts as missing; at most its first 127 bytes are the
// line. There is no default file.
//
// Two readers use it: the keyboard (ParseKeyboardParams, port codes) and the
// settings page (ScanKeyboardPageValues, the values as the page shows them).
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "platform/win_types.h"

inline constexpr const char* kKeyboardParamsFileName = "KeyboardParams.txt";
inline constexpr size_t kKeyboardParamsMinSize = 50;   // shorter: counts as missing
inline constexpr size_t kKeyboardParamsMaxLine = 127;  // bytes read from the file's start
inline constexpr int kKeyboardParamsFieldCount = 7;

// The keyboard's port settings as codes.
struct KeyboardParams {
  int Switch = 0;       // 1 on, 0 off
  int COMPort = 0;      // port number
  int BandRate = 0;     // baud rate
  int DataBits = 0;
  int StopBits = 0;     // 0 one, 1 one and a half, 2 two
  int Verify = 0;       // parity: 0 none, 1 odd, 2 even, 3 mark, 4 space
  int FlowControl = 0;  // 0 none, 1 hardware, 2 software
};

enum KeyboardStopBits { kStopBitsOne = 0, kStopBitsOneAndHalf = 1, kStopBitsTwo = 2 };
enum KeyboardParity { kParityNone = 0, kParityOdd = 1, kParityEven = 2, kParityMark = 3, kParitySpace = 4 };
enum KeyboardFlowControl { kFlowNone = 0, kFlowHardware = 1, kFlowSoftware = 2 };

// Program folder + "KeyboardParams.txt".
std::string KeyboardParamsPath();

// The file's line: its first kKeyboardParamsMaxLine bytes up to the first line
// end (a hand-edited file may end in one). False when the file is missing or
// shorter than kKeyboardParamsMinSize bytes.
bool ReadKeyboardParamsLine(CString& line);

// Writes `line` as the whole content of the file (atomically). False when it
// cannot be written.
bool WriteKeyboardParamsLine(const CString& line);

// Splits `line` into its fields and, when there are exactly seven, fills `out`.
// Returns the number of fields; `out` is untouched unless that is seven.
int ParseKeyboardParams(const CString& line, KeyboardParams& out);

// The values as the settings page shows them, read from the line in the
// order of the format; a field that does not read keeps 0 or "".
struct KeyboardPageValues {
  int Switch = 0;
  int COMPort = 0;
  int BandRate = 0;
  int DataBits = 0;
  int StopBits = 0;         // tenths: 10, 15, 20
  CString Verify;           // "NONE", "ODD", "EVEN"
  CString FlowControl;      // "NONE", "HARDWARE", "SOFTWARE"
};
KeyboardPageValues ScanKeyboardPageValues(const CString& line);

// "Switch=%d,COMPort=%s,BandRate=%d,DataBits=%d,StopBits=%d,Verify=%s,FlowControl=%s".
CString FormatKeyboardParamsLine(int nSwitch, const CString& port, int bandRate, int dataBits, int stopBits,
                                 const CString& verify, const CString& flowControl);

// The entries of the settings page's lists, by list index.
inline constexpr int kKeyboardBandRates[] = {2400, 4800, 9600, 19200};
inline constexpr int kKeyboardDataBits[] = {5, 6, 7, 8};
inline constexpr int kKeyboardStopBitsTenths[] = {10, 15, 20};
inline constexpr const char* kKeyboardVerifyWords[] = {"NONE", "ODD", "EVEN"};
inline constexpr const char* kKeyboardFlowWords[] = {"NONE", "HARDWARE", "SOFTWARE"};

// List index of a value, -1 when the list has no such entry.
int KeyboardListIndex(std::span<const int> values, int value);
int KeyboardListIndex(std::span<const char* const> words, const CString& word);
