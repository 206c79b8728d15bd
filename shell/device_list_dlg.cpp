#include "shell/device_list_dlg.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QThread>
#include <QPainter>
#include <QTreeWidgetItemIterator>
#include <cstring>

#include "core/process_query.h"
#include "core/res_msg_dlg.h"
#include "core/user_settings.h"
#include "relay/login/vss_info.h"
#include "relay/servers/relay_viewer.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "shell/dev_tree.h"
#include "shell/device_list_rules.h"
#include "shell/view_state.h"
#include "ui/gdi_manager.h"
#include "ui/image_button.h"
#include "ui/skin_colors.h"

namespace {

constexpr COLORREF kChosenCaption = skin::kMarkedCaption;
constexpr UINT kPicChosen = 155;
constexpr UINT kPicOther = 156;

DevInfo* ItemDevice(const QTreeWidgetItem* item) {
  if (item == nullptr || CDevTree::ItemKind(item) != DevTreeData::kDevice) return nullptr;
  return static_cast<DevInfo*>(CDevTree::ItemData(item));
}

// Whether the item lies in the relay servers' branch ("VSS" under the root).
bool IsUnderVss(const QTreeWidgetItem* item) {
  for (const QTreeWidgetItem* up = item; up != nullptr; up = up->parent()) {
    if (up->parent() != nullptr && up->parent()->parent() == nullptr && up->text(0) == "VSS") return true;
  }
  return false;
}

RelayDevice* ItemRelayDevice(const QTreeWidgetItem* item) {
  if (item == nullptr || CDevTree::ItemKind(item) != DevTreeData::kRelayDevice) return nullptr;
  return static_cast<RelayDevice*>(CDevTree::ItemData(item));
}

// A relay channel: a leaf under "VSS" that holds a relay device.
bool IsRelayChannel(const QTreeWidgetItem* item) {
  return item != nullptr && item->childCount() == 0 && IsUnderVss(item) && ItemRelayDevice(item) != nullptr;
}

bool IsVss(const QTreeWidgetItem* item) {
  return item != nullptr && item->parent() != nullptr && item->parent()->parent() == nullptr && item->text(0) == "VSS";
}

constexpr UINT kStrDeviceOffline = 821;  // "The device offline,can't do the operation!"
constexpr unsigned long kAutoPlayPauseMs = 5;

}  // namespace

CDeviceListDlg::CDeviceListDlg(CDeviceListHost* host, QWidget* parent) : CDialog(IDD, parent), m_pHost(host) {}

CDeviceListDlg::~CDeviceListDlg() {
  // The tree is torn down after this panel, with the widget base: its rows go
  // and its viewport gets its last events then. The panel stops listening first,
  // so neither reaches a panel already destroyed.
  if (m_pTree != nullptr) {
    m_pTree->viewport()->removeEventFilter(this);
    m_pTree->model()->disconnect(this);
    m_pTree = nullptr;
  }
}

