// Runs the UI event loop until a condition holds (or a generous time passes).
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

inline bool WaitUntil(const std::function<bool()>& done, int limitMs = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > limitMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

inline void RunEventsFor(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
