#include "harlen/link/main/save_acks.h"

#include <utility>

void SaveAcks::Begin(std::vector<int> sent, SaveOutcome notSent, unsigned connection) {
  if (connection != lateConnection_) late_ = 0;  // a new connection owes nothing of the old one
  sent_ = std::move(sent);
  next_ = 0;
  connection_ = connection;
  outcome_ = std::move(notSent);
  outcome_.refused.clear();
  outcome_.unanswered.clear();
}

bool SaveAcks::OnAck(int status, unsigned connection) {
  if (late_ > 0 && connection == lateConnection_) {
    --late_;
    return false;
  }
  if (!Pending() || connection != connection_) return false;
  if (status != 0) outcome_.refused.push_back(sent_[next_]);
  ++next_;
  return !Pending();
}

void SaveAcks::Expire() {
  if (!Pending()) return;
  for (size_t i = next_; i < sent_.size(); ++i) outcome_.unanswered.push_back(sent_[i]);
  late_ = sent_.size() - next_;
  lateConnection_ = connection_;
  next_ = sent_.size();
}

void SaveAcks::Reset() {
  sent_.clear();
  next_ = 0;
  late_ = 0;
}