BOOL CDeviceListDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pMsgDlg = new CResMsgDlg(this);
  m_pMsgDlg->Create(CResMsgDlg::IDD, this);

  m_btnFind = ReplaceDlgItem(IDC_BTN_FIND, new CImageButton(this));
  m_btnFind->SetImageResource(172, "PNG");
  m_btnFind->SetToolTipTextW(LoadStringW(331).toStdWString());
  m_btnOriginal = ReplaceDlgItem(IDC_BTN_ORIGINAL, new CImageButton(this));
  m_btnOriginal->SetCaptionW(LoadStringW(320).toStdWString());
  m_btnOnline = ReplaceDlgItem(IDC_BTN_ONLINE, new CImageButton(this));
  m_btnOnline->SetCaptionW(LoadStringW(321).toStdWString());
  m_btnMapList = ReplaceDlgItem(IDC_BTN_MAPLIST, new CImageButton(this));
  m_btnMapList->SetCaptionW(LoadStringW(329).toStdWString());
  SetViewButtons(kModeOriginal);
  OnClicked(IDC_BTN_ORIGINAL, [this] { ShowOriginalGroup(); });
  OnClicked(IDC_BTN_ONLINE, [this] { ShowOnlineGroup(); });
  OnClicked(IDC_BTN_MAPLIST, [this] { ShowMapList(); });
  OnClicked(IDC_BTN_FIND, [this] { OnBnClickedFind(); });
  if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(IDC_EDIT_FIND)))
    QObject::connect(edit, &QLineEdit::returnPressed, this, [this] { OnBnClickedFind(); });

  m_pTree = qobject_cast<QTreeWidget*>(GetDlgItem(IDC_DEV_TREE));
  if (m_pTree != nullptr) {
    m_pTree->setHeaderHidden(true);
    m_pTree->setColumnCount(1);
    m_pTree->setStyleSheet("QTreeView::item { height: 20px; }");
    m_pTree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTree->setExpandsOnDoubleClick(true);
    m_pTree->viewport()->installEventFilter(this);
    // The right-clicked item goes with any item removed or a rebuilt tree.
    const auto forget = [this] { m_hRClickItem = nullptr; };
    QObject::connect(m_pTree->model(), &QAbstractItemModel::rowsAboutToBeRemoved, this, forget);
    QObject::connect(m_pTree->model(), &QAbstractItemModel::modelAboutToBeReset, this, forget);
  }

  m_pGroupMenu = new QMenu(this);
  QAction* autoPlay = m_pGroupMenu->addAction(QString());
  autoPlay->setData(static_cast<int>(ID_AUTO_PLAY_GROUP));
  QObject::connect(m_pGroupMenu, &QMenu::aboutToShow, this,
                   [autoPlay] { autoPlay->setText(LoadStringW(869)); });
  QObject::connect(autoPlay, &QAction::triggered, this, [this] { OnAutoPlayGroup(); });

  m_bReady = TRUE;
  Layout();
  return TRUE;
}

void CDeviceListDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  if (m_bReady) Layout();
}

void CDeviceListDlg::Layout() {
  const int w = width();
  const int h = height();
  if (m_btnOriginal != nullptr) m_btnOriginal->setGeometry(1, h - 23, 73, 23);
  if (m_btnOnline != nullptr) m_btnOnline->setGeometry(74, h - 23, 73, 23);
  if (m_btnMapList != nullptr) m_btnMapList->setGeometry(147, h - 23, 73, 23);
  if (QWidget* edit = GetDlgItem(IDC_EDIT_FIND)) edit->setGeometry(1, 1, w - 24, 22);
  if (m_btnFind != nullptr) m_btnFind->setGeometry(w - 22, 1, 22, 22);
  if (m_pTree != nullptr) m_pTree->setGeometry(1, 24, w - 2, h - 49);
}

void CDeviceListDlg::paintEvent(QPaintEvent*) {
  // The background picture covers the client area; without it nothing is drawn.
  QPainter painter(this);
  CGdiManger gdi;
  gdi.DrawImageFile(paths::ProgramFolder() + "Images\\DevlistBk.png", RECT{0, 0, width(), height()}, &painter);
}

void CDeviceListDlg::SetViewButtons(int mode) {
  const std::pair<CImageButton*, int> buttons[] = {
      {m_btnOriginal, kModeOriginal}, {m_btnOnline, kModeOnline}, {m_btnMapList, kModeMapList}};
  for (const auto& [button, buttonMode] : buttons) {
    if (button == nullptr) continue;
    button->SetImageResource(buttonMode == mode ? kPicChosen : kPicOther, "PNG");
    button->SetTextColor(buttonMode == mode ? kChosenCaption : 0);
  }
}

void CDeviceListDlg::ShowViewButtons(bool show) {
  for (CImageButton* button : {m_btnOriginal, m_btnOnline, m_btnMapList})
    if (button != nullptr) button->setVisible(show);
}

