#include "shell/arp_cache.h"

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <exception>
#include <fstream>
#include <string>

namespace {

constexpr int kCapNetAdmin = 12;  // bit of CAP_NET_ADMIN in the capability sets

bool HasNetAdminCapability() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("CapEff:", 0) != 0) continue;
    try {
      const unsigned long long caps = std::stoull(line.substr(7), nullptr, 16);
      return ((caps >> kCapNetAdmin) & 1ULL) != 0;
    } catch (const std::exception&) {
      return false;
    }
  }
  return false;
}

}  // namespace

bool MayClearArpCache() {
  static const bool may = HasNetAdminCapability();
  return may;
}

void ClearArpCache() {
  if (!MayClearArpCache()) return;
  // /usr/sbin is not on every user's search path.
  const QString program = QFile::exists(QStringLiteral("/usr/sbin/ip")) ? QStringLiteral("/usr/sbin/ip")
                                                                        : QStringLiteral("ip");
  QProcess::startDetached(program, {QStringLiteral("neigh"), QStringLiteral("flush"), QStringLiteral("all")});
}
