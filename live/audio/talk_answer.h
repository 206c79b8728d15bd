// The NVR's answer to a talk request: an XML text with any root element whose
// MESSAGE_BODY children hold RA_START_RESPONSE elements with the talk audio's
// parameters.
#pragma once

#include <optional>
#include <string_view>

namespace talk {

struct AudioParams {
  int audioType = 0;       // 1 when "AudioCodec" names AAC, else 0; 0 selects the small output buffer, 1 the large one
  int sampleRate = 8000;   // "Samplerate"
  int bitsPerSample = 16;  // "BitsPerSample"
  int channels = 1;        // "Channels"
};

// Walks the root's MESSAGE_BODY children and their RA_START_RESPONSE children
// and takes each attribute present (a later one over an earlier one):
// "AudioCodec" holding "AAC" anywhere selects type 1, any other text type 0;
// the numbers are decimal (what is not a number counts as 0). Without the
// elements or attributes the defaults stay. std::nullopt only when the text is
// not an XML document.
std::optional<AudioParams> ParseTalkAnswer(std::string_view text);

// The decoder can play it: 1 to 192000 samples a second of 16 bits, 1 to 8 channels.
bool IsPlayable(const AudioParams& params);

}  // namespace talk
