// What the live-view grid and its video panes ask of the main window and of
// the relay service. The main window implements it and installs it once with
// SetVideoHost; until then a host that does nothing stands in, so panes and
// grids also work alone (tests, tools).
//
// Members carry the names of the main window's members they stand for where it
// has one.
#pragma once

#include <QPoint>
#include <memory>
#include <string>

#include "platform/win_types.h"

class CVideoManagerDlg;
class QWidget;
class RelayVideoPlayer;
struct DevInfo;

// The pane's copy of a relay device record: the relay server's device that the
// pane shows through the relay.
struct PaneRelayDevice {
  int nKind = 0;            // 0 video server, 3 cascaded node, 4 NVR, others single devices
  char IPAddr[256] = {};
  char DevName[256] = {};
  char MACAddr[256] = {};
  char ServerName[256] = {};  // DevName of the relay server (Vemo2Node)
  int ParentId = 0;
  int Id = 0;
  int State = 0;   // 0 offline, 1 online, 2 watched, 3 recording, 4 watched and recording
  int Stream = 0;  // stream word passed to the relay's video invitation
};

// Toolbar buttons and pictures that the grid sets.
namespace toolbar {
constexpr int kTalkButton = 1021;
constexpr int kSoundButton = 1022;
constexpr int kPatrolButton = 1284;
constexpr int kRecordButton = 1286;
constexpr int kTalkOff = 177, kTalkOn = 211;
constexpr int kSoundOff = 176, kSoundOn = 212;
constexpr int kPatrolOff = 240, kPatrolOn = 238;
constexpr int kRecordOff = 276, kRecordOn = 275;
constexpr int kRecordOffTip = 311, kRecordOnTip = 333;
}  // namespace toolbar

class IVideoHost {
 public:
  virtual ~IVideoHost() = default;

  // --- main window
  // The grid whose pane was selected last (the main window's active grid).
  virtual void SetActiveVideoManager(CVideoManagerDlg* /*grid*/) {}
  // Selects the item of the device / relay channel a clicked pane shows.
  virtual void SelectDevItem(const DevInfo& /*dev*/) {}
  virtual void SelectVssChannelItem(const PaneRelayDevice& /*dev*/) {}
  // Refreshes the device marks of the device lists after a watch started or stopped.
  virtual void UpdateDevIcons() {}
  // A toolbar button's picture (PNG resource id) and, when tipStringId is not 0, its tool tip.
  virtual void SetToolButtonPicture(int /*buttonId*/, int /*pictureId*/, int /*tipStringId*/) {}
  // The extended-grid relay flag: the relay video asked for next belongs in an extended grid.
  virtual void SetExtGridRelayFlag(int /*flag*/) {}
  // Resets the mouse mode of every grid to the pointer (SetZoomMode(0)).
  virtual void SetZoomMode(int /*mode*/) {}
  // True while the main window shows its live-view module.
  virtual bool IsLiveModuleShown() { return true; }
  virtual void FocusMainWindow() {}
  // Deletes the talk decoder of an NVR talk when flag is 0.
  virtual void ReleaseNVRSpeakCodec(int /*flag*/) {}
  // A grid's position among the extended screens (0 for the main grid, 1 to 3).
  virtual int ExtendedPosition(CVideoManagerDlg* /*grid*/) { return 0; }
  // Local settings: picture and video folders (empty: defaults), the keyboard
  // option that sends keyboard PTZ to every watching pane.
  virtual std::string PictureFolder() { return {}; }
  virtual std::string VideoFolder() { return {}; }
  virtual int KeyboardAllPanes() { return 0; }

  // --- relay service (the relay library's calls, with the login handle found
  // by the relay service for the relay device)
  // Registers the real-data callback of a relayed video: frames of the key's
  // sessions go to player->InputData. The host keeps its share of the player
  // for as long as the relay library may still call back with it: a closed
  // player drops every frame, and it is freed only when the last share goes.
  virtual long RegisterRelayRealData(const std::string& /*key*/, long /*mainId*/, long /*subId*/,
                                     std::shared_ptr<RelayVideoPlayer> /*player*/) { return 0; }
  // Ends the video of the key and the pane's two session ids at the relay; the
  // player registered for them is not called again once this returns.
  virtual long InviteCloseDeviceVideo(const PaneRelayDevice& /*dev*/, const std::string& /*key*/, long /*mainId*/,
                                      long /*subId*/) {
    return 0;
  }
  // Asks the relay for the device's video (stream 1 main, 0 sub-stream).
  virtual long InviteDeviceVideo(const PaneRelayDevice& /*dev*/, const std::string& /*key*/, int /*stream*/,
                                 int /*channel*/) { return 0; }
  virtual long SetRelayPtzDirection(const PaneRelayDevice& /*dev*/, const std::string& /*key*/, int /*channel*/,
                                    int /*code*/, int /*panSpeed*/, int /*tiltSpeed*/) { return 0; }
  virtual long SetRelayPtzAdvance(const PaneRelayDevice& /*dev*/, const std::string& /*key*/, int /*channel*/,
                                  int /*command*/) { return 0; }
  // A patrol point that names a relay device: looks the device up and asks the
  // relay for its video for the grid's pane (the answer comes as relay video).
  virtual long InvitePatrolRelayVideo(CVideoManagerDlg* /*grid*/, int /*pane*/, const std::string& /*key*/) { return 0; }
  virtual long InvitePreset(const PaneRelayDevice& /*dev*/, const std::string& /*key*/, int /*channel*/) { return 0; }
};

// The installed host (never null: a host that does nothing until one is set).
IVideoHost& VideoHost();
void SetVideoHost(IVideoHost* host);  // null: back to the host that does nothing
