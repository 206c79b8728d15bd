#include "maker/gimbro/gimbro_streams.h"

#include <QString>
#include <QUrl>
#include <map>
#include <mutex>

namespace gimbro_streams {

namespace {

// Never destroyed: a network thread that still runs while the process exits
// may publish after the statics of this file would have gone.
std::mutex& Mutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

std::map<const void*, Entry>& Entries() {
  static auto* entries = new std::map<const void*, Entry>;
  return *entries;
}

bool SameHost(const std::string& a, const std::string& b) {
  return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

const std::string& UriOf(const Entry& entry, bool subStream) {
  return subStream && !entry.subUri.empty() ? entry.subUri : entry.mainUri;
}

int PortOf(const std::string& uri) { return QUrl(QString::fromStdString(uri)).port(554); }

Found StreamOf(const Entry& entry, bool subStream) {
  return {Found::kStream, UriOf(entry, subStream), entry.user, entry.password};
}

}  // namespace

void Publish(const void* key, const Entry& entry) {
  std::lock_guard<std::mutex> lock(Mutex());
  Entries()[key] = entry;
}

void Erase(const void* key) {
  std::lock_guard<std::mutex> lock(Mutex());
  Entries().erase(key);
}

Found Find(const std::string& host, int port, bool subStream) {
  std::lock_guard<std::mutex> lock(Mutex());
  const Entry* only = nullptr;
  int candidates = 0;
  bool probing = false;
  for (const auto& [key, entry] : Entries()) {
    if (!SameHost(entry.host, host)) continue;
    ++candidates;
    only = &entry;
    probing = probing || (entry.probing && entry.mainUri.empty());
    const std::string& uri = UriOf(entry, subStream);
    if (!uri.empty() && PortOf(uri) == port) return StreamOf(entry, subStream);
  }
  if (candidates == 1 && !only->mainUri.empty()) return StreamOf(*only, subStream);
  return {probing ? Found::kWait : Found::kNone, {}, {}, {}};
}

bool IsSubStreamPath(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
  return last.find("cif") != std::string::npos;
}

}  // namespace gimbro_streams
