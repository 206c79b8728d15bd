#include "records/search/rec_file_search.h"

#include <cstdlib>
#include <cstring>
#include <tuple>

#include "core/client_log.h"
#include "core/rec_scheme.h"
#include "platform/file_api.h"
#include "records/search/rec_folder_tree.h"

namespace {

bool Later(const RecSearchTime& a, const RecSearchTime& b) {
  return std::make_tuple(a.nYear, a.nMonth, a.nDay, a.SecondOfDay()) >
         std::make_tuple(b.nYear, b.nMonth, b.nDay, b.SecondOfDay());
}

// The selected device is recorded by this entry of a scheme.
bool MatchesSelected(const DevInfo& entry, const DevInfo& selected) {
  if (entry.DevType != kDevTypeNvr) return std::strcmp(entry.DevName, selected.DevName) == 0;
  return std::strcmp(entry.IPAddr, selected.IPAddr) == 0 && entry.CurNVRChannel == selected.CurNVRChannel;
}

bool PassesNameFilters(const std::string& name, const RecFileFilter& filter) {
  if (filter.nMediaType == 0 && name.find("-av") != std::string::npos) return false;
  if (filter.nMediaType == 1 && name.find("-vv") != std::string::npos) return false;
  if (filter.nStream == 1 && !name.ends_with("1.avi")) return false;
  if (filter.nStream == 2 && !name.ends_with("2.avi")) return false;
  return true;
}

}  // namespace

int64_t ParseRecSizeText(const std::string& text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  return static_cast<int64_t>(value);
}

const char* RecKindOfType(int recType) {
  switch (recType) {
    case 1: return kRecKindSchedule;
    case 2: return kRecKindIo;
    case 3: return kRecKindMotion;
    default: return nullptr;
  }
}

RecFileFilter RecFileFilterOf(const RecFileQuery& query) {
  RecFileFilter filter;
  filter.start = query.start;
  filter.end = query.end;
  filter.nMinSize = ParseRecSizeText(query.strMinSize);
  filter.nMaxSize = ParseRecSizeText(query.strMaxSize);
  filter.nMediaType = query.nMediaType;
  filter.nStream = query.nStream;
  return filter;
}

void ForEachRecSearchDate(const RecSearchTime& start, const RecSearchTime& end,
                          const std::function<void(int, int, int, bool)>& fn) {
  for (int year = start.nYear; year <= end.nYear; ++year) {
    const int firstMonth = year == start.nYear ? start.nMonth : 1;
    const int lastMonth = year == end.nYear ? end.nMonth : 12;
    for (int month = firstMonth; month <= lastMonth; ++month) {
      const int firstDay = year == start.nYear && month == start.nMonth ? start.nDay : 1;
      const int lastDay = year == end.nYear && month == end.nMonth ? end.nDay : 31;
      for (int day = firstDay; day <= lastDay; ++day) {
        fn(year, month, day, start.SameDate(year, month, day) || end.SameDate(year, month, day));
      }
    }
  }
}

CRecFileSearch::CRecFileSearch() : m_lstScheme(g_lstRecSchemeInfo) {}

CRecFileSearch::CRecFileSearch(const std::list<RecSchemeInfo*>& schemes) : m_lstScheme(schemes) {}

int CRecFileSearch::SearchLocalRecFile(const DevInfo& dev, const RecFileQuery& query,
                                       std::vector<RecFileItem>& items, int* pnMsgId) {
  if (Later(query.start, query.end)) {
    if (pnMsgId) *pnMsgId = kMsgWrongTimeRange;
    return -1;
  }
  items.clear();
  const char* source = query.nSource == 0 ? kRecSourceLocal : "Remote";
  const auto matches = [&dev](const DevInfo& entry) { return MatchesSelected(entry, dev); };
  if (!SearchFirstScheme(matches, source, RecKindOfType(query.nRecType), RecFileFilterOf(query), items)) {
    if (pnMsgId) *pnMsgId = kMsgNoRecordScheme;
    return -1;
  }
  return 0;
}

bool CRecFileSearch::SearchFirstScheme(const std::function<bool(const DevInfo&)>& matches, const char* source,
                                       const char* kind, const RecFileFilter& filter,
                                       std::vector<RecFileItem>& items) {
  for (const RecSchemeInfo* scheme : m_lstScheme) {
    if (!scheme) continue;
    bool matched = false;
    for (const DevInfo& entry : scheme->lstDev) {
      if (!matches(entry)) continue;
      matched = true;
      SearchDeviceFolders(*scheme, RecDeviceFolderName(entry), source, kind, filter, items);
      if (entry.DevType != 0) break;
    }
    if (matched) return true;
  }
  return false;
}

void CRecFileSearch::SearchDeviceFolders(const RecSchemeInfo& scheme, const std::string& deviceFolder,
                                         const char* source, const char* kind, const RecFileFilter& filter,
                                         std::vector<RecFileItem>& items) {
  static const char* const kAllKinds[] = {kRecKindSchedule, kRecKindIo, kRecKindMotion};
  ForEachRecSearchDate(filter.start, filter.end, [&](int year, int month, int day, bool boundary) {
    for (const char* storage : {scheme.StoragePath1, scheme.StoragePath2, scheme.StoragePath3}) {
      if (storage[0] == '\0') continue;
      if (kind) {
        FindRecFile(RecDayFolderPattern(storage, deviceFolder, source, kind, year, month, day), boundary, year,
                    month, day, filter, items);
        continue;
      }
      for (const char* each : kAllKinds) {
        FindRecFile(RecDayFolderPattern(storage, deviceFolder, source, each, year, month, day), boundary, year,
                    month, day, filter, items);
      }
    }
  });
}

void CRecFileSearch::FindRecFile(const std::string& pattern, bool bBoundary, int year, int month, int day,
                                 const RecFileFilter& filter, std::vector<RecFileItem>& items) {
  const std::string folder = pattern.substr(0, pattern.find_last_of('\\') + 1);
  const bool startDate = bBoundary && filter.start.SameDate(year, month, day);
  const bool endDate = bBoundary && filter.end.SameDate(year, month, day);
  fileapi::FindFiles(pattern, [&](const fileapi::FoundEntry& entry) {
    const std::string& name = entry.Name();
    if (entry.IsDirectory() || !IsRecFileName(name)) return;
    if (startDate || endDate) {
      const int start = RecNameStartSecond(name);
      if (startDate && start < filter.start.SecondOfDay()) return;
      if (endDate && start > filter.end.SecondOfDay()) return;
    }
    if (!PassesNameFilters(name, filter)) return;
    const int64_t length = entry.Size();
    if (length < 0) return;  // gone or unreadable
    const uint64_t size = static_cast<uint64_t>(length);
    if (filter.nMinSize != -1 && size < static_cast<uint64_t>(filter.nMinSize)) return;
    if (filter.nMaxSize != -1 && size > static_cast<uint64_t>(filter.nMaxSize)) return;
    RecFileItem item;
    item.strFilePath = folder + name;
    item.strFileSize = std::to_string(size);
    WriteLog(6, "FindRecFile: %s, nDay=%d", item.strFilePath.c_str(), day);
    items.push_back(std::move(item));
  });
}
