// A peer's search of this client's recordings (WM_RELAY_REPLAY_SEARCH): the
// record files of one local device between two times, found in the record
// folders and answered at once as one text of entries "path?size|", or, for
// the device's own recordings, forwarded to the device (an NVR) whose answer
// the record search page passes on. UI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "pelk/pelk.h"
#include "records/search/rec_file_search.h"

struct RecSchemeInfo;

// A search may span at most this many years: a peer cannot make the UI thread
// walk the folders of centuries.
constexpr int kPeerSearchMaxYears = 10;

// The search a peer's request stands for, its codes derived from the record.
struct PeerRecordSearch {
  std::string ip;          // the local device's IPAddr (the key's right part)
  int streamCode = 0;      // 0 any, 1 main, 2 sub
  int mediaCode = 0;       // 0 video, 1 audio and video, 2 pictures
  int kindCode = 0;        // 0 all, 1 schedule, 2 IO, 3 motion
  RecSearchTime start;
  RecSearchTime end;
  int64_t minSize = -1;    // -1 no bound
  int64_t maxSize = -1;
  bool local = true;       // the search target: this client's record files
  int page = 0;
};

// The search of a request; nothing (logged) when its times are not the one
// time form of the relay, lie outside 1970-9999, span more than
// kPeerSearchMaxYears, or its sizes are negative other than -1 and -2.
std::optional<PeerRecordSearch> ReadPeerSearch(const ReplaySearchRequest& request);

// The record files of the search in the record folders of `schemes`: the
// first scheme that records the device, every matching video-server channel
// of it or its first other matching entry; dates, storage paths and the kinds
// Schedule, IO, Motion in that order.
std::vector<RecFileItem> SearchLocalRecords(const std::list<RecSchemeInfo*>& schemes, const PeerRecordSearch& search);

// Sends the search to the local device of its IP that has a device-messaging
// control (the first in the list): the NVR file search in the relay's layout.
// True when the device took it; false for no such device, a refusal or a
// request too long to send.
bool ForwardNvrRecordSearch(const PeerRecordSearch& search);

// Forwards a search to the device itself: true when the device took it (the
// record search page then answers the peer when the device's list comes).
using PeerSearchForwarder = std::function<bool(const ReplaySearchRequest& request, const PeerRecordSearch& search,
                                                DWORD word)>;

// The handler: answers (or forwards) and gives the record back.
void OnRelayReplaySearch(ReplaySearchRequest* record, DWORD word, const PeerSearchForwarder& forward);
