// The NVR's answer to a talk request: an XML text whose MESSAGE_BODY holds a
// RA_START_RESPONSE element with the talk audio's parameters.
#pragma once

#include <optional>
#include <string_view>

namespace talk {

struct AudioParams {
  int audioType = 0;       // "AudioCodec": 0 selects the small output buffer, 1 the large one
  int sampleRate = 8000;   // "Samplerate"
  int bitsPerSample = 16;  // "BitsPerSample"
  int channels = 1;        // "Channels"
};

// Reads the four attributes of MESSAGE_BODY / RA_START_RESPONSE (MESSAGE_BODY
// may be the root or a child of the root). A missing attribute keeps its
// default; a value that is not a number counts as 0, as does a codec name
// such as "G711". std::nullopt when the text is not XML or lacks the element,
// or when the rate, sample size or channel count cannot be played.
std::optional<AudioParams> ParseTalkAnswer(std::string_view text);

}  // namespace talk
