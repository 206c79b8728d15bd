#include "maker/gimbro/onvif/event_alarms.h"

namespace onvif {

namespace {

QString SourceKey(const Notification& n) {
  QString key = n.topic;
  for (const auto& [name, value] : n.source) key += QLatin1Char('\n') + name + QLatin1Char('=') + value;
  return key;
}

}  // namespace

std::vector<int> EventAlarms::Take(const std::vector<Notification>& notifications) {
  const bool stateReport = firstAnswer_;
  firstAnswer_ = false;
  std::vector<int> alarms;
  for (const Notification& n : notifications) {
    const AlarmState state = ReadAlarmState(n);
    if (state.type == 0) continue;
    const QString key = SourceKey(n);
    if (n.operation == QLatin1String("Deleted")) {
      active_.erase(key);
      continue;
    }
    const auto known = active_.find(key);
    const bool wasKnown = known != active_.end();
    const bool wasActive = wasKnown && known->second;
    // A device that names ever new sources is not followed without bound.
    if (!wasKnown && active_.size() >= kMaxSources) active_.erase(active_.begin());
    active_[key] = state.active;
    if (!state.active || wasActive) continue;
    const bool current = stateReport || n.operation == QLatin1String("Initialized");
    if (!current || wasKnown) alarms.push_back(state.type);
  }
  return alarms;
}

}  // namespace onvif
