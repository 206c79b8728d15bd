#include "stream_bench_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstring>

namespace benchref {

long ParamSink::MediaRecv(long id, long type, const BYTE* data, long length) {
  if (type != kMediaTypeParam || length != sizeof(MediaParamBlock)) return 0;
  for (size_t i = 0; i < ids.size(); ++i) {
    if (ids[i] == id) std::memcpy(&blocks[i], data, sizeof(MediaParamBlock));
  }
  ++params;
  return 0;
}

void PumpEvents(QApplication& app, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    app.processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

void OpenStreams(QApplication& app, CStrevaCtrl& streva, ParamSink& sink, const std::string& url, int n) {
  streva.Advise(&sink);
  sink.blocks.resize(n);
  for (int i = 0; i < n; ++i) sink.ids.push_back(streva.OpenStream(url, "", "", TRUE));
  QElapsedTimer wait;
  wait.start();
  while (sink.params < n && wait.elapsed() < 30000) PumpEvents(app, 50);
}

}  // namespace benchref
