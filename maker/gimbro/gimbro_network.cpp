#include "maker/gimbro/gimbro_network.h"

#include <QMetaObject>

#include "maker/gimbro/talk/talk_audio_hub.h"
#include "platform/thread_handoff.h"

talkaudio::Hub* GimbroNetwork::Worker::Audio() {
  if (!audio_) audio_ = std::make_unique<talkaudio::Hub>();
  return audio_.get();
}

void GimbroNetwork::Worker::Clear() {
  links.clear();
  audio_.reset();
}

GimbroNetwork::GimbroNetwork(GimbroEventHub* hub) : hub_(hub), worker_(new Worker) {
  thread_.setObjectName(QString::fromLatin1(kThreadName));
  worker_->moveToThread(&thread_);
  thread_.start();
}

GimbroNetwork::~GimbroNetwork() { Stop(); }

template <typename Fn>
void GimbroNetwork::Queue(Fn&& fn) {
  if (stopped_) return;
  QueueCall(worker_, std::forward<Fn>(fn));
}

void GimbroNetwork::AddDevice(GimbroDeviceParams params, std::shared_ptr<std::atomic<bool>> online) {
  Queue([w = worker_, hub = hub_, params = std::move(params), online = std::move(online)]() mutable {
    const LONG id = params.id;
    auto link = std::make_unique<GimbroLink>(std::move(params), std::move(online), hub, w->Audio());
    GimbroLink* started = link.get();
    w->links[id] = std::move(link);
    started->Start();
  });
}

void GimbroNetwork::RemoveDevice(LONG id) {
  Queue([w = worker_, id]() { w->links.erase(id); });
}

void GimbroNetwork::Send(LONG id, std::string frame) {
  Queue([w = worker_, id, frame = std::move(frame)]() {
    auto it = w->links.find(id);
    if (it != w->links.end()) it->second->Send(frame);
  });
}

void GimbroNetwork::SetTimeSync(LONG id, bool enable, int difference, int interval) {
  Queue([w = worker_, id, enable, difference, interval]() {
    auto it = w->links.find(id);
    if (it != w->links.end()) it->second->SetTimeSync(enable, difference, interval);
  });
}

void GimbroNetwork::Stop() {
  if (stopped_) return;
  stopped_ = true;
  // The links close their sockets on their own thread; then the worker moves
  // back here so that it can be deleted once the thread has ended.
  QThread* here = QThread::currentThread();
  QueueCall(
      worker_,
      [w = worker_, here]() {
        w->Clear();
        w->moveToThread(here);
      },
      Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
  delete worker_;
  worker_ = nullptr;
}
