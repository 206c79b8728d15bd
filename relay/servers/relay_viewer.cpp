#include "relay/servers/relay_viewer.h"

#include <cstring>

#include "live/streams/relay_video_player.h"
#include "pelk/pelk.h"
#include "relay/login/vss_info.h"
#include "relay/relay_callbacks.h"

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
