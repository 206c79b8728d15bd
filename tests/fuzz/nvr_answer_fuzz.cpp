// Feeds arbitrary text to the readers of an NVR's record search answers and
// checks that what they take stays within its fields.
#include <cstddef>
#include <cstdint>
#include <string>

#include "records/search/nvr_peer_searches.h"
#include "records/search/nvr_search_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  NvrFileAnswer files;
  if (ParseNvrFileAnswer(text, &files)) {
    for (const RecFileItem& item : files.files) {
      if (item.strFilePath.size() > kNvrFilePathMax || item.strFileSize.size() > kNvrFileLengthMax) __builtin_trap();
    }
    const std::optional<std::string> peer = PeerSearchText(files.files);
    if (peer && peer->size() >= kPeerSearchTextLimit) __builtin_trap();
  }
  NvrDayAnswer day;
  if (ParseNvrDayAnswer(text, &day) && day.map.size() > kNvrDayMapLetters) __builtin_trap();
  return 0;
}
