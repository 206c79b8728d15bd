#include "shell/dev_tree.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "live/streams/gimbro_events.h"
#include "maker/gimbro/gimbro.h"
#include "maker/streva/streva_ctrl.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "relay/login/vss_info.h"
#include "shell/dev_registration.h"
#include "shell/dev_tree_images.h"
#include "shell/device_list_rules.h"
#include "shell/live_controls.h"
#include "shell/relay_tree_model.h"
#include "shell/view_state.h"

namespace {

constexpr int kDataRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;

// A string of the table, or the given text when the table lacks it.
std::string Text(UINT id, const char* fallback) {
  const CString text = LoadStringA(id);
  return text.empty() ? fallback : text;
}

DevTreeTexts Texts() {
  DevTreeTexts texts;
  texts.deviceList = Text(324, "Device List");
  texts.online = Text(325, "Online");
  texts.offline = Text(326, "Offline");
  return texts;
}

DevInfo* ItemDevice(const QTreeWidgetItem* item) {
  if (item->data(0, kKindRole).toInt() != static_cast<int>(DevTreeData::kDevice)) return nullptr;
  return static_cast<DevInfo*>(CDevTree::ItemData(item));
}

// Every item below (and with) `item`, depth first.
void ForEachItem(QTreeWidgetItem* item, const std::function<void(QTreeWidgetItem*)>& visit) {
  visit(item);
  for (int i = 0; i < item->childCount(); ++i) ForEachItem(item->child(i), visit);
}

void ForEachItem(QTreeWidget* tree, const std::function<void(QTreeWidgetItem*)>& visit) {
  for (int i = 0; i < tree->topLevelItemCount(); ++i) ForEachItem(tree->topLevelItem(i), visit);
}

// The logged-in relay servers and their devices as the trees see them.
std::vector<RelayTreeServer> RelayServers() {
  std::vector<RelayTreeServer> servers;
  for (Vemo2Node& node : g_lstVssInfo) {
    RelayTreeServer server;
    server.name = node.DevName;
    for (RelayDevice& dev : node.lstRelayDevice) {
      server.devices.push_back({dev.nType, dev.IPAddr, dev.DevName, dev.nParentId, dev.nId, dev.nState, &dev});
    }
    servers.push_back(std::move(server));
  }
  return servers;
}

RelayDevice* ItemRelayDevice(const QTreeWidgetItem* item) {
  if (CDevTree::ItemKind(item) != DevTreeData::kRelayDevice) return nullptr;
  return static_cast<RelayDevice*>(CDevTree::ItemData(item));
}

// The "VSS" item among the root's children, or null.
QTreeWidgetItem* VssItem(QTreeWidget* tree) {
  if (tree == nullptr || tree->topLevelItemCount() == 0) return nullptr;
  QTreeWidgetItem* root = tree->topLevelItem(0);
  for (int i = 0; i < root->childCount(); ++i) {
    if (root->child(i)->text(0) == QStringLiteral("VSS")) return root->child(i);
  }
  return nullptr;
}

}  // namespace

CDevTree* CDevTree::GetInstance() {
  static CDevTree* instance = new CDevTree();  // kept for the whole run
  return instance;
}

CDevTree::CDevTree() : m_images(MakeDevTreeImages()) {}

void CDevTree::CreateControls() {
  if (g_pGimbroCtrl == nullptr) g_pGimbroCtrl = new CGimbroCtrl();
  if (g_pGimbroEvents == nullptr) {
    g_pGimbroEvents = new CGimbroEvents();
    g_pGimbroCtrl->Advise(g_pGimbroEvents);
  }
  if (g_pStrevaCtrl == nullptr) g_pStrevaCtrl = new CStrevaCtrl();
}

long CDevTree::Init() {
  WriteLog(6, "CDevTree::Init(): Begin initialize... ... ");
  CreateControls();
  CsLock lock(&g_csAppData);
  CreateStreamObjects(g_lstDevInfo, g_pGimbroCtrl, g_pGimbroEvents, g_pStrevaCtrl);
  RegisterDevices(g_lstDevInfo, g_pGimbroCtrl, g_SyncTime);
  return 0;
}

