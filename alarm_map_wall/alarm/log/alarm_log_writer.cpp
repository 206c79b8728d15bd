#include "alarm_map_wall/alarm/log/alarm_log_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "alarm_map_wall/alarm/log/alarm_log_format.h"
#include "core/client_log.h"
#include "platform/file_api.h"
#include "platform/paths.h"

bool AppendAlarmLines(const std::string& file, const std::vector<std::string>& lines, std::string* error) {
  FILE* f = fileapi::Open(file, "a+b");
  if (f == nullptr) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  std::fseek(f, 0, SEEK_END);
  const long held = std::ftell(f);
  std::string text;
  if (held <= 0) {
    text = std::string(kAlarmLogDeclaration) + "\n";
  } else if (std::fseek(f, held - 1, SEEK_SET) == 0 && std::fgetc(f) != '\n') {
    text = "\n";
  }
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
  std::fseek(f, 0, SEEK_END);
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fflush(f) == 0 && ok;
  const int failure = errno;
  if (!ok && held >= 0 && ftruncate(fileno(f), held) != 0) {
    WriteLog(3, "AppendAlarmLines: cannot cut %s back to %ld bytes", file.c_str(), held);
  }
  ok = std::fclose(f) == 0 && ok;
  if (!ok && error) *error = std::strerror(failure ? failure : EIO);
  return ok;
}

std::vector<std::string> PurgeAlarmDays(const std::string& programFolder, int64_t now) {
  std::vector<std::string> old;
  fileapi::FindFiles(AlarmFolder(programFolder) + "\\*.*", [&](const fileapi::FoundEntry& entry) {
    int year = 0, month = 0, day = 0;
    if (!entry.IsDirectory() || !ParseAlarmDayName(entry.Name(), year, month, day)) return;
    const int64_t start = AlarmDayStart(year, month, day);
    if (start == -1 || start > now - kAlarmLogKeepSeconds) return;
    old.push_back(entry.Name());
  });
  std::vector<std::string> deleted;
  for (const std::string& name : old) {
    std::error_code ec;
    const std::string folder = AlarmDayFolder(programFolder, name);
    std::filesystem::remove_all(paths::NativePath(folder), ec);
    if (ec) {
      WriteLog(3, "PurgeAlarmDays: cannot delete %s: %s", folder.c_str(), ec.message().c_str());
    } else {
      WriteLog(6, "PurgeAlarmDays: deleted the alarm logs of %s", name.c_str());
      deleted.push_back(name);
    }
  }
  return deleted;
}
