// CDlgMain: the main configuration window of an NVR.
//
// A tab control with ten pages, one NVR link, the handling of that link's
// replies and the save-all that sends the edited configuration back. It runs
// embedded in a window of the host (HL_ShowConfigByVemo) or as a window of its
// own (HL_Harlen). The pages edit the configuration records in place; this
// window fetches the records, refills the pages and sends the records.
//
// The configuration is asked for at every connect; until it was read, and for
// every section the NVR did not send in a form that loads, save-all sends
// nothing, so a configuration that never arrived is never written over the
// NVR's. A configuration that does not come within the link's own connect
// time-out, or that the NVR refuses, is reported. Save-all then waits (for the
// link's send time-out at most) for the NVR's acknowledgements and says which
// sections it did not take; only a save taken whole is reported as saved.
//
// Replies: the link's receive thread copies each reply and posts it here
// (nvr_reply_relay.h); the records are loaded and the pages refilled on the
// window's thread, so a close, which stops the link and waits for its thread,
// never waits for the window. While closing is set, and for replies of a link
// that was replaced, replies are dropped.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "harlen/link/controls/rgb_dialog.h"
#include "harlen/link/main/dlg_sys_manage_config.h"
#include "harlen/link/main/save_acks.h"
#include "harlen/link/sections/loaded_sections.h"
#include "harlen/pages/alarm/dlg_alarm_config.h"
#include "harlen/pages/channels/dlg_channel_config.h"
#include "harlen/pages/channels/dlg_param_config.h"
#include "harlen/pages/channels/dlg_rec_param.h"
#include "harlen/pages/device/dlg_dev_param_config.h"
#include "harlen/pages/device/dlg_hardware_config.h"
#include "harlen/pages/device/dlg_holiday_config.h"
#include "harlen/pages/network/dlg_net_config.h"
#include "harlen/pages/users/dlg_userinfo_config.h"

class CNVRMCInf;
class CTabCtrlEx;
class NvrReplyRelay;
struct NvrReply;

class CDlgMain : public CRgbDialog {
 public:
  enum { IDD = 101 };
  enum { IDC_TAB = 1000 };
  static constexpr int kPageCount = 10;

  CDlgMain();
  // Deletes a link that is still there (the close paths delete it first).
  ~CDlgMain() override;

  BOOL OnInitDialog() override;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnTimer(UINT_PTR id) override;

  // How long every main window waits for the whole configuration and for the
  // acknowledgements of a save-all; tests shorten them. 0 or less: the link's
  // own connect and send time-outs.
  static void SetReplyWaits(int configMs, int acksMs);

  // Copies the host and port of the library's settings into the window; does
  // nothing when the host text is 260 characters or longer.
  void SetNvrAddress(const char* host, uint16_t port);
  void SetEmbedded(bool embedded) { m_bEmbedded = embedded; }
  bool IsEmbedded() const { return m_bEmbedded; }

  // Connects to the NVR (a new link when there is none, or when the address
  // changed) and asks for the whole configuration and the four statuses.
  void ConnectNvr();
  // Handles one reply on the window's thread.
  void HandleReply(const NvrReply& reply);

  void OnSelchangeTab();
  void OnOK() override;      // save-all of the sections read from the NVR
  void OnCancel() override;  // hide and drop the link
  void OnClose();            // the same, the window's close button

  // Closing set, link stopped and deleted: no reply is handled afterwards.
  void DeleteLink();

  CNVRMCInf* GetLink() const { return m_pLink; }
  bool IsClosing() const { return m_bClosing; }
  // The sections of save-all whose records hold what this window's NVR sent.
  const NvrLoadedSections& LoadedSections() const { return m_loaded; }
  bool IsSaving() const { return m_saveAcks.Pending(); }
  void SetExportPath(const std::string& path);
  bool IsExportPending() const { return m_bExportPending; }
  void ClearExportPending() { m_bExportPending = false; }
  const char* GetHost() const { return m_szHost; }
  uint16_t GetPort() const { return m_nPort; }

  CTabCtrlEx* GetTab() const { return m_pTab; }
  CDlgSysManageConfig& SysPage() { return m_sysPage; }
  // The page of tab `index` (0 to 9), in the tabs' order.
  CRgbDialog* GetPage(int index) const;

 private:
  enum { kConfigTimer = 1, kAcksTimer = 2 };
  enum class ConfigRead { kNone, kReading, kRead, kFailed };

  void LoadWholeConfigReply(const NvrReply& reply);
  void ConfigNotRead();  // reported once per request
  void OnSaveAck(int status);
  void FinishSave();

  CDlgSysManageConfig m_sysPage;
  CNVRMCInf* m_pLink = nullptr;
  std::unique_ptr<NvrReplyRelay> m_pRelay;
  unsigned m_nLinkGeneration = 0;
  std::string m_strLinkHost;  // the address the link was made for
  uint16_t m_nLinkPort = 0;
  CTabCtrlEx* m_pTab = nullptr;
  CDlgChannelConfig m_channelPage;
  CDlgNetConfig m_netPage;
  CDlgParamConfig m_paramPage;
  CDlgDevParamConfig m_devPage;
  CDlgHardwareConfig m_diskPage;
  CDlgAlarmConfig m_alarmPage;
  CDlgUserinfoConfig m_userPage;
  CDlgRecParam m_recPage;
  CDlgHolidayConfig m_holidayPage;
  bool m_bEmbedded = false;
  char m_szHost[260] = {};
  uint16_t m_nPort = 0;
  std::string m_strExportPath;
  bool m_bExportPending = false;
  bool m_bClosing = true;
  ConfigRead m_configRead = ConfigRead::kNone;
  NvrLoadedSections m_loaded;
  SaveAcks m_saveAcks;
};
