// Live video of local cameras for remote peers: the relay handlers of
// WM_RELAY_VIDEO_REQUEST and WM_RELAY_VIDEO_CLOSE, and the stop of every
// served stream when the main window closes. UI thread.
#pragma once

#include <list>
#include <string>

#include "pelk/pelk.h"

struct DevInfo;
class CRtspEvents;

// Which devices a serving request may name (the key's IP, the channel word).
enum class ServingLookup {
  kVideo,  // online devices only; an NVR's own record never
  kClose,  // any state; NVR records named "Channel..." only
  kPtz,    // any state; NVR records taken at once
};

// The local device a request names: null when the key's MAC part is not
// `localMac` or no device matches.
DevInfo* FindServingDevice(std::list<DevInfo>& devices, const char* key, DWORD channel, ServingLookup lookup,
                           const char* localMac);

// The stream address of a relay request by visit mode, type and resolution;
// `suffix` is "cif" for the sub stream, else empty. VisitMod 2 gives the path.
std::string RelayStreamAddress(const DevInfo& device, const std::string& suffix);

// Opens (or joins) a stream of the requested kind and hangs a relay video
// session on it; the session answers the peer when the media arrives. TRUE
// on success.
BOOL OpenRelayLiveVideo(DevInfo& device, const RelayRequestRecord& request, DWORD word);

// WM_RELAY_VIDEO_REQUEST: a request that cannot be served is refused once.
// The record is given back. Returns 1.
LRESULT OnRelayVideoRequest(RelayRequestRecord* record, DWORD word, const char* localMac);

// WM_RELAY_VIDEO_CLOSE: ends the video of the peer whose request word came
// with the close (a close never ends another peer's video of the same stream).
// The record is given back first.
void OnRelayVideoClose(RelayRequestRecord* record, DWORD word, const char* localMac);

// At close: every stream object that serves the relay stops.
void StopRelayServedStreams();
