// The stream addresses of registered ONVIF devices, for the pull control.
//
// The program builds a camera's RTSP address from its own table of paths
// ("rtsp://ip:port/mpeg4", ".../mpeg4cif", ".../h264-D1" ...), which an ONVIF
// camera does not serve. The device-messaging control learns each ONVIF
// device's own stream addresses (GetStreamUri of its first media profile for
// the main stream, of its second for the sub-stream) and lists them here; the
// pull control asks before it connects and opens the device's address, with
// the device's login name and password, in place of the table's.
//
// The rule: an address belongs to a registered ONVIF device when its host is
// the host the device was registered with (compared as text, ignoring case).
// When several ONVIF devices share that host, the one whose own stream
// address has the address's port is taken. A device whose protocol is still
// being found out (or that is logging in) answers "wait": the caller waits a
// bounded time and then opens its address as given. Devices that speak the
// control's own protocol are never listed, so their addresses open unchanged.
//
// Thread-safe; the control writes, the pull control's stream threads read.
#pragma once

#include <string>

namespace gimbro_streams {

struct Entry {
  std::string host;      // as registered
  bool probing = false;  // protocol not known yet, or logging in
  std::string mainUri;   // the first profile's stream address ("" = unknown)
  std::string subUri;    // the second profile's; "" = the device has one profile
  std::string user;      // the device's login name and password (program text)
  std::string password;
};

// Lists or updates the entry of one device (`key`: the control's own handle).
void Publish(const void* key, const Entry& entry);
void Erase(const void* key);

struct Found {
  enum Kind { kNone, kWait, kStream };
  Kind kind = kNone;
  std::string uri;
  std::string user;
  std::string password;
};

// For an address with this host and port; the sub-stream flag chooses the profile.
Found Find(const std::string& host, int port, bool subStream);

// The program's paths name the sub-stream with "cif" in their last segment
// ("mpeg4cif", "h264cif", "mpeg4cif-3"); every other path is a main stream.
bool IsSubStreamPath(const std::string& path);

}  // namespace gimbro_streams
