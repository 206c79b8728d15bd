// Which notifications of a device's event subscriptions are alarms.
//
// Motion and digital inputs are states of their sources (a topic with its
// source items): an alarm is raised when a source becomes active. Every new
// subscription begins with the current states of the sources, marked
// "Initialized" by most devices and "Changed" by some; what the first answer
// of a subscription reports, and any "Initialized" message, is the state a
// source is in, not a change. Such a state is an alarm only when the source
// was known inactive before (it became active while no subscription ran),
// never when it was active already or is not known yet (a motion running
// when the device logs in, or still running when the subscription is made
// again). A source that reports itself active again while active raises no
// second alarm; a deleted source is forgotten.
//
// One instance serves one logged-in device across its subscriptions.
#pragma once

#include <QString>
#include <map>
#include <vector>

#include "maker/gimbro/onvif/onvif_requests.h"

namespace onvif {

class EventAlarms {
 public:
  static constexpr size_t kMaxSources = 256;

  // A new subscription was made: its first answer reports current states.
  void NewSubscription() { firstAnswer_ = true; }
  // The alarm types to raise for the notifications of one answer, in order.
  std::vector<int> Take(const std::vector<Notification>& notifications);

 private:
  std::map<QString, bool> active_;  // by source
  bool firstAnswer_ = true;
};

}  // namespace onvif
