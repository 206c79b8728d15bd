#include "core/client_log.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

#include "core/client_log_testing.h"
#include "core/fixed_text.h"
#include "platform/file_api.h"
#include "platform/paths.h"

char g_szCurUser[256] = "";

namespace {

constexpr unsigned kLogMask = 0xFF;
constexpr long kRollOverSize = 10485760;  // 0xA00000
constexpr size_t kBufferSize = 5120;      // message buffer and line buffer
constexpr const char* kLogFileName = "clientlog.txt";
constexpr const char* kDefaultTarget = "127.0.0.1";
constexpr int kMaxSameSecondRolls = 999;  // further names for roll-overs within one second

// The log lock: held for the whole of one call. A plain std::mutex is usable
// from the first static initialiser on.
std::mutex g_logLock;

bool g_logFileOpen = false;
FILE* g_logFile = nullptr;
long g_logFileSize = 0;
std::string g_logFolder;  // with a trailing separator
char g_logTarget[32] = "";  // nothing sets it: the target is 127.0.0.1
int g_logSocket = -1;
uint16_t g_logPort = 3000;

// First 19 characters of the C library's asctime text, always with English
// names: "Www Mmm dd hh:mm:ss" (day right-aligned in two characters).
void FormatStamp(const struct tm& t, char (&out)[32]) {
  static const char kDays[7][4] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char kMonths[12][4] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* day = (t.tm_wday >= 0 && t.tm_wday < 7) ? kDays[t.tm_wday] : "???";
  const char* month = (t.tm_mon >= 0 && t.tm_mon < 12) ? kMonths[t.tm_mon] : "???";
  snprintf(out, sizeof out, "%.3s %.3s%3d %.2d:%.2d:%.2d", day, month, t.tm_mday, t.tm_hour,
           t.tm_min, t.tm_sec);
}

// Builds the line into `line` and returns its length (without the zero).
size_t FormatLine(char (&line)[kBufferSize], const char* format, va_list args) {
  time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);

  char message[kBufferSize];
  int n = vsnprintf(message, sizeof message, format, args);
  if (n < 0) message[0] = '\0';
  // The line format writes the message with "%s": it ends at a zero byte.
  const size_t messageLength = strnlen(message, sizeof message - 1);

  char stamp[32];
  FormatStamp(local, stamp);
  int prefix = snprintf(line, sizeof line, "[Vemo2]:%.19s  ", stamp);
  const size_t room = sizeof line - static_cast<size_t>(prefix) - 2;  // "\n" and zero
  const size_t take =
      messageLength <= room ? messageLength : GbkPrefixLength(message, messageLength, room);
  size_t length = static_cast<size_t>(prefix);
  memcpy(line + length, message, take);
  length += take;
  line[length++] = '\n';
  line[length] = '\0';
  return length;
}

void WriteToFile(const char* line, size_t length) {
  if (!g_logFile || !g_logFileOpen) return;
  fwrite(line, 1, length, g_logFile);
  g_logFileSize += static_cast<long>(length);
  fflush(g_logFile);
  if (g_logFileSize >= kRollOverSize) {
    fprintf(g_logFile, "================= LOGIN USER : %s=================\r\n", g_szCurUser);
    fclose(g_logFile);
    g_logFile = nullptr;
    RollLogFile();
    g_logFileSize = 0;
  }
}

void CloseSocket() {
  shutdown(g_logSocket, SHUT_RDWR);
  close(g_logSocket);
  g_logSocket = -1;
}

void SendDatagram(const char* line, size_t length) {
  if (g_logSocket < 0) g_logSocket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (g_logSocket < 0) return;
  sockaddr_in target {};
  target.sin_family = AF_INET;
  target.sin_port = htons(g_logPort);
  if (inet_pton(AF_INET, g_logTarget[0] ? g_logTarget : kDefaultTarget, &target.sin_addr) != 1) {
    return;
  }
  ssize_t sent = sendto(g_logSocket, line, length, 0, reinterpret_cast<sockaddr*>(&target),
                        sizeof target);
  // A failed or short send drops the socket; the next line makes a new one.
  if (sent != static_cast<ssize_t>(length)) CloseSocket();
}

std::string LogFilePath() { return g_logFolder + kLogFileName; }

}  // namespace

void WriteLog(unsigned levelMask, const char* format, ...) {
  if ((levelMask & kLogMask) == 0) return;
  std::lock_guard<std::mutex> lock(g_logLock);
  char line[kBufferSize];
  va_list args;
  va_start(args, format);
  const size_t length = FormatLine(line, format, args);
  va_end(args);
  WriteToFile(line, length);
  SendDatagram(line, length);
}

int OpenLogFile(const char* path) {
  std::lock_guard<std::mutex> lock(g_logLock);
  if (g_logFileOpen) return -1;
  FILE* file = fileapi::Open(path, "a+");
  if (!file) return -2;
  long size = fseek(file, 0, SEEK_END) == 0 ? ftell(file) : -1;
  if (size < 0) {
    fclose(file);
    return -4;
  }
  g_logFile = file;
  g_logFileSize = size;
  g_logFileOpen = true;

  const std::string text = path;
  const size_t separator = text.find_last_of("\\/");
  g_logFolder = separator == std::string::npos ? paths::ProgramFolder() : text.substr(0, separator);
  if (g_logFolder.empty() || (g_logFolder.back() != '\\' && g_logFolder.back() != '/')) {
    g_logFolder += '\\';
  }
  return 0;
}

int CloseLogFile() {
  std::lock_guard<std::mutex> lock(g_logLock);
  if (!g_logFileOpen) return -3;
  if (g_logFile) fclose(g_logFile);
  g_logFile = nullptr;
  g_logFileOpen = false;
  return 0;
}

void RollLogFile() {
  time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  char stamp[64];
  snprintf(stamp, sizeof stamp, "%02d-%02d-%02d-%02d-%02d-%02d", local.tm_year - 100,
           local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  char name[96];
  snprintf(name, sizeof name, "%s-%s%s", "clientlog", stamp, ".txt");
  std::string rolled = g_logFolder + name;
  // Two roll-overs within one second would give the same name: never rename over
  // an earlier file, take the next free "clientlog-<stamp>-<n>.txt" instead, so
  // the new file really starts empty (as the size count says).
  for (int n = 1; fileapi::Exists(rolled) && n <= kMaxSameSecondRolls; ++n) {
    snprintf(name, sizeof name, "%s-%s-%d%s", "clientlog", stamp, n, ".txt");
    rolled = g_logFolder + name;
  }
  if (!fileapi::Exists(rolled)) fileapi::Rename(LogFilePath(), rolled);
  g_logFile = fileapi::Open(LogFilePath(), "a");
}

void SetLogDatagramPortForTest(uint16_t port) {
  std::lock_guard<std::mutex> lock(g_logLock);
  g_logPort = port;
}

long LogFileSizeForTest() {
  std::lock_guard<std::mutex> lock(g_logLock);
  return g_logFileSize;
}
