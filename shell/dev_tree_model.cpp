#include "shell/dev_tree_model.h"

#include <cstring>

#include "core/client_log.h"
#include "shell/view_state.h"

namespace {

bool IsOnline(const DevInfo& dev) { return dev.nOnline == 1; }

// Video server channels appear in live video, record query, alarm info and the TV wall.
bool ShowsChannels(const DevTreeView& view) { return view.showChannels || view.curModule == kModuleWall; }

// Decoders and relay server entries appear only where the caller asks for every
// type, on the configuration manager's devices and maintenance pages, and on the TV wall.
bool ShowsOtherTypes(const DevTreeView& view) {
  return view.showAllTypes || (view.curModule == kModuleCfg && (view.cfgPage == 0 || view.cfgPage == 4)) ||
         view.curModule == kModuleWall;
}

TreeNode Item(const std::string& text, int image) {
  TreeNode node;
  node.text = text;
  node.image = image;
  return node;
}

TreeNode DeviceItem(DevInfo& dev, const std::string& text, int image) {
  TreeNode node = Item(text, image);
  node.dataKind = DevTreeData::kDevice;
  node.data = &dev;
  return node;
}

std::string CountText(const std::string& text, int count) { return text + "(" + std::to_string(count) + ")"; }

TreeNode* FindByText(TreeNode& node, const std::string& text) {
  if (node.text == text) return &node;
  for (TreeNode& child : node.children)
    if (TreeNode* found = FindByText(child, text)) return found;
  return nullptr;
}

}  // namespace

DevTreeView DevTreeView::Current(bool showAllTypes) {
  DevTreeView view;
  view.showAllTypes = showAllTypes;
  view.showChannels = g_bShowChannels != 0;
  view.curModule = g_nCurModule;
  view.cfgPage = g_nCfgPage;
  return view;
}

int AlarmBlinkImage(const DevInfo& dev, bool on) { return on ? kImgAlarm : DevStateImage(dev); }

std::string DeviceKeyText(const DevInfo& dev) {
  if (dev.DevType == kDevTypeNvr && dev.CurNVRChannel >= 1) return std::string(dev.IPAddr) + ":" + dev.DevName;
  return dev.DevName;
}

std::string RelayDeviceKeyText(const std::string& mac, const std::string& name) { return mac + ":" + name; }

std::string RelayNvrKeyText(const std::string& mac, const std::string& ip, const std::string& name) {
  return mac + ":" + ip + ":" + name;
}

std::string StreamChannelText(const char* devName) {
  const size_t length = strnlen(devName, sizeof(DevInfo::DevName));
  return length <= 7 ? std::string(devName, length) : std::string(devName + length - 7, 7);
}

TreeNode BuildDevTree(std::list<DevInfo>& devices, std::list<DevGroupInfo>& groups, const DevTreeView& view,
                      const DevTreeTexts& texts) {
  TreeNode root = Item(texts.deviceList, kImgMultiChannel);
  if (devices.empty() && groups.empty()) {
    WriteLog(6, "CDevTree::InitDevTree(): g_lstDevInfo.size() == 0 && g_lstDevGroupInfo.size() == 0, "
                "init dev tree refused.");
    return root;
  }
  // The device key lives for the whole fill: channels of a multi-channel device
  // filed in a later group still hang under the device item of the first group.
  std::string lastKey;
  size_t deviceGroup = 0, deviceIndex = 0;
  bool haveDevice = false;
  auto channelParent = [&](size_t group) -> TreeNode& {
    TreeNode& owner = root.children[haveDevice ? deviceGroup : group];
    return haveDevice ? owner.children[deviceIndex] : owner;
  };
  for (DevGroupInfo& group : groups) {
    TreeNode groupItem = Item(group.GroupName, kImgGroup);
    groupItem.dataKind = DevTreeData::kGroup;
    groupItem.data = &group;
    root.children.push_back(std::move(groupItem));
    const size_t groupIndex = root.children.size() - 1;
    for (DevInfo& dev : devices) {
      if (strcmp(dev.GroupName, group.GroupName) != 0) continue;
      TreeNode& groupNode = root.children[groupIndex];
      if (dev.DevType == kDevTypeNvr || dev.DevType == kDevTypeDvs) {
        if (lastKey != dev.DevId) {
          lastKey = dev.DevId;
          groupNode.children.push_back(DeviceItem(dev, dev.DevId, kImgMultiChannel));
          haveDevice = true;
          deviceGroup = groupIndex;
          deviceIndex = groupNode.children.size() - 1;
        }
        if (dev.DevType == kDevTypeNvr && dev.CurNVRChannel >= 1)
          channelParent(groupIndex).children.push_back(DeviceItem(dev, dev.DevName, DevStateImage(dev)));
        else if (dev.DevType == kDevTypeDvs && ShowsChannels(view))
          channelParent(groupIndex).children.push_back(
              DeviceItem(dev, StreamChannelText(dev.DevName), DevStateImage(dev)));
      } else if (dev.DevType == kDevTypeIpc || ShowsOtherTypes(view)) {
        groupNode.children.push_back(DeviceItem(dev, dev.DevName, DevStateImage(dev)));
      }
    }
  }
  // Relay servers (the "VSS" branch) join this tree once the relay client keeps its list.
  return root;
}

