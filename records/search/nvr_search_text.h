// The texts of the NVR record searches sent through the device-messaging
// control: the file search (message "SYSTEM_CONTROL_MESSAGE", code 1021) and
// the day query ("NVR_REPLAY_MESSAGE", code 3001), and their answers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "records/search/rec_file_search.h"

constexpr int kNvrFileSearchCode = 1021;
constexpr int kNvrDayQueryCode = 3001;
constexpr const char* kNvrFileSearchType = "SYSTEM_CONTROL_MESSAGE";
constexpr const char* kNvrDayQueryType = "NVR_REPLAY_MESSAGE";

// A request body never passes 1023 characters (the devices read it into a
// buffer of 1024 bytes).
constexpr size_t kNvrRequestMax = 1023;
// Longest texts of an answer's record file: the path and the size.
constexpr size_t kNvrFilePathMax = 1023;
constexpr size_t kNvrFileLengthMax = 259;
// Letters of a day map: one per minute.
constexpr size_t kNvrDayMapLetters = 1440;

// Where the file search is sent from: the record search page, or the relay
// on behalf of a peer. The two differ only in the runs of tabs and blanks
// between the parts.
enum class NvrSearchLayout { kPage, kRelay };

// The file search of the form for a 0-based page: each attribute in its fixed
// place between fixed runs of tabs and blanks; one left out (all kinds, all
// streams, another media type) leaves its place empty. The size bounds go as
// typed. Nothing when the text would pass kNvrRequestMax: the request is
// refused, never cut.
std::optional<std::string> NvrFileSearchBody(const RecFileQuery& form, int page,
                                             NvrSearchLayout layout = NvrSearchLayout::kPage);

// The day query of a channel and day.
std::string NvrDayQueryBody(int channel, int year, int month, int day);

// The file search answer: the total count over all pages (0 for a missing,
// empty or line-feed-led FileCount; at most its first 9 characters are read)
// and the files of this page. A record file whose path or size is longer than
// its field is left out (and counted in `refused`): it is not cut into the
// name of another file. False when the text is not XML (a document cut short
// included).
struct NvrFileAnswer {
  int total = 0;
  std::vector<RecFileItem> files;
  int refused = 0;
};
bool ParseNvrFileAnswer(const std::string& text, NvrFileAnswer* out);

// The day answer: channel and day map (cut at 1440 letters). False when the
// text is not XML (a document cut short included).
struct NvrDayAnswer {
  int channel = 0;
  std::string map;
};
bool ParseNvrDayAnswer(const std::string& text, NvrDayAnswer* out);
