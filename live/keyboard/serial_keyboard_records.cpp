#include "live/keyboard/serial_keyboard_records.h"

#include "live/ptz/ptz_command_text.h"

std::vector<KeyboardRecord> CutKeyboardRecords(const uint8_t* bytes, size_t count) {
  std::vector<KeyboardRecord> records;
  size_t offset = 0;
  while (offset < count) {
    size_t chunk = kKeyboardRecordBytes;
    if (offset == 0 && count % kKeyboardRecordBytes != 0) chunk = count % kKeyboardRecordBytes;
    KeyboardRecord record;
    record.bytes.assign(bytes + offset, bytes + offset + chunk);
    // Sixteen bytes always fit a command text; nothing is ever cut off.
    record.text = ptz::TransCommandText(record.bytes).value_or(CString());
    records.push_back(std::move(record));
    offset += chunk;
  }
  return records;
}
