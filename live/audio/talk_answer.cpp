#include "live/audio/talk_answer.h"

#include <tinyxml.h>

#include <cstdlib>
#include <string>

namespace talk {
namespace {

void ReadInt(const TiXmlElement* element, const char* name, int* value) {
  if (const char* text = element->Attribute(name)) *value = std::atoi(text);
}

void ReadStartResponse(const TiXmlElement* response, AudioParams* params) {
  if (const char* codec = response->Attribute("AudioCodec")) {
    params->audioType = std::string_view(codec).find("AAC") != std::string_view::npos ? 1 : 0;
  }
  ReadInt(response, "Samplerate", &params->sampleRate);
  ReadInt(response, "BitsPerSample", &params->bitsPerSample);
  ReadInt(response, "Channels", &params->channels);
}

}  // namespace

std::optional<AudioParams> ParseTalkAnswer(std::string_view text) {
  TiXmlDocument doc;
  doc.Parse(std::string(text).c_str());
  if (doc.Error() || !doc.RootElement()) return std::nullopt;
  AudioParams params;
  for (const TiXmlElement* body = doc.RootElement()->FirstChildElement("MESSAGE_BODY"); body != nullptr;
       body = body->NextSiblingElement("MESSAGE_BODY")) {
    for (const TiXmlElement* response = body->FirstChildElement("RA_START_RESPONSE"); response != nullptr;
         response = response->NextSiblingElement("RA_START_RESPONSE")) {
      ReadStartResponse(response, &params);
    }
  }
  return params;
}

bool IsPlayable(const AudioParams& params) {
  return params.sampleRate > 0 && params.sampleRate <= 192000 && params.bitsPerSample == 16 && params.channels >= 1 &&
         params.channels <= 8;
}

}  // namespace talk
