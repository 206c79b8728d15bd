// CDlgBroadcast: the audio broadcast page of the system settings window. The
// right tree offers the devices, the left tree holds those chosen for the
// broadcast; OK keeps the choice and the audio format in "BroadcastInfo.xml"
// (live/broadcast_info.h). The video toolbar's broadcast button reads the
// choice from here (GetBroadcastSettings).
#pragma once

#include <QIcon>
#include <functional>
#include <vector>

#include "live/audio/broadcast_info.h"
#include "platform/dialog.h"

class CBroadcastRun;
class CResMsgDlg;
class QTreeWidget;
class QTreeWidgetItem;

// What the page asks of the main window.
struct BroadcastPageHost {
  // The video toolbar's broadcast, or null: a running one is stopped by OK.
  std::function<CBroadcastRun*()> broadcastRun;
  // After OK stopped a broadcast: the toolbar's broadcast button shows its idle picture.
  std::function<void()> broadcastStopped;
  // The main window's message box; the page's own box without it.
  std::function<void(const CStringW& text, int type)> showMessage;
  // The device trees' image list (the device tree's images); none without it.
  std::function<std::vector<QIcon>()> treeImages;
};

class CDlgBroadcast : public CDialog {
 public:
  enum { IDD = 337 };
  enum {
    IDC_OK = 1000,
    IDC_ADD = 1144,
    IDC_REMOVE = 1145,
    IDC_BROADCAST_LABEL = 1374,
    IDC_SOURCE_LABEL = 1375,
    IDC_BROADCAST_TREE = 1376,
    IDC_SOURCE_TREE = 1377,
    IDC_G711 = 1378,
    IDC_AAC = 1379,
    IDC_MONO = 1381,
    IDC_STEREO = 1382,
    IDC_RATE_8000 = 1383,
    IDC_RATE_16000 = 1384,
    IDC_RATE_48000 = 1385,
    IDC_AUDIO_GROUP = 1386,
    IDC_FORMAT_LABEL = 1387,
    IDC_CHANNEL_LABEL = 1388,
    IDC_RATE_LABEL = 1389,
  };
  enum { TIMER_LOAD = 1020 };

  explicit CDlgBroadcast(QWidget* parent = nullptr);
  ~CDlgBroadcast() override;

  static void SetHost(BroadcastPageHost host);

  BOOL OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;

  // Reads the file into the broadcast list and the format radios.
  void LoadBroadcastInfo();
  // Writes the broadcast list and the G711 radio into the file.
  void SaveBroadcastInfo();
  // Rebuilds the tree of devices to choose from / of the chosen devices.
  void InitSourceDevTree();
  void InitBroadcastDevTree();

  void OnBnClickedAdd();
  void OnBnClickedRemove();
  void OnBnClickedOk();

  // The chosen devices and the audio selection as the last OK (or load) left them.
  const BroadcastSettings& GetBroadcastSettings() const { return m_settings; }
  int GetMono() const { return m_nMono; }
  int GetSampleRate() const { return m_nSampleRate; }

  QTreeWidget* SourceTree() const;
  QTreeWidget* BroadcastTree() const;

  // Enter and Escape do not close a hosted page.
  void OnOK() override {}
  void OnCancel() override {}

 private:
  QTreeWidgetItem* ResetTree(QTreeWidget* tree, bool clearRoot);
  QTreeWidgetItem* AddDeviceItem(QTreeWidgetItem* root, const BroadcastDevice& device);
  void OnItemChanged(QTreeWidgetItem* item);
  bool IsChecked(int id) const;
  void Check(int id);

  BroadcastSettings m_settings;
  int m_nMono = 1;
  int m_nSampleRate = 8000;
  std::vector<QIcon> m_images;
  CResMsgDlg* m_pMsgDlg = nullptr;
};
