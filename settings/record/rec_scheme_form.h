// The record-scheme form without its window: what the page's controls hold,
// the value maps between the controls and a scheme, the seven weekly span
// rows, and the overlap test between the spans of two schemes.
#pragma once

#include <array>
#include <list>
#include <memory>
#include <string>
#include <string_view>

#include "core/rec_scheme.h"
#include "platform/win_types.h"

constexpr int kSpanRowCount = 7;
constexpr int kDayEveryday = 8;  // DayOfWeek of a span that holds on every day

// One span row of the page: its check box, its day combo (index 0 Sunday .. 7
// every day) and its two time pickers.
struct RecSpanRow {
  bool checked = false;
  int dayIndex = 0;
  TimeOfDay start = TimeOfDay::FromHms(0, 0, 0);
  TimeOfDay end = TimeOfDay::FromHms(23, 59, 59);
};

// The page's controls as the scheme buttons read them. Texts are ANSI (GBK),
// as typed: nothing is trimmed.
struct RecSchemeForm {
  std::string name;
  std::array<std::string, 3> paths;
  int storageScheme = 1;  // selection of the storage-policy combo
  int startType = 0;      // selection of the trigger combo
  int onOff = 0;          // selection of the on/off combo
  int recStreamType = 1;  // selection of the stream combo
  int recAudio = 0;       // the audio check box
  std::string fileTimeText = "30";  // text of the file-length combo (minutes)
  std::string preRecText = "5";     // text of the pre-record combo (seconds)
  std::string detRecText = "60";    // text of the motion-record time edit (seconds)
  std::array<RecSpanRow, kSpanRowCount> spans;
};

// Value maps of the combos. The pre-record combo holds "3", "5", "8", "10"
// seconds: a stored value maps to its item, any other value to item 1 ("5").
// The file-length combo holds "10" .. "60" minutes: 600 .. 3600 seconds map to
// items 0 .. 5, any other value keeps `current`.
int PreRecItem(int seconds);
int FileTimeItem(int seconds, int current);

// The number of a text's leading decimal digits (0 when it starts otherwise);
// a number too large for an int counts as INT_MAX, so it is out of every range.
int LeadingNumber(std::string_view text);

// The motion-record time range the scheme buttons accept, in seconds.
constexpr int kMinDetRecTime = 10;
constexpr int kMaxDetRecTime = 600;

// Reading the checked span rows, slots 1 to 7 in order.
struct SpanReadResult {
  UINT textId = 0;  // 0 read; 783 "Wrong record time!" (row `row`); 795 "Please set the record time!"
  int row = 0;
};
SpanReadResult ReadSpanRows(const std::array<RecSpanRow, kSpanRowCount>& rows, std::list<RecTime>& spans);

// The rows that show a scheme's spans: reset rows, then each span fills the
// row of its slot (a slot outside 1 to 7 is not shown, a later span of the same
// slot wins).
std::array<RecSpanRow, kSpanRowCount> SpanRowsOf(const std::list<RecTime>& spans);

// A new scheme from the form, without channels: name and paths copied into
// their fields (text that does not fit is cut before the character that would
// not fit, never past the field), SaveDate 0, the combos by the value maps,
// the spans from the checked rows. Null with the refusal in `refusal` when a
// span row is wrong or no row is checked.
std::unique_ptr<RecSchemeInfo> BuildSchemeFromForm(const RecSchemeForm& form, SpanReadResult* refusal);

// 0 when no span of b overlaps a span of a, -1 at the first overlap. Spans of
// different weekdays never overlap unless one of them holds on every day;
// bounds are included, so spans that only touch overlap.
int CheckTimeConflict(const RecSchemeInfo& a, const RecSchemeInfo& b);
