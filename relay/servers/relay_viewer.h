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
struct RelayDevice;

// How a relay channel's video is asked for from a device list: the channel
// (a video server's is the last digit of its name, an NVR channel's the number
// after the last '-' of its name, 0 otherwise) and the stream (the device's
// stream word, or the main stream 1 when the main grid shows 1, 4, 6 or 8
// panes and automatic stream switching is on).
struct RelayChannelInvite {
  std::string key;  // "MAC:IP"
  int stream = 0;
  int channel = 0;
};
RelayChannelInvite MakeRelayChannelInvite(const RelayDevice& device, int mainGridShown, bool autoSwitch);

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
  // Asks for a relay channel's video as a device list does (MakeRelayChannelInvite,
  // g_bAutoSwitchStream) from the server that lists it.
  static long InviteChannel(const RelayDevice& device, int mainGridShown);

  // PTZ of a relay device shown here: direction (code, speeds), advanced
  // command, preset (1 set, 2 delete, 3 call, with its text) and the preset
  // list (answered with WM_RELAY_PRESET_LIST_ANSWER).
  static long SetPtzDirection(const char* ip, const char* mac, const std::string& key, int stream, int channel,
                              int code, int panSpeed, int tiltSpeed);
  static long SetPtzAdvance(const char* ip, const char* mac, const std::string& key, int stream, int channel,
                            int command);
  static long SetPtzPreset(const char* ip, const char* mac, const std::string& key, int channel, int operation,
                           const std::string& text);
  static long InvitePreset(const char* ip, const char* mac, const std::string& key, int channel);

  size_t Registered() const { return m_players.size(); }

 private:
  std::map<std::tuple<std::string, long, long>, std::shared_ptr<RelayVideoPlayer>> m_players;
};
