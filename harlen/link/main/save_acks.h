// What became of the sections of one save-all.
//
// The NVR answers each SetConfig with an acknowledgement (4383) whose status
// says whether it took the text. The acknowledgement names no section, but
// the NVR answers the requests of one connection in order, so the n-th
// acknowledgement after a save began belongs to the n-th section sent. When
// the wait for a save ran out, the acknowledgements still owed to it may come
// late on the same connection: they are passed over, never taken for the next
// save's.
#pragma once

#include <cstddef>
#include <vector>

struct SaveOutcome {
  std::vector<int> refused;     // answered with a status other than 0
  std::vector<int> unanswered;  // sent, and not answered in time (or the connection was lost)
  std::vector<int> unsent;      // could not be sent
  std::vector<int> unread;      // never loaded from the NVR, so never sent
  bool AllTaken() const { return refused.empty() && unanswered.empty() && unsent.empty() && unread.empty(); }
};

class SaveAcks {
 public:
  // A save began: `sent` are the sections sent, in order, on connection
  // number `connection`; `notSent` holds the sections that did not go out.
  void Begin(std::vector<int> sent, SaveOutcome notSent, unsigned connection);
  bool Pending() const { return next_ < sent_.size(); }
  // An acknowledgement that arrived on connection number `connection`: true
  // when it was the last one the save waited for.
  bool OnAck(int status, unsigned connection);
  // The wait ran out: the sections still unanswered count as such.
  void Expire();
  const SaveOutcome& Outcome() const { return outcome_; }
  // The link was dropped: nothing is owed any more.
  void Reset();

 private:
  std::vector<int> sent_;
  size_t next_ = 0;
  unsigned connection_ = 0;
  SaveOutcome outcome_;
  size_t late_ = 0;  // acknowledgements still owed to an expired save
  unsigned lateConnection_ = 0;
};
