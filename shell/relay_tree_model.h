// The relay branch of the device trees ("VSS"): the devices of every logged-in
// relay server, nested by cascaded relay nodes, built without widgets.
#pragma once

#include <string>
#include <vector>

#include "shell/dev_tree_model.h"

// One device of a relay server as the trees see it.
struct RelayTreeEntry {
  int kind = 0;      // 0 video server, 3 cascaded relay node, 4 NVR, others single devices
  std::string ip;    // GBK texts
  std::string name;
  int parentId = 0;  // nesting of nodes; 0 at the top
  int id = 0;
  int state = 0;     // 0 offline, 1 online, 2 watched, 3 recording, 4 watched and recording
  void* data = nullptr;  // the relay device record
};

struct RelayTreeServer {
  std::string name;
  std::vector<RelayTreeEntry> devices;
};

// The items of one server's devices under the given parent id (cascaded nodes
// recurse with their own id). Offline devices are left out unless `showOffline`.
std::vector<TreeNode> BuildRelayFill(const std::vector<RelayTreeEntry>& devices, int parentId,
                                     const DevTreeView& view, bool showOffline);

// "VSS" with one item per server holding its devices; false when there is no server.
bool BuildVssBranch(const std::vector<RelayTreeServer>& servers, const DevTreeView& view, TreeNode& out);

// The same grouped by state: per server an "Online(n)" and an "Offline(n)" item.
bool BuildVssOnlineBranch(const std::vector<RelayTreeServer>& servers, const DevTreeView& view,
                          const DevTreeTexts& texts, TreeNode& out);