QTreeWidgetItem* CDeviceListDlg::Root() const {
  return m_pTree != nullptr && m_pTree->topLevelItemCount() > 0 ? m_pTree->topLevelItem(0) : nullptr;
}

void CDeviceListDlg::SetMark(QTreeWidgetItem* item) {
  if (m_pTree == nullptr) return;
  m_pTree->clearSelection();
  if (item != nullptr) item->setSelected(true);
}

void CDeviceListDlg::ShowRefusal(UINT stringId) {
  if (m_pMsgDlg != nullptr) m_pMsgDlg->ShowMsg(LoadStringW(stringId).toStdWString(), 2);
}

// --- operations ---------------------------------------------------------------

void CDeviceListDlg::RefreshDevTree() {
  ShowViewButtons(true);
  m_bSchemeView = FALSE;
  const BOOL showAllTypes = m_nHostCode == kHostTvWall ? TRUE : FALSE;
  if (m_nGroupMode == kModeOriginal) CDevTree::GetInstance()->InitDevTree(m_pTree, showAllTypes);
  else if (m_nGroupMode == kModeOnline) CDevTree::GetInstance()->InitOnlineDevTree(m_pTree, showAllTypes);
}

void CDeviceListDlg::ShowOriginalGroup() {
  m_nGroupMode = kModeOriginal;
  SetViewButtons(m_nGroupMode);
  RefreshDevTree();
}

void CDeviceListDlg::ShowOnlineGroup() {
  m_nGroupMode = kModeOnline;
  SetViewButtons(m_nGroupMode);
  RefreshDevTree();
}

void CDeviceListDlg::ShowMapList() {
  m_nGroupMode = kModeMapList;
  SetViewButtons(m_nGroupMode);
  const std::vector<MapEntry> maps = m_pHost->GetMapList();
  CDevTree::GetInstance()->InitMapTree(m_pTree, maps);
  if (maps.empty()) return;
  CString shown = m_pHost->GetShownMapName();
  if (shown.empty()) {
    shown = maps.front().name;
    m_pHost->ShowMap(shown);
  }
  SelectMapItem(shown);
}

void CDeviceListDlg::RefreshMapList() {
  if (m_nGroupMode != kModeMapList) return;
  CDevTree::GetInstance()->InitMapTree(m_pTree, m_pHost->GetMapList());
}

void CDeviceListDlg::AddMapItem(const CString& mapName, const CString& parentName) {
  CDevTree::GetInstance()->AddMapItem(m_pTree, mapName, parentName);
}

void CDeviceListDlg::ShowRecSchemeTree() {
  if (m_pTree != nullptr) m_pTree->clear();
  ShowViewButtons(false);
  m_bSchemeView = TRUE;
}

void CDeviceListDlg::UpdateDevIcons() {
  if (m_nGroupMode == kModeOriginal || m_nGroupMode == kModeOnline) CDevTree::GetInstance()->UpdateDevIcons(m_pTree);
}

void CDeviceListDlg::UpdateDevItem(const CString& devId) { CDevTree::GetInstance()->UpdateDevItem(m_pTree, devId); }

void CDeviceListDlg::UpdateVssIcons() {
  if (m_nGroupMode == kModeOriginal || m_nGroupMode == kModeOnline) CDevTree::GetInstance()->UpdateVssIcons(m_pTree);
}

void CDeviceListDlg::SetVssAlarmImage(const CString& devName, const CString& mac, BOOL on) {
  if (m_nGroupMode != kModeMapList) CDevTree::GetInstance()->SetVssAlarmImage(m_pTree, devName, mac, on);
}

void CDeviceListDlg::SetAlarmImage(const CString& devName, BOOL on) {
  if (m_nGroupMode != kModeMapList) CDevTree::GetInstance()->SetAlarmImage(m_pTree, devName, on);
  else CDevTree::GetInstance()->SetMapAlarmImage(m_pTree, m_pHost->GetMapsHoldingDevice(devName), on);
}

