// The local record search by file: the record files of one device over a span
// of dates and times, found in the client's own record folders and passed
// through the search form's filters (times on the first and last day, file
// sizes, media and stream marks of the name).
//
// CRecFileSearch holds the logic of the record search page's by-file search;
// the page reads its form into a RecFileQuery and shows the records found. Its
// scheme and day-folder walk (SearchFirstScheme) also serves a relay peer's
// search of the same folders, which matches its devices otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <vector>

struct DevInfo;
struct RecSchemeInfo;

// Message ids of the refusals (string table).
constexpr int kMsgWrongTimeRange = 491;    // "Wrong time range,please reset!"
constexpr int kMsgNoRecordScheme = 492;    // "Without record strategy,the device can't match ..."

// One record file found: full path and length in bytes as decimal text.
struct RecFileItem {
  std::string strFilePath;
  std::string strFileSize;
};

// A date and time of the search form.
struct RecSearchTime {
  int nYear = 0;
  int nMonth = 0;
  int nDay = 0;
  int nHour = 0;
  int nMinute = 0;
  int nSecond = 0;

  int SecondOfDay() const { return nHour * 3600 + nMinute * 60 + nSecond; }
  bool SameDate(int year, int month, int day) const { return nYear == year && nMonth == month && nDay == day; }
};

// The filters one day folder is searched with.
struct RecFileFilter {
  RecSearchTime start;     // on the start date, files that start earlier are left out
  RecSearchTime end;       // on the end date, files that start later are left out
  int64_t nMinSize = -1;   // bytes; -1 no bound (other negatives compare as huge numbers)
  int64_t nMaxSize = -1;
  int nMediaType = -1;     // 0 video (no "-av" names), 1 audio and video (no "-vv"), else any
  int nStream = 0;         // 1 main ("...1.avi"), 2 sub ("...2.avi"), else any
};

// The by-file search form of the record search page.
struct RecFileQuery {
  RecSearchTime start;            // date picker 1234
  RecSearchTime end;              // date picker 1244
  int nSource = 0;                // combo 1114: 0 "Local Record", else the "Remote" folders
  int nRecType = 0;               // combo 1054: 0 all, 1 schedule, 2 IO alarm, 3 motion
  int nMediaType = 0;             // combo 1115: 0 video, 1 audio and video
  int nStream = 0;                // combo 1050: 0 all, 1 main, 2 sub stream
  std::string strMinSize = "-1";  // edit 1051, decimal text
  std::string strMaxSize = "-1";  // edit 1052
};

// A size text of the form read as a signed 64-bit decimal number; text that is
// not a number reads as 0.
int64_t ParseRecSizeText(const std::string& text);

// The kind folder a form's record type searches: 1 Schedule, 2 IO alarm,
// 3 motion; null (0 or anything else): all three.
const char* RecKindOfType(int recType);
// The day-folder filters of a form: its span, sizes, media and stream.
RecFileFilter RecFileFilterOf(const RecFileQuery& query);

// Calls fn(year, month, day, boundary) for every date from start to end: years,
// then months 1 to 12 and days 1 to 31 cut at the start and end dates (days a
// month does not have included; their folders do not exist). boundary is set
// on the start and the end date.
void ForEachRecSearchDate(const RecSearchTime& start, const RecSearchTime& end,
                          const std::function<void(int, int, int, bool)>& fn);

class CRecFileSearch {
 public:
  // The scheme list is read, never changed; by default the program's own.
  CRecFileSearch();
  explicit CRecFileSearch(const std::list<RecSchemeInfo*>& schemes);

  // Runs the search for the selected device `dev` into `items` (emptied
  // first): 0 done (items may be empty); -1 refused, *pnMsgId set to
  // kMsgWrongTimeRange (start after end; items untouched) or kMsgNoRecordScheme
  // (no scheme records the device).
  int SearchLocalRecFile(const DevInfo& dev, const RecFileQuery& query, std::vector<RecFileItem>& items,
                         int* pnMsgId = nullptr);

  // Searches the first scheme that has an entry `matches` takes: the folders of
  // every matching video-server channel entry of it, or of its first matching
  // entry of another type. False when no scheme has one.
  bool SearchFirstScheme(const std::function<bool(const DevInfo&)>& matches, const char* source, const char* kind,
                         const RecFileFilter& filter, std::vector<RecFileItem>& items);

  // Every date of the filter's span, every storage path of the scheme and the
  // kind (null: Schedule, IO and Motion in turn) of one device folder.
  void SearchDeviceFolders(const RecSchemeInfo& scheme, const std::string& deviceFolder, const char* source,
                           const char* kind, const RecFileFilter& filter, std::vector<RecFileItem>& items);

  // Appends the record files of one day folder that pass the filter.
  // bBoundary marks the start or end date (year, month, day).
  void FindRecFile(const std::string& pattern, bool bBoundary, int year, int month, int day,
                   const RecFileFilter& filter, std::vector<RecFileItem>& items);

 private:
  const std::list<RecSchemeInfo*>& m_lstScheme;
};
