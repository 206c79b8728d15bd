#include "relay/servers/relay_viewer.h"

#include <cstring>

#include "live/streams/relay_video_player.h"
#include "pelk/pelk.h"
#include "relay/login/vss_info.h"
#include "relay/relay_callbacks.h"
#include "relay/relay_names.h"
#include "core/user_settings.h"

LONG CRelayViewer::FindLoginHandle(const char* ip, const char* mac) {
  if (!ip || !mac) return -1;
  for (const Vemo2Node& server : g_lstVssInfo) {
    for (const RelayDevice& device : server.lstRelayDevice) {
      if (std::strcmp(device.IPAddr, ip) == 0 && std::strcmp(device.MACAddr, mac) == 0) return server.nLoginHandle;
    }
  }
  return -1;
}

bool CRelayViewer::FindServerName(const char* ip, const char* mac, std::string* name) {
  if (!ip || !mac) return false;
  for (const Vemo2Node& server : g_lstVssInfo) {
    if (!server.bHasDeviceList) continue;
    for (const RelayDevice& device : server.lstRelayDevice) {
      if (std::strcmp(device.IPAddr, ip) != 0 || std::strcmp(device.MACAddr, mac) != 0) continue;
      if (name) *name = std::string(server.DevName, strnlen(server.DevName, sizeof server.DevName));
      return true;
    }
  }
  return false;
}

long CRelayViewer::RegisterRealData(const std::string& key, long mainId, long subId,
                                    std::shared_ptr<RelayVideoPlayer> player) {
  if (!player) return -1;
  RelayVideoPlayer* context = player.get();
  // The player is kept before the library may call it.
  m_players[{key, mainId, subId}] = std::move(player);
  return Pelk_SetRealDataCallback(RelayRealDataCallback, key.c_str(), mainId, subId, context);
}

long CRelayViewer::CloseVideo(const char* ip, const char* mac, const std::string& key, long mainId, long subId) {
  const long result =
      Pelk_InviteCloseDeviceVideo(FindLoginHandle(ip, mac), key.c_str(), static_cast<LONG>(mainId), static_cast<LONG>(subId));
  // Also without a login (its server is gone) the library lets go of the player.
  Pelk_SetRealDataCallback(nullptr, key.c_str(), mainId, subId, nullptr);
  m_players.erase({key, mainId, subId});
  return result;
}

long CRelayViewer::InviteVideo(const char* ip, const char* mac, const std::string& key, int stream, int channel) {
  return Pelk_InviteDeviceVideo(FindLoginHandle(ip, mac), key.c_str(), stream, channel);
}

long CRelayViewer::SetPtzDirection(const char* ip, const char* mac, const std::string& key, int stream, int channel,
                                   int code, int panSpeed, int tiltSpeed) {
  return Pelk_SetPtzDirection(FindLoginHandle(ip, mac), key.c_str(), stream, channel, code, panSpeed, tiltSpeed);
}

long CRelayViewer::SetPtzAdvance(const char* ip, const char* mac, const std::string& key, int stream, int channel,
                                 int command) {
  return Pelk_SetPtzAdvance(FindLoginHandle(ip, mac), key.c_str(), stream, channel, command);
}

long CRelayViewer::SetPtzPreset(const char* ip, const char* mac, const std::string& key, int channel, int operation,
                                const std::string& text) {
  return Pelk_SetPtzPreset(FindLoginHandle(ip, mac), key.c_str(), 0, channel, operation, text.c_str());
}

long CRelayViewer::InvitePreset(const char* ip, const char* mac, const std::string& key, int channel) {
  return Pelk_InvitePreset(FindLoginHandle(ip, mac), key.c_str(), 0, channel);
}

RelayChannelInvite MakeRelayChannelInvite(const RelayDevice& device, int mainGridShown, bool autoSwitch) {
  RelayChannelInvite invite;
  invite.key = FormatDeviceKey(device.MACAddr, device.IPAddr);
  invite.channel = device.nType == kRelayKindVideoServer ? LastCharNumber(device.DevName)
                   : device.nType == kRelayKindNvr       ? NameNumber(device.DevName)
                                                         : 0;
  invite.stream = device.nStream;
  const bool fewPanes = mainGridShown == 1 || mainGridShown == 4 || mainGridShown == 6 || mainGridShown == 8;
  if (fewPanes && autoSwitch) invite.stream = 1;
  return invite;
}

long CRelayViewer::InviteChannel(const RelayDevice& device, int mainGridShown) {
  const RelayChannelInvite invite = MakeRelayChannelInvite(device, mainGridShown, g_bAutoSwitchStream != 0);
  return Pelk_InviteDeviceVideo(FindLoginHandle(device.IPAddr, device.MACAddr), invite.key.c_str(), invite.stream,
                                invite.channel);
}
