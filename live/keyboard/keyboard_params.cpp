#include "live/keyboard/keyboard_params.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/text_convert.h"
#include "platform/file_api.h"
#include "platform/paths.h"

std::string KeyboardParamsPath() { return paths::ProgramFolder() + kKeyboardParamsFileName; }

bool ReadKeyboardParamsLine(CString& line) {
  const std::string path = KeyboardParamsPath();
  const int64_t size = fileapi::Size(path);
  if (size < static_cast<int64_t>(kKeyboardParamsMinSize)) return false;
  std::unique_ptr<FILE, int (*)(FILE*)> file(fileapi::Open(path, "rb"), fclose);
  if (!file) return false;
  char buffer[kKeyboardParamsMaxLine];
  const size_t count = fread(buffer, 1, sizeof buffer, file.get());
  line.assign(buffer, count);
  const size_t end = line.find_first_of("\r\n");
  if (end != CString::npos) line.resize(end);
  return true;
}

bool WriteKeyboardParamsLine(const CString& line) {
  return fileapi::WriteWhole(KeyboardParamsPath(), line.data(), line.size());
}

namespace {

// The text after the first "=" of a field ("" when it has none).
CString FieldValue(const CString& field) {
  const size_t equals = field.find('=');
  return equals == CString::npos ? CString() : field.substr(equals + 1);
}

int StopBitsCode(const CString& tenths) {
  if (tenths == "15") return kStopBitsOneAndHalf;
  if (tenths == "20") return kStopBitsTwo;
  return kStopBitsOne;
}

int ParityCode(const CString& word) {
  if (word == "ODD") return kParityOdd;
  if (word == "EVEN") return kParityEven;
  if (word == "MARK") return kParityMark;
  if (word == "SPACE") return kParitySpace;
  return kParityNone;
}

int FlowControlCode(const CString& word) {
  if (word == "HARDWARE") return kFlowHardware;
  if (word == "SOFTWARE") return kFlowSoftware;
  return kFlowNone;
}

}  // namespace

int ParseKeyboardParams(const CString& line, KeyboardParams& out) {
  CStringArray fields;
  const int count = SplitString(line, ",", FALSE, &fields);
  if (count != kKeyboardParamsFieldCount) return count;
  KeyboardParams params;
  params.Switch = atoi(FieldValue(fields[0]).c_str());
  params.COMPort = atoi(FieldValue(fields[1]).c_str());
  params.BandRate = atoi(FieldValue(fields[2]).c_str());
  params.DataBits = atoi(FieldValue(fields[3]).c_str());
  params.StopBits = StopBitsCode(FieldValue(fields[4]));
  params.Verify = ParityCode(FieldValue(fields[5]));
  params.FlowControl = FlowControlCode(FieldValue(fields[6]));
  out = params;
  return count;
}

KeyboardPageValues ScanKeyboardPageValues(const CString& line) {
  KeyboardPageValues values;
  char verify[kKeyboardParamsMaxLine + 1] = "";
  char flow[kKeyboardParamsMaxLine + 1] = "";
  sscanf(line.c_str(), "Switch=%d,COMPort=%d,BandRate=%d,DataBits=%d,StopBits=%d,Verify=%127[^,],FlowControl=%127[^,]",
         &values.Switch, &values.COMPort, &values.BandRate, &values.DataBits, &values.StopBits, verify, flow);
  values.Verify = verify;
  values.FlowControl = flow;
  return values;
}

CString FormatKeyboardParamsLine(int nSwitch, const CString& port, int bandRate, int dataBits, int stopBits,
                                 const CString& verify, const CString& flowControl) {
  char head[96];
  snprintf(head, sizeof head, "Switch=%d,COMPort=", nSwitch);
  char middle[96];
  snprintf(middle, sizeof middle, ",BandRate=%d,DataBits=%d,StopBits=%d,Verify=", bandRate, dataBits, stopBits);
  return head + port + middle + verify + ",FlowControl=" + flowControl;
}

int KeyboardListIndex(std::span<const int> values, int value) {
  for (size_t i = 0; i < values.size(); ++i) {
    if (values[i] == value) return static_cast<int>(i);
  }
  return -1;
}

int KeyboardListIndex(std::span<const char* const> words, const CString& word) {
  for (size_t i = 0; i < words.size(); ++i) {
    if (word == words[i]) return static_cast<int>(i);
  }
  return -1;
}