void CDeviceListDlg::SelectDevItem(const DevInfo* dev) {
  if (m_pTree == nullptr || dev == nullptr) return;
  m_pTree->expandAll();
  m_pTree->scrollToTop();
  for (QTreeWidgetItemIterator it(m_pTree); *it != nullptr; ++it) {
    const DevInfo* shown = ItemDevice(*it);
    if (shown == nullptr || strcmp(shown->DevName, dev->DevName) != 0 || strcmp(shown->DevId, dev->DevId) != 0)
      continue;
    m_pTree->setCurrentItem(*it);
    m_pTree->scrollToItem(*it);
    SetMark(*it);
    return;
  }
}

void CDeviceListDlg::SelectVssChannelItem(const char* devName, const char* mac, const char* ip) {
  if (m_pTree == nullptr || devName == nullptr || mac == nullptr || ip == nullptr) return;
  m_pTree->expandAll();
  m_pTree->scrollToTop();
  for (QTreeWidgetItemIterator it(m_pTree); *it != nullptr; ++it) {
    if (!IsRelayChannel(*it)) continue;
    const RelayDevice* shown = ItemRelayDevice(*it);
    if (strcmp(shown->DevName, devName) != 0 || strcmp(shown->MACAddr, mac) != 0 || strcmp(shown->IPAddr, ip) != 0)
      continue;
    m_pTree->setCurrentItem(*it);
    m_pTree->scrollToItem(*it);
    SetMark(*it);
    return;
  }
}

void CDeviceListDlg::SelectMapItem(const CString& mapName) {
  if (m_pTree == nullptr) return;
  m_pTree->expandAll();
  m_pTree->scrollToTop();
  QTreeWidgetItem* item = CDevTree::GetInstance()->FindMapItem(m_pTree, mapName);
  if (item == nullptr || item == Root()) return;
  m_pTree->setCurrentItem(item);
  m_pTree->scrollToItem(item);
  SetMark(item);
}

// --- mouse on the tree -------------------------------------------------------

bool CDeviceListDlg::eventFilter(QObject* watched, QEvent* event) {
  if (m_pTree != nullptr && watched == m_pTree->viewport() && TreeViewportEvent(event)) return true;
  return CDialog::eventFilter(watched, event);
}

bool CDeviceListDlg::TreeViewportEvent(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease &&
      type != QEvent::MouseButtonDblClick)
    return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint pos = mouse->position().toPoint();
  const QPoint globalPos = mouse->globalPosition().toPoint();
  switch (type) {
    case QEvent::MouseButtonPress:
      if (mouse->button() == Qt::RightButton) {
        OnRclickDevTree(pos, globalPos);
        return true;
      }
      if (mouse->button() == Qt::LeftButton) {
        m_bPressed = true;
        m_pressPos = pos;
      }
      return false;
    case QEvent::MouseMove:
      if (m_bDragging) {
        MoveDragImage(globalPos);
        return true;
      }
      if (m_bPressed && (mouse->buttons() & Qt::LeftButton) &&
          (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        m_bPressed = false;
        OnBeginDragDevTree(m_pressPos, globalPos);
        return m_bDragging != FALSE;
      }
      return false;
    case QEvent::MouseButtonRelease:
      if (mouse->button() != Qt::LeftButton) return false;
      if (m_bDragging) {
        OnLButtonUp(globalPos);
        return true;
      }
      if (m_bPressed) {
        m_bPressed = false;
        OnClickDevTree(pos);
      }
      return false;
    default:  // double click
      if (mouse->button() == Qt::LeftButton) OnDblclkDevTree(pos);
      return false;
  }
}

