// Drives the next modal window of a kind that a test's code opens: once the
// window is up (its own event loop runs the look-up), `act` gets it and ends
// it, typically by clicking its boxes and then OK or Cancel.
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

template <class Window>
void OnNextModal(std::function<void(Window*)> act) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
    auto* window = dynamic_cast<Window*>(QApplication::activeModalWidget());
    if (window == nullptr || !window->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(window);
  });
  timer->start();
}
