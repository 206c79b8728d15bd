#include "relay/sessions/session_clock.h"

#include "platform/tick_count.h"

namespace {

class SystemClock final : public ISessionClock {
 public:
  DWORD Now() override { return GetTickCount(); }
  void Sleep(DWORD milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

ISessionClock& SystemSessionClock() {
  static SystemClock clock;
  return clock;
}
