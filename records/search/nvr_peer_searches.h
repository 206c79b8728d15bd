// Peer searches waiting for an NVR's answer.
//
// A relay peer's record search of an NVR is forwarded to the device as the
// same file search that the record search page sends; the device's answer
// carries no mark of who asked. While peer searches wait, each file search
// answer goes to the oldest of them (first in, first out), and only when none
// waits does an answer fill the page.
//
// The answer to a peer is the text of the answer's files, each its path, "?",
// its size and "|", sent with status 0 and the device's total count; a peer
// whose answer has no files, or whose text would reach 2,096,128 bytes, is
// answered with status 1, count 0 and no text.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pelk/pelk.h"
#include "records/search/rec_file_search.h"

// Texts of this length or more are not sent to a peer.
constexpr size_t kPeerSearchTextLimit = 0x1FFC00;

struct PendingPeerSearch {
  ReplaySearchRequest request;  // the relay library's request, copied
  DWORD word = 0;               // the request word that came with it
};

// The answer's files as the peer's text; nothing when it would be too long.
std::optional<std::string> PeerSearchText(const std::vector<RecFileItem>& files);

// Sends one answer to a peer: status (0 answer, 1 refused), the queued search,
// the count and the text (null with status 1).
using PeerSearchAnswerer = std::function<void(LONG status, const PendingPeerSearch& search, LONG count,
                                              const char* text)>;
// The relay library's Pelk_RspReplaySearch with the queued request's words.
void AnswerPeerSearchThroughRelay(LONG status, const PendingPeerSearch& search, LONG count, const char* text);

class NvrPeerSearchQueue {
 public:
  explicit NvrPeerSearchQueue(PeerSearchAnswerer answerer = AnswerPeerSearchThroughRelay)
      : answerer_(std::move(answerer)) {}

  void SetAnswerer(PeerSearchAnswerer answerer) { answerer_ = std::move(answerer); }
  // Queues a copy of the request (null: nothing).
  void Add(const ReplaySearchRequest* request, DWORD word);
  bool Pending() const { return !queue_.empty(); }
  size_t Size() const { return queue_.size(); }

  // Takes the oldest search off the queue and answers it from the files of an
  // answer and the device's total: status 0 with the text, or status 1. False
  // when none waits.
  bool AnswerOldest(const std::vector<RecFileItem>& files, int total);
  // Takes the oldest off and refuses it (status 1). False when none waits.
  bool RefuseOldest();

 private:
  PeerSearchAnswerer answerer_;
  std::deque<PendingPeerSearch> queue_;
};
