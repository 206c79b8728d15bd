// The sample PTZ protocol: each known word becomes one text naming the
// protocol, the camera's PTZ address, the word and its two numbers:
//   <xml><cmd>tarnex</cmd><addr>1</addr><word>up</word><a>5</a><b>5</b></xml>
// An unknown word leaves the buffer empty.
#include "tarnex/tarnex.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

bool IsKnownWord(std::string_view word) {
  static constexpr std::string_view kWords[] = {
      "up",      "down",    "left",    "right",    "Iris+",   "Iris-",   "Focus+",
      "Focus-",  "Zoom+",   "Zoom-",   "stop",     "AutoScan", "Preset", "PreCall",
      "AddScan", "SetScan", "ActScan", "StopScan", "DelScan"};
  for (std::string_view known : kWords) {
    if (word == known) return true;
  }
  // Auxiliary switches: Open1..Open9, Close1..Close9.
  for (std::string_view prefix : {std::string_view("Open"), std::string_view("Close")}) {
    if (word.size() == prefix.size() + 1 && word.substr(0, prefix.size()) == prefix &&
        word.back() >= '1' && word.back() <= '9') {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int GetPtzProtocolData(int ptzAddr, const char* word,
                                                                         int arg1, int arg2, char* out) {
  if (!out) return -1;
  if (!word || !IsKnownWord(word)) {
    out[0] = '\0';
    return -1;
  }
  const int written = std::snprintf(out, kTarnexOutputSize,
                                    "<xml><cmd>tarnex</cmd><addr>%d</addr><word>%s</word><a>%d</a><b>%d</b></xml>",
                                    ptzAddr, word, arg1, arg2);
  if (written < 0 || written >= kTarnexOutputSize) {
    out[0] = '\0';
    return -1;
  }
  return 0;
}
