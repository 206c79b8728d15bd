#include "records/search/nvr_search_text.h"

#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Runs of tabs (T) and blanks (B) between the parts of the requests.
const std::string kT4B5 = "\t\t\t\t     ";
const std::string kT5B1 = "\t\t\t\t\t ";
const std::string kT2B12 = "\t\t            ";
const std::string kT5B2 = "\t\t\t\t\t  ";
const std::string kT4B3 = "\t\t\t\t   ";

std::string Attribute(const char* name, const std::string& value) { return std::string(name) + "=\"" + value + "\""; }

std::string Stamp(const RecSearchTime& t) {
  char text[64];
  std::snprintf(text, sizeof(text), "%04d%02d%02d %02d:%02d:%02d", t.nYear, t.nMonth, t.nDay, t.nHour, t.nMinute,
                t.nSecond);
  return text;
}

// A decimal number as atoi reads it, held within the range of an int.
int DecimalInt(const char* text) {
  const long long value = std::strtoll(text, nullptr, 10);
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

const TiXmlElement* AnswerRoot(const TiXmlDocument& doc) {
  const TiXmlElement* root = doc.RootElement();
  return root && std::strcmp(root->Value(), "RESPONSE_PARAM") == 0 ? root : nullptr;
}

}  // namespace

std::optional<std::string> NvrFileSearchBody(const RecFileQuery& form, int page, NvrSearchLayout layout) {
  static const char* const kModes[] = {nullptr, "SCHEDULE", "ALARM", "MOTION"};
  static const char* const kMedia[] = {"VIDEO", "AUDIOVIDEO", "PICTURE"};
  const bool relay = layout == NvrSearchLayout::kRelay;
  const std::string& head = relay ? kT4B3 : kT4B5;
  const std::string& between = relay ? kT4B3 : kT5B1;
  const std::string& tail = relay ? kT4B3 : kT2B12;
  const std::string mode =
      form.nRecType >= 1 && form.nRecType <= 3 ? Attribute("RecordMode", kModes[form.nRecType]) : std::string();
  const std::string media =
      form.nMediaType >= 0 && form.nMediaType <= 2 ? Attribute("MediaType", kMedia[form.nMediaType]) : std::string();
  const std::string stream =
      form.nStream >= 1 && form.nStream <= 4 ? Attribute("StreamIndex", std::to_string(form.nStream)) : std::string();
  const std::string parts[] = {Attribute("StartTime", Stamp(form.start)), Attribute("EndTime", Stamp(form.end)),
                               media,
                               stream,
                               Attribute("MinSize", form.strMinSize),
                               Attribute("MaxSize", form.strMaxSize),
                               Attribute("Page", std::to_string(page))};
  std::string body = "<REQUEST_PARAM" + head + mode;
  for (const std::string& part : parts) body += between + part;
  body += tail + "/>";
  if (body.size() > kNvrRequestMax) return std::nullopt;
  return body;
}

std::string NvrDayQueryBody(int channel, int year, int month, int day) {
  char date[64];
  std::snprintf(date, sizeof(date), "%04d%02d%02d", year, month, day);
  return "<REQUEST_PARAM" + kT5B2 + Attribute("ChannelId", std::to_string(channel)) + kT5B2 + Attribute("Time", date) +
         kT5B2 + "/>";
}

bool ParseNvrFileAnswer(const std::string& text, NvrFileAnswer* out) {
  TiXmlDocument doc;
  doc.Parse(text.c_str());
  if (doc.Error() || !doc.RootElement()) return false;  // a document cut short is no answer either
  NvrFileAnswer answer;
  if (const TiXmlElement* root = AnswerRoot(doc)) {
    const char* count = root->Attribute("FileCount");
    if (count && count[0] != '\0' && count[0] != '\n') answer.total = std::atoi(std::string(count).substr(0, 9).c_str());
    for (const TiXmlElement* file = root->FirstChildElement(); file; file = file->NextSiblingElement()) {
      if (std::strcmp(file->Value(), "RECORD_FILE") != 0) continue;
      const char* path = file->Attribute("FilePath");
      const char* length = file->Attribute("FileLength");
      if ((path && std::strlen(path) > kNvrFilePathMax) || (length && std::strlen(length) > kNvrFileLengthMax)) {
        ++answer.refused;
        continue;
      }
      RecFileItem item;
      if (path) item.strFilePath = path;
      if (length) item.strFileSize = length;
      answer.files.push_back(std::move(item));
    }
  }
  *out = std::move(answer);
  return true;
}

bool ParseNvrDayAnswer(const std::string& text, NvrDayAnswer* out) {
  TiXmlDocument doc;
  doc.Parse(text.c_str());
  if (doc.Error() || !doc.RootElement()) return false;
  NvrDayAnswer answer;
  if (const TiXmlElement* root = AnswerRoot(doc)) {
    if (const char* channel = root->Attribute("ChannelId")) answer.channel = DecimalInt(channel);
    if (const char* stream = root->Attribute("Stream")) answer.map = std::string(stream).substr(0, kNvrDayMapLetters);
  }
  *out = std::move(answer);
  return true;
}
