// The serial PTZ keyboard's bytes as command records. The program does not
// decode the keyboard's own protocol: the camera or video server does. It cuts
// what one read brings into records of at most 16 bytes and wraps each in the
// "trans" command text, which carries the bytes unchanged as hexadecimal.
//
// Cutting: the first record holds (count mod 16) bytes, or 16 when that is 0;
// every further record 16. So 20 bytes give records of 4 and 16 bytes, 32
// bytes two of 16: a whole keyboard frame read at once stays in one record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

inline constexpr size_t kKeyboardRecordBytes = 16;  // bytes of one record at most
inline constexpr size_t kKeyboardReadBytes = 48;    // bytes of one port read at most

struct KeyboardRecord {
  std::vector<uint8_t> bytes;  // 1 to kKeyboardRecordBytes bytes as read
  CString text;                // "<xml>\n<cmd>trans</cmd>\n<data>..hex..</data>\n</xml>"
};

// The records of `count` bytes read from the port, in order; none for count 0.
std::vector<KeyboardRecord> CutKeyboardRecords(const uint8_t* bytes, size_t count);
