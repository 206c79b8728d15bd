// Carries the control's events from the network thread to the sinks on the
// thread that created the control (the UI thread), through its Qt event loop.
#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "maker/gimbro/gimbro.h"

struct GimbroEvent {
  enum Kind { kStatus, kPtzResponse, kAuxResponse, kAlarm, kMediaData, kMediaParam, kReplayState };
  Kind kind = kStatus;
  LONG id = 0;
  LONG a = 0;         // code, response word, media kind or replay state
  LONG b = 0;         // replay value
  std::string text;   // text, or the frame header and data of media data
  GimbroAlarmRecord alarm;

  static GimbroEvent Of(Kind kind, LONG id, LONG a, std::string text = {}) {
    GimbroEvent event;
    event.kind = kind;
    event.id = id;
    event.a = a;
    event.text = std::move(text);
    return event;
  }
};

class GimbroEventHub {
 public:
  // Events will be delivered on the calling thread.
  GimbroEventHub();
  ~GimbroEventHub();
  GimbroEventHub(const GimbroEventHub&) = delete;
  GimbroEventHub& operator=(const GimbroEventHub&) = delete;

  // Sinks are advised and unadvised on the delivering thread.
  void Advise(CGimbroEventSink* sink);
  void Unadvise(CGimbroEventSink* sink);

  // Events are delivered only for registered devices: a device's events that
  // are still queued when it is forgotten are dropped.
  void Register(LONG id);
  void Forget(LONG id);

  // Queues an event; any thread. When too many events wait (a flooding
  // device), further events are dropped until the queue drains.
  void Post(GimbroEvent event);

  // Stops every delivery, queued ones included.
  void Close();

  static constexpr int kMaxQueued = 20000;

 private:
  struct State;
  std::shared_ptr<State> state_;
  QObject* receiver_;
};
