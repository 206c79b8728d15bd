#include "common/wait_for.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

bool WaitFor(const std::function<bool()>& done, int limitMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > limitMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}
