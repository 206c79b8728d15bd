// The content of the device trees, without widgets: which devices, channels
// and groups become which items, their texts, images and order, and the state
// image of a device. The window class (CDevTree) turns a TreeNode into items.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "core/dev_info.h"
#include "core/dev_state_image.h"
#include "core/user_info.h"


// Device types (DevType).
enum : int { kDevTypeDvs = 0, kDevTypeIpc = 1, kDevTypeDecoder = 2, kDevTypeVss = 3 };

// Image of a channel item during an alarm blink: 11 while on, else its state image.
int AlarmBlinkImage(const DevInfo& dev, bool on);

// The key text that names a device: its name for a camera, "IP:name" for an NVR channel.
std::string DeviceKeyText(const DevInfo& dev);
// Relay devices: "MAC:name", or "MAC:IP:name" for a relay NVR.
std::string RelayDeviceKeyText(const std::string& mac, const std::string& name);
std::string RelayNvrKeyText(const std::string& mac, const std::string& ip, const std::string& name);

// The last 7 characters of a video server channel's name ("Stream1"), all of a shorter one.
std::string StreamChannelText(const char* devName);

enum class DevTreeData { kNone, kDevice, kGroup, kUser, kUserGroup, kRole, kRelayDevice };

struct TreeNode {
  std::string text;  // GBK
  int image = 0;
  DevTreeData dataKind = DevTreeData::kNone;
  void* data = nullptr;  // the element of a global list that the item shows (kind in dataKind)
  std::vector<TreeNode> children;
};

// What the window shows, which decides the channels and device types a tree holds.
struct DevTreeView {
  bool showAllTypes = false;
  bool showChannels = true;  // g_bShowChannels
  int curModule = 0;         // g_nCurModule
  int cfgPage = 0;           // g_nCfgPage
  // The view of the program's globals.
  static DevTreeView Current(bool showAllTypes);
};

// The texts of the root and the online items (GBK), from the string table.
struct DevTreeTexts {
  std::string deviceList = "Device List";
  std::string online = "Online";
  std::string offline = "Offline";
};

// Tree by the original groups: the root with one item per group, in group order.
// The root stays alone when both lists are empty.
TreeNode BuildDevTree(std::list<DevInfo>& devices, std::list<DevGroupInfo>& groups, const DevTreeView& view,
                      const DevTreeTexts& texts);

// Tree grouped by the online word: root, "Online(n)", "Offline(n)".
TreeNode BuildOnlineDevTree(std::list<DevInfo>& devices, const std::list<DevGroupInfo>& groups,
                            const DevTreeView& view, const DevTreeTexts& texts);

// The check-box picker of channels: one item per record under the root, without
// decoders and NVRs' own records; an NVR channel reads "DevId-DevName".
TreeNode BuildChannelCheckTree(std::list<DevInfo>& devices, const std::string& rootText);

// User groups with their users (by group name); the root alone when both lists are empty.
TreeNode BuildUserTree(std::list<UserInfo>& users, std::list<GroupInfo>& groups, const std::string& rootText);
// One item per role.
TreeNode BuildRoleTree(std::list<RoleInfo>& roles, const std::string& rootText);

// One map of the e-map list: its name and its parent map's name.
struct MapEntry {
  std::string name;
  std::string parent;
};

// The map list tree: root text `rootText`, each map under the item of its
// parent map (found by name anywhere in the tree), else under the root.
TreeNode BuildMapTree(const std::vector<MapEntry>& maps, const std::string& rootText);
