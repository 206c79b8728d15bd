// The rules of the IP channel window that need no window: which cameras of a
// search reply the found list keeps, how a found camera takes a free channel
// and gives it back, and what copy-to copies between channels.
#pragma once

#include <cstdint>

#include "harlen/link/sections/ipc_channel.h"

// Appends the cameras of a search reply, in reply order, that the found list
// lacks. A camera whose IPv4 address the list holds already is skipped, and
// so is every camera once the list holds 16. The number appended.
int AppendFoundCameras(IpcSearchList& found, const IpcSearchList& reply);

// The address of a channel's dotted text; 0 for an empty channel or a text
// that is no address.
uint32_t ChannelAddress(const IpcChannelEntry& entry);
// The slot of the channel that carries `address`; -1 when none does or the
// address is 0.
int FindChannelOf(const IpcChannelTable& table, uint32_t address);

struct CameraAssignment {
  enum Kind {
    kAlreadyAssigned,  // a channel carries the camera already: nothing changed
    kAssigned,         // the first free channel took it
    kFull,             // every channel holds an address
  };
  Kind kind;
  int channel;  // the slot (0 to 15) of the first two kinds; -1 when full
};

// Gives the camera the first channel without an address: its number, the
// camera's address, used, the camera's port, the name "channel N" and the
// camera's user name and password. Other fields of the slot stay.
CameraAssignment AssignCamera(IpcChannelTable& table, const IpcHeadInfo& camera);
// Clears the whole entry of the channel that carries the camera's address
// (its number too): the slot cleared, or -1 when no channel carries it.
int ReleaseCamera(IpcChannelTable& table, const IpcHeadInfo& camera);

// Copies the connection settings of channel `source` (used, port, stream and
// network mode, user name, password) to every other channel whose flag is 1.
// A channel's number, name and camera address are never copied. The number
// of channels written.
int CopyChannelSettings(IpcChannelTable& table, int source, const int32_t flags[kIpcChannels]);
