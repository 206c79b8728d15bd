// What the PTZ panel needs of the main window: the calls it makes to hand a
// command on. The main window implements it (forwarding to the selected pane
// of the active grid, the live grid whose pane was selected last, else the
// main grid) and owns the PTZ-protocol plug-in the panel reads.
#pragma once

#include <string>

#include "platform/win_types.h"

class CPtzProtocolPlugin;

class CPtzPanelHost {
 public:
  virtual ~CPtzPanelHost() = default;

  // CVistarelDlg::SendPtzXml: the command text to the active grid's selected pane.
  virtual void SendPtzXml(const std::string& text) = 0;
  // CVistarelDlg::GetSelectedPtzAddr: PtzAddr of the device watched in the
  // main grid's selected pane, 0 when it watches nothing.
  virtual int GetSelectedPtzAddr() = 0;
  // The active grid's SetRelayPtzDirection / SetRelayPtzAdvance.
  virtual void SetRelayPtzDirection(int code, int panSpeed, int tiltSpeed) = 0;
  virtual void SetRelayPtzAdvance(int code) = 0;
  // Whether the selected pane of the active grid, or of the main grid, shows
  // relay video.
  virtual bool ActivePaneShowsRelay() = 0;
  virtual bool MainPaneShowsRelay() = 0;
  // Pelk_SetPtzPreset for the active grid's selected relay pane (login handle
  // from CDeviceListDlg::GetVssChannelUserId, key "%s:%s" of MAC and IP, the
  // channel from the record); `operation` is ptz::RelayPresetOp.
  virtual void SetRelayPtzPreset(int operation, const std::string& text) = 0;
  // Pelk_RspInvitePreset for every device record with this GimbroId.
  virtual void RspInvitePreset(LONG gimbroId, const std::string& answer) = 0;
  // The plug-in the main window holds (m_hPtzDllInst, PTZ_GetPtzProtocolData).
  virtual const CPtzProtocolPlugin& PtzPlugin() = 0;
};
