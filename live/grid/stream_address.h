// The address a video pane opens for a device: an RTSP URL, or for devices
// reached by serial number (VisitMod 2) the path alone.
//
// Built from the pane's copy of the device record: VisitMod chooses the form,
// DevType and the pane's stream text (the first 20 bytes of Resolution: empty
// for the main stream, "cif" for the sub-stream) the path. Texts of any length
// are taken whole: nothing is cut and nothing overruns.
#pragma once

#include <string>

struct DevInfo;

struct StreamAddress {
  std::string url;   // VisitMod 0 and 1
  std::string path;  // VisitMod 2
};

namespace streamaddr {

constexpr int kPaneResolutionBytes = 20;  // grid and map panes: bytes 0-19; alarm-window panes: 20-39

// The stream text of a pane kind, read within its 20 bytes.
std::string PaneResolution(const DevInfo& dev, bool alarmPane);
// Writes the stream text of a pane kind (cut to 19 bytes, zero-filled).
void SetPaneResolution(DevInfo& dev, bool alarmPane, const std::string& text);

// True for the sub-stream text "cif" exactly.
bool IsSubStream(const std::string& resolution);

// The address of a stream the pane opens itself (the device is not recorded,
// or is recorded in the kind the pane wants). A VisitMod outside 0-2 gives an
// empty address.
StreamAddress LiveAddress(const DevInfo& dev);

// The address of a camera's second stream while the recording holds the other
// kind: always the "mpeg4" form with the stream text.
StreamAddress SecondStreamAddress(const DevInfo& dev);

}  // namespace streamaddr