void* CDevTree::ItemData(const QTreeWidgetItem* item) {
  return item == nullptr ? nullptr : item->data(0, kDataRole).value<void*>();
}

DevTreeData CDevTree::ItemKind(const QTreeWidgetItem* item) {
  return item == nullptr ? DevTreeData::kNone : static_cast<DevTreeData>(item->data(0, kKindRole).toInt());
}

int CDevTree::ItemImage(const QTreeWidgetItem* item) { return item->data(0, kImageRole).toInt(); }

void CDevTree::SetImage(QTreeWidgetItem* item, int image) {
  item->setData(0, kImageRole, image);
  item->setIcon(0, Image(image));
}

QTreeWidgetItem* CDevTree::AddItem(QTreeWidgetItem* parent, const TreeNode& node) {
  auto* item = new QTreeWidgetItem(parent);
  item->setText(0, codepage::ToQString(node.text));
  item->setData(0, kDataRole, QVariant::fromValue(node.data));
  item->setData(0, kKindRole, static_cast<int>(node.dataKind));
  SetImage(item, node.image);
  for (const TreeNode& child : node.children) AddItem(item, child);
  return item;
}

void CDevTree::Fill(QTreeWidget* tree, const TreeNode& root) {
  tree->clear();
  auto* rootItem = AddItem(nullptr, root);
  tree->addTopLevelItem(rootItem);
  tree->expandAll();
  tree->scrollToItem(rootItem, QAbstractItemView::PositionAtTop);
}

void CDevTree::InitDevTree(QTreeWidget* tree, BOOL showAllTypes) {
  if (tree == nullptr) return;
  const DevTreeView view = DevTreeView::Current(showAllTypes != 0);
  TreeNode root = BuildDevTree(g_lstDevInfo, g_lstDevGroupInfo, view, Texts());
  TreeNode vss;
  if (BuildVssBranch(RelayServers(), view, vss)) root.children.push_back(std::move(vss));
  Fill(tree, root);
}

void CDevTree::InitOnlineDevTree(QTreeWidget* tree, BOOL showAllTypes) {
  if (tree == nullptr) return;
  const DevTreeView view = DevTreeView::Current(showAllTypes != 0);
  const DevTreeTexts texts = Texts();
  TreeNode root = BuildOnlineDevTree(g_lstDevInfo, g_lstDevGroupInfo, view, texts);
  TreeNode vss;
  if (BuildVssOnlineBranch(RelayServers(), view, texts, vss)) root.children.push_back(std::move(vss));
  Fill(tree, root);
}

void CDevTree::UpdateVssIcons(QTreeWidget* tree) {
  QTreeWidgetItem* vss = VssItem(tree);
  if (vss == nullptr) return;
  ForEachItem(vss, [&](QTreeWidgetItem* item) {
    const RelayDevice* dev = ItemRelayDevice(item);
    if (item->childCount() != 0 || dev == nullptr) return;
    const int image = RelayStateImage(dev->nState);
    if (image >= 0) SetImage(item, image);
  });
}

void CDevTree::SetVssAlarmImage(QTreeWidget* tree, const CString& devName, const CString& mac, BOOL on) {
  QTreeWidgetItem* vss = VssItem(tree);
  if (vss == nullptr) return;
  bool done = false;
  ForEachItem(vss, [&](QTreeWidgetItem* item) {
    const RelayDevice* dev = ItemRelayDevice(item);
    if (done || item->childCount() != 0 || dev == nullptr) return;
    if (devName != dev->DevName || mac != dev->MACAddr) return;
    const int image = on ? static_cast<int>(kImgAlarm) : RelayStateImage(dev->nState);
    if (image >= 0) SetImage(item, image);
    done = true;
  });
}

