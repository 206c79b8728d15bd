#include "platform/screen_saver.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <mutex>

namespace {

std::mutex g_mutex;
uint g_cookie = 0;  // the service's inhibit request, 0 when none is held

}  // namespace

void SetScreenSaverActive(bool active) {
  std::lock_guard lock(g_mutex);
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  QDBusInterface service(QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
                         QStringLiteral("org.freedesktop.ScreenSaver"), bus);
  if (!service.isValid()) return;
  if (!active && g_cookie == 0) {
    QDBusReply<uint> reply = service.call(QStringLiteral("Inhibit"), QStringLiteral("vemo"),
                                           QStringLiteral("Video surveillance client running"));
    if (reply.isValid()) g_cookie = reply.value();
  } else if (active && g_cookie != 0) {
    service.call(QStringLiteral("UnInhibit"), g_cookie);
    g_cookie = 0;
  }
}