void CDeviceListDlg::OnClickDevTree(QPoint pos) {
  if (m_pTree == nullptr) return;
  QTreeWidgetItem* hit = m_pTree->itemAt(pos);
  SetMark(hit);
  QTreeWidgetItem* root = Root();
  QTreeWidgetItem* parent = hit != nullptr ? hit->parent() : nullptr;

  if (m_nGroupMode == kModeMapList && hit != nullptr && hit != root) {
    m_pHost->ShowMap(codepage::FromQString(hit->text(0)));
  } else if (m_bSchemeView && hit != nullptr && parent == root) {
    m_pHost->OnRecSchemeSelected(static_cast<RecSchemeInfo*>(CDevTree::ItemData(hit)));
  } else if (hit != nullptr && parent != nullptr && parent == root) {  // a group, "Online"/"Offline" or "VSS"
    DevGroupInfo* group = CDevTree::ItemKind(hit) == DevTreeData::kGroup
                              ? static_cast<DevGroupInfo*>(CDevTree::ItemData(hit))
                              : nullptr;
    m_pHost->ShowDevInfo(group);
    m_pHost->OnDevSelected(nullptr);
  } else if (hit != nullptr && hit->childCount() > 0) {  // a multi-channel device (or the root)
    m_pHost->OnDevSelected(ItemDevice(hit));
    m_pHost->ShowDevInfo(nullptr);
  } else if (hit != nullptr && parent != nullptr && parent->parent() == root) {  // a device directly in a group
    DevInfo* dev = ItemDevice(hit);
    m_pHost->OnDevSelected(dev);
    if (dev != nullptr && dev->nPltDev == 0) m_pHost->ShowDevInfo(nullptr);
  } else if (hit != nullptr && IsUnderVss(hit)) {  // a relay channel
    if (CDevTree::ItemKind(hit) == DevTreeData::kRelayDevice)
      m_pHost->OnVssChannelSelected(static_cast<RelayDevice*>(CDevTree::ItemData(hit)));
  } else if (hit != nullptr && parent != nullptr) {  // a channel of a multi-channel device
    if (g_nCurModule == kModuleRecord || m_pHost->IsRecordSearchOnExtScreen()) {
      if (DevInfo* dev = ItemDevice(hit)) m_pHost->SetSearchDevInfo(dev);
    }
  } else if (hit == nullptr) {
    m_pHost->ShowDevInfo(nullptr);
    m_pHost->OnDevSelected(nullptr);
  }
}

void CDeviceListDlg::OnBeginDragDevTree(QPoint pos, QPoint globalPos) {
  if (m_bSchemeView || m_pTree == nullptr) return;
  QTreeWidgetItem* item = m_pTree->itemAt(pos);
  if (item == nullptr || item->childCount() > 0 || item->parent() == nullptr || item->parent() == Root()) return;
  m_pTree->setCurrentItem(item);
  const QPixmap picture = m_pTree->viewport()->grab(m_pTree->visualItemRect(item));
  if (picture.isNull()) return;
  m_pDragImage = std::make_unique<QLabel>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint |
                                                       Qt::WindowTransparentForInput);
  m_pDragImage->setPixmap(picture);
  m_pDragImage->resize(picture.size());
  m_bDragging = TRUE;
  MoveDragImage(globalPos);
  m_pDragImage->show();
  m_pTree->viewport()->grabMouse();
}

void CDeviceListDlg::MoveDragImage(QPoint globalPos) {
  if (m_pDragImage != nullptr) m_pDragImage->move(globalPos - QPoint(10, 10));
  QTreeWidgetItem* over = m_pTree->itemAt(m_pTree->viewport()->mapFromGlobal(globalPos));
  if (over != nullptr && over->childCount() == 0 && over->parent() != nullptr && over->parent() != Root())
    m_pTree->clearSelection();
}

void CDeviceListDlg::EndDragImage() {
  m_bDragging = FALSE;
  m_pDragImage.reset();
  if (m_pTree != nullptr) m_pTree->viewport()->releaseMouse();
}

