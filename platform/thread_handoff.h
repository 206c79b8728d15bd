// Hand-offs between threads through Qt's event queue, told to the race
// checker of the thread-sanitizer build.
//
// Qt orders what one thread posts before another thread runs it, but it does
// so with locks inside its own library (futexes of the event queue, of
// QSemaphore behind a blocking queued call), which the race checker cannot
// see. Without a word from us, everything the poster wrote before posting
// then looks unordered with what the receiver reads. HandOff(p) marks the
// point where the poster is done with p, TakeOver(p) the point where the
// receiver starts with it; in other builds both are nothing.
//
// QueueCall posts a call with both marks in place: use it instead of
// QMetaObject::invokeMethod for a call handed to another thread.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <type_traits>
#include <utility>

#if defined(VEMO_TSAN)
#include <sanitizer/tsan_interface.h>
inline void HandOff(const void* p) { __tsan_release(const_cast<void*>(p)); }
inline void TakeOver(const void* p) { __tsan_acquire(const_cast<void*>(p)); }
#else
inline void HandOff(const void*) {}
inline void TakeOver(const void*) {}
#endif

namespace handoff_detail {

// The call as Qt keeps it. Qt moves it into its own slot object on the
// posting thread; each move marks the hand-off at the new address, so the
// receiving thread takes the call over before it reads any of it. When the
// call is done it hands its results back, at its own address (for the thread
// that destroys it) and at `done` (for a caller that waits for it; null when
// nobody waits).
template <class Fn>
class MarkedCall {
 public:
  MarkedCall(Fn fn, const void* done) : fn_(std::move(fn)), done_(done) {}
  MarkedCall(MarkedCall&& other) noexcept : fn_(std::move(other.fn_)), done_(other.done_) { HandOff(this); }
  MarkedCall(const MarkedCall& other) : fn_(other.fn_), done_(other.done_) { HandOff(this); }
  MarkedCall& operator=(const MarkedCall&) = delete;
  ~MarkedCall() { TakeOver(this); }

  void operator()() {
    TakeOver(this);
    fn_();
    const void* done = done_;  // read before the hand-off: after it, the call may be gone
    HandOff(this);
    if (done) HandOff(done);
  }

 private:
  Fn fn_;
  const void* done_;
};

}  // namespace handoff_detail

// Runs fn() on the thread of `context`, queued (returns at once) or blocking
// queued (waits for it; never from the context's own thread). False when Qt
// refused the call.
template <class Fn>
bool QueueCall(QObject* context, Fn&& fn, Qt::ConnectionType type = Qt::QueuedConnection) {
#if defined(VEMO_TSAN)
  const char done = 0;
  const bool blocking = type == Qt::BlockingQueuedConnection;
  const bool queued = QMetaObject::invokeMethod(
      context, handoff_detail::MarkedCall<std::decay_t<Fn>>(std::forward<Fn>(fn), blocking ? &done : nullptr), type);
  if (blocking) TakeOver(&done);
  return queued;
#else
  return QMetaObject::invokeMethod(context, std::forward<Fn>(fn), type);
#endif
}
