#include "maker/gimbro/gimbro_event_hub.h"

#include <QLoggingCategory>
#include <QMetaObject>
#include <algorithm>
#include <mutex>
#include <set>
#include <vector>

#include "maker/gimbro/gimbro_log.h"
#include "platform/thread_handoff.h"

struct GimbroEventHub::State {
  std::mutex mutex;
  std::vector<CGimbroEventSink*> sinks;
  std::set<LONG> ids;
  bool closed = false;
  int queued = 0;
  bool overflowLogged = false;

  bool Deliverable(LONG id) {
    std::lock_guard<std::mutex> lock(mutex);
    return !closed && ids.count(id) != 0;
  }
  bool StillAdvised(CGimbroEventSink* sink, LONG id) {
    std::lock_guard<std::mutex> lock(mutex);
    return !closed && ids.count(id) != 0 && std::find(sinks.begin(), sinks.end(), sink) != sinks.end();
  }
};

namespace {

void CallSink(CGimbroEventSink* sink, const GimbroEvent& e) {
  switch (e.kind) {
    case GimbroEvent::kStatus:
      sink->DevStatusResponse(e.id, e.a, e.text.c_str());
      break;
    case GimbroEvent::kPtzResponse:
      sink->PTZResponse(e.id, e.a, e.text.c_str());
      break;
    case GimbroEvent::kAuxResponse:
      sink->AUXResponse(e.id, e.a, e.text.c_str());
      break;
    case GimbroEvent::kAlarm:
      sink->AlarmRecv(e.id, &e.alarm);
      break;
    case GimbroEvent::kMediaData: {
      // text holds the 16-byte frame header followed by the data.
      const auto* bytes = reinterpret_cast<const BYTE*>(e.text.data());
      sink->MediaDataRecv(e.id, bytes + GIMBRO_FRAME_HEADER_SIZE,
                          static_cast<LONG>(e.text.size() - GIMBRO_FRAME_HEADER_SIZE), bytes, e.a);
      break;
    }
    case GimbroEvent::kMediaParam:
      sink->MediaParamRecv(e.id, e.text.c_str(), e.a);
      break;
    case GimbroEvent::kReplayState:
      sink->ReplayStatus(e.id, e.a, e.b);
      break;
  }
}

}  // namespace

GimbroEventHub::GimbroEventHub() : state_(std::make_shared<State>()), receiver_(new QObject) {}

GimbroEventHub::~GimbroEventHub() { Close(); }

void GimbroEventHub::Advise(CGimbroEventSink* sink) {
  if (sink == nullptr) return;
  std::lock_guard<std::mutex> lock(state_->mutex);
  if (std::find(state_->sinks.begin(), state_->sinks.end(), sink) == state_->sinks.end()) {
    state_->sinks.push_back(sink);
  }
}

void GimbroEventHub::Unadvise(CGimbroEventSink* sink) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->sinks.erase(std::remove(state_->sinks.begin(), state_->sinks.end(), sink), state_->sinks.end());
}

void GimbroEventHub::Register(LONG id) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->ids.insert(id);
}

void GimbroEventHub::Forget(LONG id) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->ids.erase(id);
}

void GimbroEventHub::Post(GimbroEvent event) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  if (state_->closed || state_->ids.count(event.id) == 0) return;
  if (state_->queued >= kMaxQueued) {
    if (!state_->overflowLogged) {
      qCWarning(lcGimbro, "device %d sends faster than its events are handled; events dropped",
                static_cast<int>(event.id));
      state_->overflowLogged = true;
    }
    return;
  }
  ++state_->queued;
  auto shared = std::make_shared<GimbroEvent>(std::move(event));
  // Posted while the lock is held: Close() cannot delete the receiver meanwhile.
  QueueCall(
      receiver_,
      [state = state_, shared]() {
        {
          std::lock_guard<std::mutex> lock(state->mutex);
          --state->queued;
          if (state->queued == 0) state->overflowLogged = false;
        }
        if (!state->Deliverable(shared->id)) return;
        std::vector<CGimbroEventSink*> sinks;
        {
          std::lock_guard<std::mutex> lock(state->mutex);
          sinks = state->sinks;
        }
        // A sink may unadvise itself or others, remove the device or release
        // the control while handling an event: each sink is checked just
        // before it is called.
        for (CGimbroEventSink* sink : sinks) {
          if (state->StillAdvised(sink, shared->id)) CallSink(sink, *shared);
        }
      });
}

void GimbroEventHub::Close() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  if (state_->closed) return;
  state_->closed = true;
  state_->sinks.clear();
  // Deleted by its own event loop, never from inside one of its deliveries.
  receiver_->deleteLater();
}