void CDevTree::UpdateDevIcons(QTreeWidget* tree) {
  if (tree == nullptr) return;
  // In the configuration module (but for the record scheme page) video server records are not re-imaged.
  const bool skipDvs = g_nCurModule == kModuleCfg && g_nCfgPage != 2;
  ForEachItem(tree, [&](QTreeWidgetItem* item) {
    const DevInfo* shown = ItemDevice(item);
    if (item->childCount() != 0 || shown == nullptr) return;
    for (const DevInfo& dev : g_lstDevInfo) {
      if (strcmp(dev.DevName, shown->DevName) != 0 || strcmp(dev.DevId, shown->DevId) != 0) continue;
      if (skipDvs && dev.DevType == kDevTypeDvs) continue;
      const int image = DevStateImage(dev);
      const bool nvrItself = dev.DevType == kDevTypeNvr && dev.CurNVRChannel == 0;
      SetImage(item, nvrItself && image != kImgOnlineWatchedRecording ? kImgMultiChannel : image);
      break;
    }
  });
}

int CDevTree::UpdateDevItem(QTreeWidget* tree, const CString& devId) {
  if (tree == nullptr || tree->topLevelItemCount() == 0) return 0;
  QTreeWidgetItem* root = tree->topLevelItem(0);
  root->setExpanded(true);
  QTreeWidgetItem* found = nullptr;
  for (int g = 0; g < root->childCount() && found == nullptr; ++g) {
    QTreeWidgetItem* group = root->child(g);
    for (int d = 0; d < group->childCount() && found == nullptr; ++d) {
      const DevInfo* dev = ItemDevice(group->child(d));
      if (dev != nullptr && devId == dev->DevId) found = group->child(d);
    }
  }
  if (found == nullptr) return 0;
  const std::string ownName = ItemDevice(found)->DevName;
  QTreeWidgetItem* group = found->parent();
  const int index = group->indexOfChild(found);
  std::vector<DevInfo*> records;
  DevInfo* own = nullptr;
  for (DevInfo& dev : g_lstDevInfo) {
    if (devId != dev.DevId) continue;
    if (own == nullptr && ownName == dev.DevName) own = &dev;
    else records.push_back(&dev);
  }
  if (own == nullptr) {  // the device's own record is gone: the first record stands for it
    if (records.empty()) return 0;
    own = records.front();
    records.erase(records.begin());
  }
  // The new device item takes the old one's place before the channels join it,
  // whatever the order of the records in the list.
  delete found;
  TreeNode deviceNode;
  deviceNode.text = own->DevId;
  deviceNode.image = kImgMultiChannel;
  deviceNode.dataKind = DevTreeData::kDevice;
  deviceNode.data = own;
  for (DevInfo* dev : records) {
    TreeNode channel;
    channel.text = dev->DevName;
    channel.image = dev->nOnline == 1 ? kImgOnline : kImgOffline;
    channel.dataKind = DevTreeData::kDevice;
    channel.data = dev;
    deviceNode.children.push_back(std::move(channel));
  }
  QTreeWidgetItem* item = AddItem(nullptr, deviceNode);
  group->insertChild(index, item);
  item->setExpanded(true);
  return 0;
}

void CDevTree::SetAlarmImage(QTreeWidget* tree, const CString& devName, BOOL on) {
  if (tree == nullptr) return;
  ForEachItem(tree, [&](QTreeWidgetItem* item) {
    const DevInfo* dev = ItemDevice(item);
    if (item->childCount() != 0 || dev == nullptr || devName != dev->DevName) return;
    if (dev->DevType == kDevTypeIpc || g_bShowChannels) SetImage(item, AlarmBlinkImage(*dev, on != 0));
  });
}

