#include "shell/relay_tree_model.h"

#include "shell/view_state.h"

namespace {

constexpr int kKindDvs = 0;
constexpr int kKindNode = 3;
constexpr int kKindNvr = 4;

bool ShowsChannels(const DevTreeView& view) { return view.showChannels || view.curModule == kModuleWall; }

TreeNode Item(const std::string& text, int image) {
  TreeNode node;
  node.text = text;
  node.image = image;
  return node;
}

TreeNode ChannelItem(const RelayTreeEntry& entry, const std::string& text) {
  TreeNode node = Item(text, RelayStateImage(entry.state));
  node.dataKind = DevTreeData::kRelayDevice;
  node.data = entry.data;
  return node;
}

std::string CountText(const std::string& text, int count) { return text + "(" + std::to_string(count) + ")"; }

}  // namespace

std::vector<TreeNode> BuildRelayFill(const std::vector<RelayTreeEntry>& devices, int parentId,
                                     const DevTreeView& view, bool showOffline) {
  std::vector<TreeNode> items;
  std::string lastKey;
  size_t device = 0;  // index of the current device item
  bool haveDevice = false;
  for (const RelayTreeEntry& entry : devices) {
    if (entry.parentId != parentId) continue;
    const bool shown = RelayStateImage(entry.state) >= 0 && (entry.state != 0 || showOffline);
    switch (entry.kind) {
      case kKindNode: {
        TreeNode node = Item(entry.name, kImgGroup);
        node.children = BuildRelayFill(devices, entry.id, view, showOffline);
        items.push_back(std::move(node));
        break;
      }
      case kKindDvs:
        if (!haveDevice || entry.ip != lastKey) {
          lastKey = entry.ip;
          haveDevice = true;
          device = items.size();
          items.push_back(Item(entry.ip, kImgMultiChannel));
        }
        if (ShowsChannels(view) && shown) {
          items[device].children.push_back(ChannelItem(entry, StreamChannelText(entry.name.c_str())));
        }
        break;
      case kKindNvr:
        if (!haveDevice || entry.ip != lastKey) {
          lastKey = entry.ip;
          haveDevice = true;
          device = items.size();
          items.push_back(Item(entry.name, kImgMultiChannel));
        } else if (ShowsChannels(view) && RelayStateImage(entry.state) >= 0) {
          items[device].children.push_back(ChannelItem(entry, entry.name));
        }
        break;
      default:
        if (shown) items.push_back(ChannelItem(entry, entry.name));
        break;
    }
  }
  return items;
}

bool BuildVssBranch(const std::vector<RelayTreeServer>& servers, const DevTreeView& view, TreeNode& out) {
  if (servers.empty()) return false;
  out = Item("VSS", kImgGroup);
  for (const RelayTreeServer& server : servers) {
    TreeNode item = Item(server.name, kImgGroup);
    item.children = BuildRelayFill(server.devices, 0, view, true);
    out.children.push_back(std::move(item));
  }
  return true;
}

bool BuildVssOnlineBranch(const std::vector<RelayTreeServer>& servers, const DevTreeView& view,
                          const DevTreeTexts& texts, TreeNode& out) {
  if (servers.empty()) return false;
  out = Item("VSS", kImgGroup);
  for (const RelayTreeServer& server : servers) {
    TreeNode online = Item(texts.online, kImgGroup);
    TreeNode offline = Item(texts.offline, kImgGroup);
    int onlineCount = 0, offlineCount = 0;
    std::string lastKey;
    TreeNode* deviceParent = nullptr;  // the "Online" or "Offline" item holding the current device
    size_t device = 0;
    for (const RelayTreeEntry& entry : server.devices) {
      const bool isNvrChannel = entry.kind == kKindNvr && entry.name.find("Channel") != std::string::npos;
      if (!isNvrChannel) (entry.state == 0 ? offlineCount : onlineCount)++;
      if (entry.kind == kKindNvr || entry.kind == kKindDvs) {
        if (deviceParent == nullptr || entry.ip != lastKey) {
          lastKey = entry.ip;
          deviceParent = (entry.kind == kKindNvr && entry.state == 0) ? &offline : &online;
          device = deviceParent->children.size();
          deviceParent->children.push_back(Item(entry.ip, kImgMultiChannel));
          if (entry.kind == kKindNvr) continue;  // the NVR's own record
        }
        if (deviceParent == nullptr || !ShowsChannels(view) || RelayStateImage(entry.state) < 0) continue;
        if (entry.kind == kKindDvs && entry.state == 0) continue;
        const std::string text = entry.kind == kKindDvs ? StreamChannelText(entry.name.c_str()) : entry.name;
        deviceParent->children[device].children.push_back(ChannelItem(entry, text));
        continue;
      }
      if (entry.state == 0) {
        TreeNode item = ChannelItem(entry, entry.name);
        item.image = kImgOffline;
        offline.children.push_back(std::move(item));
      } else if (RelayStateImage(entry.state) >= 0) {
        online.children.push_back(ChannelItem(entry, entry.name));
      }
    }
    online.text = CountText(texts.online, onlineCount);
    offline.text = CountText(texts.offline, offlineCount);
    TreeNode item = Item(server.name, kImgGroup);
    item.children.push_back(std::move(online));
    item.children.push_back(std::move(offline));
    out.children.push_back(std::move(item));
  }
  return true;
}
