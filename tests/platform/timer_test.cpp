#include <gtest/gtest.h>

#include <QWidget>
#include <map>

#include "platform/wnd.h"
#include "tests/platform/event_wait.h"

namespace {

class TimerWindow : public QWidget, public CWnd {
 public:
  TimerWindow() : CWnd(this) {}
  void OnTimer(UINT_PTR id) override {
    ++fired[id];
    if (id == 200) KillTimer(200);  // a one-shot timer kills itself first
  }
  std::map<UINT_PTR, int> fired;
};

}  // namespace

TEST(Timers, FireWithTheirIdsAndStopAfterKillTimer) {
  TimerWindow window;
  EXPECT_EQ(window.SetTimer(200, 5), 200u);
  EXPECT_EQ(window.SetTimer(400, 5), 400u);
  ASSERT_TRUE(WaitUntil([&] { return window.fired[400] >= 3; }));
  EXPECT_EQ(window.fired[200], 1);

  EXPECT_TRUE(window.KillTimer(400));
  EXPECT_FALSE(window.KillTimer(400));
  EXPECT_FALSE(window.KillTimer(999));
  int count = window.fired[400];
  RunEventsFor(50);
  EXPECT_EQ(window.fired[400], count);
  EXPECT_EQ(window.fired.count(999), 0u);
}

TEST(Timers, SettingARunningIdRestartsItOnce) {
  TimerWindow window;
  window.SetTimer(500, 5);
  window.SetTimer(500, 5);
  ASSERT_TRUE(WaitUntil([&] { return window.fired[500] >= 2; }));
  window.KillTimer(500);
  int count = window.fired[500];
  RunEventsFor(40);
  EXPECT_EQ(window.fired[500], count) << "an older Qt timer of the same id still runs";
  EXPECT_EQ(window.SetTimer(0, 5), 0u);
}

TEST(Timers, AWindowDestroyedWithRunningTimersStopsCleanly) {
  auto window = std::make_unique<TimerWindow>();
  window->SetTimer(600, 1);
  ASSERT_TRUE(WaitUntil([&] { return window->fired[600] >= 1; }));
  window.reset();
  RunEventsFor(10);
}
