// The texts of the NVR record searches sent through the device-messaging
// control: the file search (message "SYSTEM_CONTROL_MESSAGE", code 1021) and
// the day query ("NVR_REPLAY_MESSAGE", code 3001), and their answers.
#pragma once

#include <string>
#include <vector>

#include "records/search/rec_file_search.h"

constexpr int kNvrFileSearchCode = 1021;
constexpr int kNvrDayQueryCode = 3001;
constexpr const char* kNvrFileSearchType = "SYSTEM_CONTROL_MESSAGE";
constexpr const char* kNvrDayQueryType = "NVR_REPLAY_MESSAGE";

// The file search of the form for a 0-based page, in the page's layout: each
// attribute in its fixed place between fixed runs of tabs and blanks; one left
// out (all kinds, all streams, another media type) leaves its place empty.
std::string NvrFileSearchBody(const RecFileQuery& form, int page);

// The day query of a channel and day.
std::string NvrDayQueryBody(int channel, int year, int month, int day);

// The file search answer: the total count over all pages (0 for a missing,
// empty or line-feed-led FileCount) and the files of this page. False when the
// text is not XML.
struct NvrFileAnswer {
  int total = 0;
  std::vector<RecFileItem> files;
};
bool ParseNvrFileAnswer(const std::string& text, NvrFileAnswer* out);

// The day answer: channel and day map (cut at 1440 letters). False when the
// text is not XML.
struct NvrDayAnswer {
  int channel = 0;
  std::string map;
};
bool ParseNvrDayAnswer(const std::string& text, NvrDayAnswer* out);
