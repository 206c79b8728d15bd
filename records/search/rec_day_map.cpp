#include "records/search/rec_day_map.h"

#include <cstring>

#include "core/rec_scheme.h"
#include "platform/file_api.h"
#include "records/recfile/rec_file_reader.h"
#include "records/search/rec_folder_tree.h"

namespace {

// A camera's entry serves every channel of the record; another device's entry
// serves the channel its name ends in.
bool ServesRecord(const DevInfo& dev, const RecDayInfo& day, int channel) {
  if (std::strcmp(dev.IPAddr, day.szDevIp) != 0) return false;
  if (dev.DevType == 1) return true;
  const size_t length = strnlen(dev.DevName, sizeof dev.DevName);
  const char last = length > 0 ? dev.DevName[length - 1] : '\0';
  const int nameChannel = last >= '0' && last <= '9' ? last - '0' : 0;
  return nameChannel == channel;
}

std::string NameOf(const std::string& path) {
  const size_t cut = path.find_last_of('\\');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

void ResetDayMap(char (&szDayMap)[kDayMinutes + 1]) {
  std::memset(szDayMap, kDayMapNone, kDayMinutes);
  szDayMap[kDayMinutes] = '\0';
}

bool DayMapHasRecords(const char* szDayMap) {
  if (!szDayMap) return false;
  for (int i = 0; i < kDayMinutes; ++i) {
    if (szDayMap[i] == kDayMapSchedule || szDayMap[i] == kDayMapAlarm) return true;
  }
  return false;
}

CRecDayMapBuilder::CRecDayMapBuilder() : m_lstScheme(g_lstRecSchemeInfo) {}

CRecDayMapBuilder::CRecDayMapBuilder(const std::list<RecSchemeInfo*>& schemes) : m_lstScheme(schemes) {}

int CRecDayMapBuilder::SearchLocalRecByDate(RecDayInfo* pDay, int nChannel) {
  if (!pDay) return 1;
  static const struct {
    const char* kind;
    char letter;
  } kKinds[] = {{kRecKindSchedule, kDayMapSchedule}, {kRecKindIo, kDayMapAlarm}, {kRecKindMotion, kDayMapAlarm}};
  for (const RecSchemeInfo* scheme : m_lstScheme) {
    if (!scheme) continue;
    for (const DevInfo& dev : scheme->lstDev) {
      if (!ServesRecord(dev, *pDay, nChannel)) continue;
      const std::string folder = RecDeviceFolderName(dev);
      for (const char* storage : {scheme->StoragePath1, scheme->StoragePath2, scheme->StoragePath3}) {
        if (storage[0] == '\0') continue;
        for (const auto& kind : kKinds) {
          FillDayMapFromFolder(RecDayFolderPattern(storage, folder, kRecSourceLocal, kind.kind, pDay->wYear,
                                                   pDay->wMonth, pDay->byDay),
                               pDay, kind.letter);
        }
      }
      break;  // the first entry of a scheme that serves the record
    }
  }
  return 1;
}

void CRecDayMapBuilder::FillDayMapFromFolder(const std::string& pattern, RecDayInfo* pDay, char letter) {
  if (pattern.empty() || !pDay) return;
  const std::string folder = pattern.substr(0, pattern.find_last_of('\\') + 1);
  fileapi::FindFiles(pattern, [&](const fileapi::FoundEntry& entry) {
    const std::string& name = entry.Name();
    if (entry.IsDirectory() || name.size() < 6 || !IsRecFileName(name)) return;
    const int hour = RecNameNumber(name, 0);
    const int minute = RecNameNumber(name, 2);
    const int start = hour * 60 + minute;
    if (start >= kDayMinutes) return;

    RecDayFile file;
    file.strFilePath = folder + name;
    file.nSeconds = GetRecFileSeconds(file.strFilePath.c_str());
    file.nStartSecond = hour * 3600 + minute * 60 + RecNameNumber(name, 4);
    int minutes = file.nSeconds / 60 + (file.nSeconds % 60 != 0 ? 1 : 0);
    if (start + minutes >= kDayMinutes) minutes = kDayMinutes - start;
    if (minutes > 0) std::memset(pDay->szDayMap + start, letter, static_cast<size_t>(minutes));

    // Two schemes that record the device into one storage path find the same
    // file twice: it is listed once, or a day would play it twice.
    for (const RecDayFile& listed : pDay->lstFile) {
      if (listed.strFilePath == file.strFilePath) return;
    }
    auto at = pDay->lstFile.begin();
    while (at != pDay->lstFile.end() && NameOf(at->strFilePath).compare(name) <= 0) ++at;
    pDay->lstFile.insert(at, std::move(file));
  });
}

int CRecDayMapBuilder::GetRecFileSeconds(const char* pszFilePath) {
  CRecFileReader reader;
  if (!reader.Open(pszFilePath)) return 0;
  const int seconds = static_cast<int>(reader.GetKeyFrameCount());
  reader.Close();
  return seconds;
}
