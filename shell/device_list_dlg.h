// CDeviceListDlg: the left-hand panel with the device tree (template 135).
// A click tells the current module which device, group, map or record scheme
// was chosen; a drag from the tree dropped on a video pane, or a double click,
// opens a channel (or hands it to the TV wall or the e-map); a right click on
// a group in live video plays the whole group. Everything it does outside its
// own tree goes through its host (CDeviceListHost).
//
// The tree's selection is the panel's mark of the chosen item (what the tree
// control calls its drop highlight); the current item is the dragged one.
#pragma once

#include <QPoint>
#include <QTreeWidget>
#include <memory>

#include "platform/dialog.h"
#include "shell/device_list_host.h"

class CImageButton;
class CResMsgDlg;
class QLabel;
class QMenu;

class CDeviceListDlg : public CDialog {
 public:
  enum { IDD = 135 };
  enum {
    IDC_DEV_TREE = 1031,
    IDC_BTN_ORIGINAL = 1032,
    IDC_BTN_ONLINE = 1033,
    IDC_BTN_MAPLIST = 1255,
    IDC_BTN_FIND = 1218,
    IDC_EDIT_FIND = 1048,
  };
  enum { ID_AUTO_PLAY_GROUP = 32784 };
  enum { kModeOriginal = 1, kModeOnline = 2, kModeMapList = 3 };

  CDeviceListDlg(CDeviceListHost* host, QWidget* parent = nullptr);
  ~CDeviceListDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override {}      // Enter is swallowed (in the search box it searches)
  void OnCancel() override {}  // Esc is swallowed

  // Set by the host after creation: 0 main window, 4 TV-wall manager, 5 e-map manager, others.
  void SetHostCode(int code) { m_nHostCode = code; }
  int GetHostCode() const { return m_nHostCode; }
  int GetGroupMode() const { return m_nGroupMode; }
  BOOL IsSchemeView() const { return m_bSchemeView; }
  QTreeWidget* GetTree() const { return m_pTree; }
  CResMsgDlg* GetMsgDlg() const { return m_pMsgDlg; }
  QMenu* GetGroupMenu() const { return m_pGroupMenu; }

  // Operations of the hosts and the main window.
  void RefreshDevTree();
  void ShowOriginalGroup();
  void ShowOnlineGroup();
  void ShowMapList();
  void RefreshMapList();
  void AddMapItem(const CString& mapName, const CString& parentName);
  void ShowRecSchemeTree();
  void UpdateDevIcons();
  void UpdateDevItem(const CString& devId);
  void SetAlarmImage(const CString& devName, BOOL on);
  void UpdateVssIcons();
  void SetVssAlarmImage(const CString& devName, const CString& mac, BOOL on);
  void SelectDevItem(const DevInfo* dev);
  // The relay channel's item (its name, MAC and IP texts) under "VSS".
  void SelectVssChannelItem(const char* devName, const char* mac, const char* ip);
  void SelectMapItem(const CString& mapName);

  // Handlers.
  void OnClickDevTree(QPoint pos);
  void OnBeginDragDevTree(QPoint pos, QPoint globalPos);
  void OnLButtonUp(QPoint globalPos);
  void OnDblclkDevTree(QPoint pos);
  void OnRclickDevTree(QPoint pos, QPoint globalPos);
  void OnAutoPlayGroup();
  void OnBnClickedFind();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Layout();
  void SetViewButtons(int mode);
  void ShowViewButtons(bool show);
  void SetMark(QTreeWidgetItem* item);
  void ShowRefusal(UINT stringId);
  QTreeWidgetItem* Root() const;
  bool TreeViewportEvent(QEvent* event);
  void MoveDragImage(QPoint globalPos);
  void EndDragImage();
  // The record of a device item ready to be opened in a pane, or null after a refusal shown.
  DevInfo* DeviceToOpen(QTreeWidgetItem* item);
  // A relay channel dropped on a pane (`dropWnd`) or double-clicked (null):
  // the pane stops what it shows, an offline channel is refused, panes of the
  // main grid that show it already close it, and its video is asked for.
  void OpenRelayChannel(QTreeWidgetItem* item, QWidget* dropWnd);
  void AutoPlayRelayItem(QTreeWidgetItem* item);

  CDeviceListHost* m_pHost;
  int m_nHostCode = 0;
  int m_nGroupMode = kModeOriginal;
  BOOL m_bSchemeView = FALSE;
  BOOL m_bReady = FALSE;
  BOOL m_bDragging = FALSE;
  std::unique_ptr<QLabel> m_pDragImage;  // the dragged item's picture, following the cursor
  CResMsgDlg* m_pMsgDlg = nullptr;       // child of the panel
  QTreeWidgetItem* m_hRClickItem = nullptr;
  QTreeWidget* m_pTree = nullptr;
  CImageButton* m_btnOriginal = nullptr;
  CImageButton* m_btnOnline = nullptr;
  CImageButton* m_btnMapList = nullptr;
  CImageButton* m_btnFind = nullptr;
  QMenu* m_pGroupMenu = nullptr;
  QPoint m_pressPos;
  bool m_bPressed = false;
};