DevInfo* CDeviceListDlg::DeviceToOpen(QTreeWidgetItem* item) {
  DevInfo* dev = ItemDevice(item);
  if (dev == nullptr) return nullptr;
  if (const UINT refusal = WatchRefusal(*dev, g_nLoginType)) {
    ShowRefusal(refusal);
    return nullptr;
  }
  ResetIpcResolution(*dev);
  return dev;
}

void CDeviceListDlg::OnLButtonUp(QPoint globalPos) {
  // The drag ends (and the mouse is let go) whatever the tree shows now.
  EndDragImage();
  if (m_bSchemeView || m_pTree == nullptr) return;
  QTreeWidgetItem* item = m_pTree->currentItem();
  if (item == nullptr) return;
  if (IsMemoryOverLimit()) {
    ShowRefusal(kStrMemoryTooLarge);
    return;
  }
  if (IsRelayChannel(item)) {
    if (m_nHostCode == 0 && g_nCurModule == kModuleLive) OpenRelayChannel(item, QApplication::widgetAt(globalPos));
    m_pTree->clearSelection();
    return;
  }
  DevInfo* dev = DeviceToOpen(item);
  if (dev == nullptr) return;
  switch (ChooseDropTarget(m_nHostCode, g_nCurModule, dev->DevType)) {
    case DropTarget::kVideoWnd:
      if (QWidget* target = QApplication::widgetAt(globalPos)) m_pHost->DropDevOnVideoWnd(target, dev);
      break;
    case DropTarget::kTvWallDecoder:
      m_pHost->DropDevOnTVWall(globalPos.x(), globalPos.y(), dev);
      break;
    case DropTarget::kTvWallChannel:
      m_pHost->DropChannelOnTVWall(globalPos.x(), globalPos.y(), dev);
      break;
    case DropTarget::kMap:
      m_pHost->DropDevOnMap(globalPos.x(), globalPos.y(), dev);
      break;
    case DropTarget::kNone:
      break;
  }
  m_pTree->clearSelection();
}

void CDeviceListDlg::OnDblclkDevTree(QPoint pos) {
  if (g_nCurModule != kModuleLive || m_pTree == nullptr) return;
  QTreeWidgetItem* hit = m_pTree->itemAt(pos);
  SetMark(hit);
  if (hit == nullptr) return;
  if (IsMemoryOverLimit()) {
    ShowRefusal(kStrMemoryTooLarge);
    return;
  }
  // Only a channel opens: a multi-channel device's own item stands for no stream.
  if (hit->childCount() > 0) return;
  if (IsRelayChannel(hit)) {
    OpenRelayChannel(hit, nullptr);
    return;
  }
  if (DevInfo* dev = DeviceToOpen(hit)) m_pHost->OpenDevInFreeWnd(dev);
}

void CDeviceListDlg::OpenRelayChannel(QTreeWidgetItem* item, QWidget* dropWnd) {
  RelayDevice* dev = ItemRelayDevice(item);
  if (dev == nullptr) return;
  int grid = 0;
  if (dropWnd != nullptr) {
    if (!m_pHost->SelectDropPane(dropWnd, &grid)) return;
    m_pHost->StopSelectedPane(grid);
  }
  if (dev->nState == 0) {
    ShowRefusal(kStrDeviceOffline);
    return;
  }
  if (dev->nState == 2 || dev->nState == 4) m_pHost->CloseMainGridRelay(*dev);
  CRelayViewer::InviteChannel(*dev, m_pHost->MainGridShownCount());
  // The answer goes to the selected pane of the grid the channel was dropped on.
  m_pHost->SetExtGridRelayFlag(grid > 0 ? 1 : 0);
}