TreeNode BuildOnlineDevTree(std::list<DevInfo>& devices, const std::list<DevGroupInfo>& groups,
                            const DevTreeView& view, const DevTreeTexts& texts) {
  TreeNode root = Item(texts.deviceList, kImgMultiChannel);
  root.children.push_back(Item(texts.online, kImgGroup));
  root.children.push_back(Item(texts.offline, kImgGroup));
  if (devices.empty() && groups.empty()) return root;
  int counts[2] = {0, 0};  // online, offline
  std::string lastKey;
  int deviceBucket = -1;
  size_t deviceIndex = 0;
  for (DevInfo& dev : devices) {
    const int bucket = IsOnline(dev) ? 0 : 1;
    std::vector<TreeNode>& chosen = root.children[bucket].children;
    TreeNode* device = deviceBucket < 0 ? nullptr : &root.children[deviceBucket].children[deviceIndex];
    if (dev.DevType == kDevTypeNvr) {
      if (strstr(dev.DevName, "Channel") == nullptr) {  // the NVR itself
        ++counts[bucket];
        chosen.push_back(DeviceItem(dev, dev.DevId, kImgMultiChannel));
        deviceBucket = bucket;
        deviceIndex = chosen.size() - 1;
      } else {  // a channel: not counted; it carries its record so the panel can open and re-image it
        TreeNode& parent = device != nullptr ? *device : root.children[bucket];
        parent.children.push_back(DeviceItem(dev, dev.DevName, IsOnline(dev) ? kImgOnline : kImgOffline));
      }
    } else if (dev.DevType == kDevTypeDvs) {
      ++counts[bucket];
      if (lastKey != dev.DevId) {
        lastKey = dev.DevId;
        chosen.push_back(DeviceItem(dev, dev.DevId, kImgMultiChannel));
        deviceBucket = bucket;
        deviceIndex = chosen.size() - 1;
        device = &chosen.back();
      }
      if (ShowsChannels(view))
        device->children.push_back(DeviceItem(dev, StreamChannelText(dev.DevName), DevStateImage(dev)));
    } else if (dev.DevType == kDevTypeIpc || ShowsOtherTypes(view)) {
      ++counts[bucket];
      chosen.push_back(DeviceItem(dev, dev.DevName, IsOnline(dev) ? DevStateImage(dev) : kImgOffline));
    }
  }
  root.children[0].text = CountText(texts.online, counts[0]);
  root.children[1].text = CountText(texts.offline, counts[1]);
  return root;
}

TreeNode BuildChannelCheckTree(std::list<DevInfo>& devices, const std::string& rootText) {
  TreeNode root = Item(rootText, kImgMultiChannel);
  for (DevInfo& dev : devices) {
    if (dev.DevType == kDevTypeDecoder) continue;
    const bool nvr = dev.DevType == kDevTypeNvr;
    if (nvr && dev.CurNVRChannel < 1) continue;
    const std::string text = nvr ? std::string(dev.DevId) + "-" + dev.DevName : std::string(dev.DevName);
    root.children.push_back(DeviceItem(dev, text, DevStateImage(dev)));
  }
  return root;
}

TreeNode BuildUserTree(std::list<UserInfo>& users, std::list<GroupInfo>& groups, const std::string& rootText) {
  TreeNode root = Item(rootText, kImgMultiChannel);
  for (GroupInfo& group : groups) {
    TreeNode groupItem = Item(group.GroupName, kImgGroup);
    groupItem.dataKind = DevTreeData::kUserGroup;
    groupItem.data = &group;
    for (UserInfo& user : users) {
      if (strcmp(user.GroupName, group.GroupName) != 0) continue;
      TreeNode userItem = Item(user.UserName, kImgMultiChannel);
      userItem.dataKind = DevTreeData::kUser;
      userItem.data = &user;
      groupItem.children.push_back(std::move(userItem));
    }
    root.children.push_back(std::move(groupItem));
  }
  return root;
}

TreeNode BuildRoleTree(std::list<RoleInfo>& roles, const std::string& rootText) {
  TreeNode root = Item(rootText, kImgMultiChannel);
  for (RoleInfo& role : roles) {
    TreeNode roleItem = Item(role.RoleName, kImgMultiChannel);
    roleItem.dataKind = DevTreeData::kRole;
    roleItem.data = &role;
    root.children.push_back(std::move(roleItem));
  }
  return root;
}

TreeNode BuildMapTree(const std::vector<MapEntry>& maps, const std::string& rootText) {
  TreeNode root = Item(rootText, kImgMultiChannel);
  for (const MapEntry& map : maps) {
    TreeNode* parent = FindByText(root, map.parent);
    (parent != nullptr ? parent : &root)->children.push_back(Item(map.name, kImgMultiChannel));
  }
  return root;
}
