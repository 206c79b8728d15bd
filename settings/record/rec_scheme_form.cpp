#include "settings/record/rec_scheme_form.h"

#include <climits>

#include "core/fixed_text.h"

namespace {

constexpr int kPreRecSeconds[] = {3, 5, 8, 10};
constexpr int kDefaultPreRecItem = 1;
constexpr int kFileTimeItems = 6;  // 10 .. 60 minutes

}  // namespace

int PreRecItem(int seconds) {
  for (int i = 0; i < static_cast<int>(std::size(kPreRecSeconds)); ++i)
    if (kPreRecSeconds[i] == seconds) return i;
  return kDefaultPreRecItem;
}

int FileTimeItem(int seconds, int current) {
  if (seconds % 600 != 0) return current;
  const int item = seconds / 600 - 1;
  return item >= 0 && item < kFileTimeItems ? item : current;
}

int LeadingNumber(std::string_view text) {
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

SpanReadResult ReadSpanRows(const std::array<RecSpanRow, kSpanRowCount>& rows, std::list<RecTime>& spans) {
  spans.clear();
  for (int k = 1; k <= kSpanRowCount; ++k) {
    const RecSpanRow& row = rows[static_cast<size_t>(k - 1)];
    if (!row.checked) continue;
    if (row.start > row.end) {
      spans.clear();
      return SpanReadResult{783, k};
    }
    RecTime span;
    span.TimeDuration = k;
    span.DayOfWeek = row.dayIndex + 1;
    span.StartTime = row.start;
    span.EndTime = row.end;
    spans.push_back(span);
  }
  if (spans.empty()) return SpanReadResult{795, 0};
  return SpanReadResult{};
}

std::array<RecSpanRow, kSpanRowCount> SpanRowsOf(const std::list<RecTime>& spans) {
  std::array<RecSpanRow, kSpanRowCount> rows{};
  for (const RecTime& span : spans) {
    if (span.TimeDuration < 1 || span.TimeDuration > kSpanRowCount) continue;
    RecSpanRow& row = rows[static_cast<size_t>(span.TimeDuration - 1)];
    row.checked = true;
    // A stored weekday outside the combo's items shows as the first item.
    row.dayIndex = span.DayOfWeek >= 1 && span.DayOfWeek <= kDayEveryday ? span.DayOfWeek - 1 : 0;
    row.start = span.StartTime;
    row.end = span.EndTime;
  }
  return rows;
}

std::unique_ptr<RecSchemeInfo> BuildSchemeFromForm(const RecSchemeForm& form, SpanReadResult* refusal) {
  auto scheme = std::make_unique<RecSchemeInfo>();
  CopyFixedText(scheme->SchemeName, form.name.c_str());
  CopyFixedText(scheme->StoragePath1, form.paths[0].c_str());
  CopyFixedText(scheme->StoragePath2, form.paths[1].c_str());
  CopyFixedText(scheme->StoragePath3, form.paths[2].c_str());
  scheme->SaveDate = 0;  // the page offers no days field
  const int fileMinutes = LeadingNumber(form.fileTimeText);
  scheme->RecFileTime = fileMinutes <= INT_MAX / 60 ? fileMinutes * 60 : INT_MAX;
  scheme->DetRecTime = LeadingNumber(form.detRecText);
  scheme->OnOff = form.onOff;
  scheme->StorageScheme = form.storageScheme;
  scheme->StartType = form.startType;
  scheme->RecAudio = form.recAudio;
  scheme->RecStreamType = form.recStreamType;
  scheme->PreRecTime = LeadingNumber(form.preRecText);
  const SpanReadResult spans = ReadSpanRows(form.spans, scheme->lstRecTime);
  if (spans.textId != 0) {
    if (refusal) *refusal = spans;
    return nullptr;
  }
  return scheme;
}

int CheckTimeConflict(const RecSchemeInfo& a, const RecSchemeInfo& b) {
  for (const RecTime& s : a.lstRecTime) {
    for (const RecTime& t : b.lstRecTime) {
      if (s.DayOfWeek != t.DayOfWeek && s.DayOfWeek != kDayEveryday && t.DayOfWeek != kDayEveryday) continue;
      const bool startInside = s.StartTime <= t.StartTime && t.StartTime <= s.EndTime;
      const bool endInside = s.StartTime <= t.EndTime && t.EndTime <= s.EndTime;
      const bool covers = t.StartTime <= s.StartTime && t.EndTime >= s.EndTime;
      if (startInside || endInside || covers) return -1;
    }
  }
  return 0;
}
