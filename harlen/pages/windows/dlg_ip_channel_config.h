// CDlgIpChannelConfig: the window "IP通道配置": which network camera feeds
// which of the NVR's sixteen channels, and how the NVR connects to it.
//
// It has an NVR link of its own, made every time the window is shown: it asks
// for the IP channel section, lets the user search the NVR's network for
// cameras, assign found cameras to free channels (by ticking them), edit each
// channel's connection settings, change a found camera's network settings,
// and sends the table back on OK. The found cameras stay for the window's
// life; the table is read again at every showing.
//
// Replies come on the link's thread and are handed to the window's thread,
// as the main window does; a link that was dropped delivers nothing more.
// A search is sent once until its result comes, the link is made anew or
// kSearchTimeoutMs pass without an answer, so that pressing the button again
// while the NVR searches asks nothing twice, and a later search asks again,
// even after a request the NVR never answered.
#pragma once

#include <cstdint>

#include "harlen/link/controls/rgb_dialog.h"
#include "harlen/link/main/window_link.h"
#include "harlen/link/sections/ipc_channel.h"

class CNVRMCInf;
class QTreeWidget;
class QTreeWidgetItem;
struct NvrReply;

// wParam 0, lParam 0: rows for the cameras found since the last message.
constexpr UINT WM_IPC_SEARCH_RESULT = WM_USER + 1001;
// wParam 1 assigned or 0 cleared, lParam the channel's slot (0 to 15).
constexpr UINT WM_IPC_CHANNEL_CHANGED = WM_USER + 1002;

class CDlgIpChannelConfig : public CRgbDialog {
 public:
  enum { IDD = 111 };
  enum {
    IDC_LIST_CHANNELS = 1071,
    IDC_BTN_DELETE = 1072,
    IDC_LIST_FOUND = 1073,
    IDC_BTN_MODIFY = 1074,
    IDC_BTN_SEARCH = 1075,
    IDC_BTN_ALL = 1076,
    IDC_COMBO_CHANNEL = 1077,
    IDC_BTN_COPY_TO = 1078,
    IDC_COMBO_MODE = 1079,
    IDC_COMBO_NETMODE = 1080,
    IDC_CHECK_USED = 1081,
    IDC_EDIT_CAM_IP = 1004,  // the selected camera's IP, mask, gateway, DNS1, DNS2: 1004 to 1008
    IDC_EDIT_CAM_DNS2 = 1008,
    IDC_EDIT_IP = 1014,
    IDC_EDIT_PORT = 1015,
    IDC_EDIT_USER = 1018,
    IDC_EDIT_PASSWORD = 1019,
  };

  // How long an unanswered search keeps the next press from searching again.
  static constexpr UINT kSearchTimeoutMs = 5000;

  explicit CDlgIpChannelConfig(QWidget* parent = nullptr);
  ~CDlgIpChannelConfig() override;

  // The NVR's address, taken from the library's settings.
  void SetNvrAddress(const char* host, uint16_t port);
  // Connects to the NVR and asks for the IP channel section, every time the window is shown.
  void ConnectNvr();

  BOOL OnInitDialog() override;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnTimer(UINT_PTR id) override;
  void OnOK() override;
  void OnCancel() override;

  const IpcChannelTable& Table() const { return m_table; }
  const IpcSearchList& Found() const { return m_found; }
  const IpcHeadInfo& SelectedCamera() const { return m_selected; }
  CNVRMCInf* GetLink() const { return m_link.Get(); }
  bool SearchSent() const { return m_nSearchSent != 0; }

 private:
  void DeleteLink();
  void EndSearch();
  void HandleReply(const NvrReply& reply);
  void FillChannelList();
  void AddFoundRows();
  void OnChannelChanged(bool assigned, int channel);

  void OnSearch();
  void OnAll();
  void OnDelete();
  void OnModify();
  void OnCopyTo();
  void OnUsedClicked();
  void OnChannelRowChanged(QTreeWidgetItem* item);
  void OnFoundRowChanged(QTreeWidgetItem* item);
  void SelectCamera(int row);
  void ShowChannel();
  void ShowChannelOfRow(int row);
  int CurrentChannel() const;

  char m_szHost[260] = {};
  uint16_t m_nPort = 0;
  WindowLink m_link{this};

  IpcSearchList m_found = {};
  IpcChannelTable m_table = {};
  IpcHeadInfo m_selected = {};
  uint32_t m_nSearchSent = 0;
  bool m_bTableLoaded = false;  // the table came from the NVR over the current link

  QTreeWidget* m_pChannels = nullptr;
  QTreeWidget* m_pFound = nullptr;
};
