#include "harlen/pages/windows/ip_channel_rules.h"

#include <netinet/in.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/text_codec.h"

int AppendFoundCameras(IpcSearchList& found, const IpcSearchList& reply) {
  int appended = 0;
  const uint32_t replied = reply.count < kIpcSearchResults ? reply.count : kIpcSearchResults;
  for (uint32_t r = 0; r < replied; ++r) {
    const IpcHeadInfo& camera = reply.cameras[r];
    if (found.count >= kIpcSearchResults) break;
    bool known = false;
    for (uint32_t f = 0; f < found.count && !known; ++f) known = found.cameras[f].ip == camera.ip;
    if (known) continue;
    found.cameras[found.count++] = camera;
    ++appended;
  }
  return appended;
}

uint32_t ChannelAddress(const IpcChannelEntry& entry) {
  if (entry.ip[0] == '\0') return 0;
  const uint32_t address = StringToIp(FieldText(entry.ip));
  return address == INADDR_NONE ? 0 : address;
}

int FindChannelOf(const IpcChannelTable& table, uint32_t address) {
  if (address == 0) return -1;
  for (int i = 0; i < kIpcChannels; ++i) {
    if (ChannelAddress(table.entries[i]) == address) return i;
  }
  return -1;
}

CameraAssignment AssignCamera(IpcChannelTable& table, const IpcHeadInfo& camera) {
  const int carrying = FindChannelOf(table, camera.ip);
  if (carrying >= 0) return {CameraAssignment::kAlreadyAssigned, carrying};
  for (int i = 0; i < kIpcChannels; ++i) {
    IpcChannelEntry& entry = table.entries[i];
    if (entry.ip[0] != '\0') continue;
    entry.chanid = static_cast<uint32_t>(i + 1);
    CopyFieldText(entry.ip, IpToString(camera.ip));
    entry.used = 1;
    entry.port = camera.ptzport;
    char name[sizeof entry.channame];
    std::snprintf(name, sizeof name, "channel %d", i + 1);
    CopyFieldText(entry.channame, name);
    CopyFieldText(entry.username, FieldText(camera.username));
    CopyFieldText(entry.passwd, FieldText(camera.password));
    return {CameraAssignment::kAssigned, i};
  }
  return {CameraAssignment::kFull, -1};
}

int ReleaseCamera(IpcChannelTable& table, const IpcHeadInfo& camera) {
  const int channel = FindChannelOf(table, camera.ip);
  if (channel >= 0) std::memset(&table.entries[channel], 0, sizeof table.entries[channel]);
  return channel;
}

int CopyChannelSettings(IpcChannelTable& table, int source, const int32_t flags[kIpcChannels]) {
  if (source < 0 || source >= kIpcChannels) return 0;
  const IpcChannelEntry& from = table.entries[source];
  int copied = 0;
  for (int k = 0; k < kIpcChannels; ++k) {
    if (k == source || flags[k] != 1) continue;
    IpcChannelEntry& to = table.entries[k];
    to.used = from.used;
    to.port = from.port;
    to.streammode = from.streammode;
    to.netmode = from.netmode;
    std::memcpy(to.username, from.username, sizeof to.username);
    std::memcpy(to.passwd, from.passwd, sizeof to.passwd);
    ++copied;
  }
  return copied;
}