void CDeviceListDlg::OnRclickDevTree(QPoint pos, QPoint globalPos) {
  if (g_nCurModule != kModuleLive || m_pTree == nullptr) return;
  QTreeWidgetItem* hit = m_pTree->itemAt(pos);
  SetMark(hit);
  // A local group (or "Online"/"Offline") with items, or a relay server's
  // group of channels: in the online view a server's own item or a server's
  // "Online"/"Offline" item is refused, in the other views only the servers
  // directly under "VSS" play. "VSS" itself plays nothing.
  if (hit == nullptr || hit->parent() == nullptr || hit->childCount() == 0 || IsVss(hit)) return;
  if (IsUnderVss(hit)) {
    const QTreeWidgetItem* parent = hit->parent();
    const QTreeWidgetItem* greatGrandparent =
        parent->parent() != nullptr ? parent->parent()->parent() : nullptr;
    const bool refused = m_nGroupMode == kModeOnline ? IsVss(parent) || IsVss(greatGrandparent) : !IsVss(parent);
    if (refused) return;
  } else if (hit->parent() != Root()) {
    return;
  }
  m_hRClickItem = hit;
  m_pGroupMenu->popup(globalPos);
}

void CDeviceListDlg::OnAutoPlayGroup() {
  if (g_nCurModule != kModuleLive || m_pTree == nullptr) return;
  // Null when the tree lost items since the right click.
  QTreeWidgetItem* group = m_hRClickItem;
  m_hRClickItem = nullptr;
  if (group == nullptr) return;
  if (IsUnderVss(group)) {
    AutoPlayRelayItem(group);
    return;
  }
  std::vector<DevInfo*> records;
  for (int i = 0; i < group->childCount(); ++i) {
    QTreeWidgetItem* child = group->child(i);
    if (child->childCount() == 0) {
      records.push_back(ItemDevice(child));
      continue;
    }
    for (int c = 0; c < child->childCount(); ++c) records.push_back(ItemDevice(child->child(c)));
  }
  GroupPlayCalls calls;
  calls.memoryOverLimit = [] { return IsMemoryOverLimit() != FALSE; };
  calls.addWatch = [this](int grid, int pane, DevInfo* dev) { return m_pHost->AddWatchInGrid(grid, pane, dev); };
  if (const UINT refusal = RunGroupAutoPlay(records, m_pHost->GetLiveGridCount(), g_nLoginType, calls))
    ShowRefusal(refusal);
}

// Every pane stops, then each channel of the item (a channel of a device under
// it too) is asked for, pane after pane; offline channels are passed over.
void CDeviceListDlg::AutoPlayRelayItem(QTreeWidgetItem* item) {
  std::vector<RelayDevice*> channels;
  for (int i = 0; i < item->childCount(); ++i) {
    QTreeWidgetItem* child = item->child(i);
    if (IsRelayChannel(child)) channels.push_back(ItemRelayDevice(child));
    for (int c = 0; c < child->childCount(); ++c) {
      if (IsRelayChannel(child->child(c))) channels.push_back(ItemRelayDevice(child->child(c)));
    }
  }
  m_pHost->StopAllLivePanes();
  m_pHost->SetExtGridRelayFlag(0);
  for (RelayDevice* dev : channels) {
    if (IsMemoryOverLimit()) {
      ShowRefusal(kStrMemoryTooLarge);
      return;
    }
    if (dev->nState == 0) continue;
    CRelayViewer::InviteChannel(*dev, m_pHost->MainGridShownCount());
    QThread::msleep(kAutoPlayPauseMs);
  }
}

void CDeviceListDlg::OnBnClickedFind() {
  const QWidget* edit = GetDlgItem(IDC_EDIT_FIND);
  const auto* line = qobject_cast<const QLineEdit*>(edit);
  if (line == nullptr || line->text().isEmpty()) return;
  if (CDevTree::GetInstance()->FindItem(m_pTree, codepage::FromQString(line->text())) != 0)
    ShowRefusal(kStrSearchNothing);
  else if (m_pTree->currentItem() != nullptr)
    SetMark(m_pTree->currentItem());
}