void CDevTree::InitRecSchemeTree(QTreeWidget* tree) {
  if (tree == nullptr) return;
  TreeNode root;
  root.text = Text(327, "Record strategy");
  root.image = kImgMultiChannel;
  {
    CsLock lock(&g_csAppData);  // the recording thread walks the schemes under this lock
    for (RecSchemeInfo* scheme : g_lstRecSchemeInfo) {
      if (scheme == nullptr) continue;
      TreeNode schemeItem;
      schemeItem.text = FixedText(scheme->SchemeName);
      schemeItem.image = kImgGroup;
      schemeItem.data = scheme;
      for (DevInfo& dev : g_lstDevInfo) {
        const bool nvr = dev.DevType == kDevTypeNvr;
        if (nvr && dev.CurNVRChannel < 1) continue;
        const bool inScheme = std::any_of(scheme->lstDev.begin(), scheme->lstDev.end(), [&](const DevInfo& copy) {
          return strcmp(copy.DevName, dev.DevName) == 0 && strcmp(copy.DevId, dev.DevId) == 0;
        });
        if (!inScheme) continue;
        TreeNode channel;
        channel.text = nvr ? FixedText(dev.DevId) + "-" + FixedText(dev.DevName) : FixedText(dev.DevName);
        channel.image = DevStateImage(dev);
        channel.dataKind = DevTreeData::kDevice;
        channel.data = &dev;
        schemeItem.children.push_back(std::move(channel));
      }
      root.children.push_back(std::move(schemeItem));
    }
  }
  Fill(tree, root);
}

void CDevTree::InitUserTree(QTreeWidget* tree) {
  if (tree == nullptr) return;
  Fill(tree, BuildUserTree(g_lstUserInfo, g_lstGroupInfo, Text(322, "User List")));
}

void CDevTree::InitRoleTree(QTreeWidget* tree) {
  if (tree == nullptr) return;
  Fill(tree, BuildRoleTree(g_lstRoleInfo, Text(323, "Role List")));
}

void CDevTree::InitChannelCheckTree(QTreeWidget* tree) {
  if (tree == nullptr) return;
  Fill(tree, BuildChannelCheckTree(g_lstDevInfo, Texts().deviceList));
  ForEachItem(tree->topLevelItem(0), [](QTreeWidgetItem* item) {
    if (item->parent() != nullptr) item->setCheckState(0, Qt::Unchecked);
  });
}

int CDevTree::FindItem(QTreeWidget* tree, const CString& text) {
  if (tree == nullptr) return 1;
  tree->expandAll();
  std::vector<QTreeWidgetItem*> items;
  ForEachItem(tree, [&](QTreeWidgetItem* item) { items.push_back(item); });
  size_t start = 0;
  if (QTreeWidgetItem* selected = tree->currentItem()) {
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] == selected) start = i + 1;
  }
  for (size_t i = start; i < items.size(); ++i) {
    if (!SearchBoxMatch(codepage::FromQString(items[i]->text(0)), text)) continue;
    tree->setCurrentItem(items[i]);
    tree->scrollToItem(items[i]);
    return 0;
  }
  return 1;
}

void CDevTree::InitMapTree(QTreeWidget* tree, const std::vector<MapEntry>& maps) {
  if (tree == nullptr) return;
  Fill(tree, BuildMapTree(maps, Text(329, "Map List")));
}

QTreeWidgetItem* CDevTree::FindMapItem(QTreeWidget* tree, const CString& mapName) {
  if (tree == nullptr || tree->topLevelItemCount() == 0) return nullptr;
  const QString name = codepage::ToQString(mapName);
  QTreeWidgetItem* found = nullptr;
  ForEachItem(tree, [&](QTreeWidgetItem* item) {
    if (found == nullptr && item->text(0) == name) found = item;
  });
  return found != nullptr ? found : tree->topLevelItem(0);
}

void CDevTree::SetMapAlarmImage(QTreeWidget* tree, const std::vector<CString>& mapNames, BOOL on) {
  if (tree == nullptr || tree->topLevelItemCount() == 0) return;
  for (const CString& name : mapNames) {
    QTreeWidgetItem* item = FindMapItem(tree, name);
    if (item != tree->topLevelItem(0)) SetImage(item, on ? kImgAlarm : kImgMultiChannel);
  }
}

void CDevTree::AddMapItem(QTreeWidget* tree, const CString& mapName, const CString& parentName) {
  QTreeWidgetItem* parent = FindMapItem(tree, parentName);
  if (parent == nullptr) return;  // no tree, or a tree without its root
  TreeNode node;
  node.text = mapName;
  node.image = kImgMultiChannel;
  QTreeWidgetItem* item = AddItem(parent, node);
  tree->expandAll();
  tree->scrollToItem(item);
  tree->setCurrentItem(item);
}
