#include "harlen/pages/users/user_rules.h"

#include <QDateTime>
#include <QTimeZone>
#include <cstring>

#include "harlen/link/xml/field_text.h"
#include "harlen/pages/common/page_text.h"

bool MayActOn(UserAction action, std::string_view name, std::string_view login) {
  if (name == login) return false;
  return !(action == UserAction::kDelete && name == kAdminName);
}

int FindUser(const UserCfg& cfg, std::string_view name) {
  const uint32_t count = std::min<uint32_t>(cfg.count, kNvrUsers);
  for (uint32_t i = 0; i < count; ++i) {
    if (FieldText(cfg.users[i].username) == name) return static_cast<int>(i);
  }
  return -1;
}

bool AddUser(UserCfg& cfg, const QString& name, const QString& password, uint32_t ip, uint32_t type) {
  if (cfg.count >= kNvrUsers) return false;
  NvrUser& user = cfg.users[cfg.count];
  std::memset(&user, 0, sizeof user);
  StoreFieldQText(user.username, name);
  StoreFieldQText(user.password, password);
  user.iplimit = ip;
  user.priority = type;
  std::memset(user.rightbit, '0', kRightCount);
  ++cfg.count;
  return true;
}

bool DeleteUser(UserCfg& cfg, int row) {
  const int count = static_cast<int>(std::min<uint32_t>(cfg.count, kNvrUsers));
  if (row < 0 || row >= count) return false;
  std::memmove(&cfg.users[row], &cfg.users[row + 1], sizeof(NvrUser) * static_cast<size_t>(count - row - 1));
  std::memset(&cfg.users[count - 1], 0, sizeof(NvrUser));
  cfg.count = static_cast<uint32_t>(count - 1);
  return true;
}

bool HasRight(const NvrUser& user, int position) {
  return position >= 0 && position < kRightCount && user.rightbit[position] == '1';
}

void SetRight(NvrUser& user, int position, bool on) {
  if (position < 0 || position >= kRightCount) return;
  // A shorter string is padded with '0' so that the position is not cut off by an earlier end.
  for (int i = 0; i < position; ++i) {
    if (user.rightbit[i] == '\0') user.rightbit[i] = '0';
  }
  user.rightbit[position] = on ? '1' : '0';
}

QString LoginTimeText(int64_t seconds) {
  const QDateTime t = QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc());
  return QString::asprintf("%d-%d-%d %d:%d:%d", t.date().year(), t.date().month(), t.date().day(), t.time().hour(),
                           t.time().minute(), t.time().second());
}
