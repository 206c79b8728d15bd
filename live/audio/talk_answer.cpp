#include "live/audio/talk_answer.h"

#include <tinyxml.h>

#include <cstdlib>
#include <string>

namespace talk {
namespace {

void ReadInt(const TiXmlElement* element, const char* name, int* value) {
  if (const char* text = element->Attribute(name)) *value = std::atoi(text);
}

const TiXmlElement* FindBody(const TiXmlElement* root) {
  if (std::string_view(root->Value()) == "MESSAGE_BODY") return root;
  return root->FirstChildElement("MESSAGE_BODY");
}

}  // namespace

std::optional<AudioParams> ParseTalkAnswer(std::string_view text) {
  TiXmlDocument doc;
  doc.Parse(std::string(text).c_str());
  if (doc.Error() || !doc.RootElement()) return std::nullopt;
  const TiXmlElement* body = FindBody(doc.RootElement());
  if (!body) return std::nullopt;
  const TiXmlElement* response = body->FirstChildElement("RA_START_RESPONSE");
  if (!response) return std::nullopt;
  AudioParams params;
  ReadInt(response, "AudioCodec", &params.audioType);
  ReadInt(response, "Samplerate", &params.sampleRate);
  ReadInt(response, "BitsPerSample", &params.bitsPerSample);
  ReadInt(response, "Channels", &params.channels);
  const bool playable = params.sampleRate > 0 && params.sampleRate <= 192000 &&
                        params.bitsPerSample == 16 && params.channels >= 1 && params.channels <= 8;
  if (!playable) return std::nullopt;
  return params;
}

}  // namespace talk
