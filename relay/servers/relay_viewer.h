// The panes' calls to the relay servers this client is logged in to: the
// login handle of a relay device, its video invitation and close, and the
// registration of a pane's player for the frames of a video.
//
// UI thread. A registered player is kept here until its video is closed: the
// relay library calls it until then, and not once after the close returned.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/win_types.h"

class RelayVideoPlayer;

class CRelayViewer {
 public:
  // The login handle of the first relay server whose list holds a device with
  // this IP and MAC text; -1 when none does (CDeviceListDlg::GetVssChannelUserId).
  static LONG FindLoginHandle(const char* ip, const char* mac);
  // The name of the first relay server that lists a device with this IP and
  // MAC text; false when none does.
  static bool FindServerName(const char* ip, const char* mac, std::string* name);

  // Frames of the key and session ids go to player->InputData.
  long RegisterRealData(const std::string& key, long mainId, long subId, std::shared_ptr<RelayVideoPlayer> player);
  // Closes the video at its relay server and unregisters its player.
  long CloseVideo(const char* ip, const char* mac, const std::string& key, long mainId, long subId);
  long InviteVideo(const char* ip, const char* mac, const std::string& key, int stream, int channel);

  size_t Registered() const { return m_players.size(); }

 private:
  std::map<std::tuple<std::string, long, long>, std::shared_ptr<RelayVideoPlayer>> m_players;
};
