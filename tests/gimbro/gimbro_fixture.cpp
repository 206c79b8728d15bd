#include "gimbro_fixture.h"

#include <QElapsedTimer>
#include <thread>

#include "common/wait_for.h"
#include "maker/gimbro/gimbro_link.h"
#include "quick_timings.h"


void Pump(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void GimbroTest::SetUp() {
  GimbroTimingsForNewLinks() = QuickGimbroTimings();
  ctrl = std::make_unique<CGimbroCtrl>();
  ctrl->Advise(&sink);
}

void GimbroTest::TearDown() {
  ctrl.reset();
  GimbroTimingsForNewLinks() = GimbroTimings();
}

LONG GimbroTest::AddOnline(FakeDeviceProcess& device, const char* password) {
  EXPECT_TRUE(device.Ready());
  const LONG id = ctrl->AddDevice("127.0.0.1", device.Port(), "admin", password);
  EXPECT_GT(id, 0);
  EXPECT_TRUE(WaitFor([&] {
    for (const auto& e : sink.Of(1, GIMBRO_STATUS_LOGIN_OK))
      if (e.id == id) return true;
    return false;
  }));
  return id;
}
