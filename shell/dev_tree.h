// CDevTree: the single object behind every device tree of the client. At
// start-up it creates the shared messaging and pull controls, the stream
// objects and the registrations of the devices (Init); it fills the tree
// controls of the panels and pickers from the global device lists. Every tree
// shares one image list; an item's data (ItemData) points to the list element
// that it shows.
#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "platform/win_types.h"
#include "shell/dev_tree_model.h"

class CDevTree {
 public:
  // The single instance, created on first use and kept for the whole run.
  static CDevTree* GetInstance();
  virtual ~CDevTree() = default;

  // Creates the shared messaging control with its event sink and the pull
  // control, each when missing.
  static void CreateControls();
  // Creates the controls when missing, then gives every device its stream
  // objects and registers it with the messaging control. Returns 0.
  long Init();

  // Tree by the original groups / by the online state. A null tree does nothing.
  void InitDevTree(QTreeWidget* tree, BOOL showAllTypes);
  void InitOnlineDevTree(QTreeWidget* tree, BOOL showAllTypes);
  // Re-images every device and channel item from its record.
  void UpdateDevIcons(QTreeWidget* tree);
  // Rebuilds the item of one multi-channel device (by DevId) in its place with
  // the channel records the list holds now. Returns 0.
  int UpdateDevItem(QTreeWidget* tree, const CString& devId);
  // Relay channels under "VSS": images from their state words; the alarm
  // blink of the first channel with this name and MAC text.
  void UpdateVssIcons(QTreeWidget* tree);
  void SetVssAlarmImage(QTreeWidget* tree, const CString& devName, const CString& mac, BOOL on);
  // Alarm blink of the channels named `devName`: image 11 while on, else the state image.
  void SetAlarmImage(QTreeWidget* tree, const CString& devName, BOOL on);

  // The record schemes, each with the channels of the device list that it
  // records (an NVR's own record left out); an item's data is the scheme or the device record.
  void InitRecSchemeTree(QTreeWidget* tree);
  // User groups with their users; roles.
  void InitUserTree(QTreeWidget* tree);
  void InitRoleTree(QTreeWidget* tree);
  // One check-box item per channel record (broadcast and record-schedule pickers).
  void InitChannelCheckTree(QTreeWidget* tree);
  // Selects the next item after the selected one (from the top when none) whose
  // text the search box's pattern matches (SearchBoxMatch): 0 when found,
  // non-zero when the walk ends without one.
  int FindItem(QTreeWidget* tree, const CString& text);

  // Map list tree from the e-map's maps; FindMapItem returns the item of a map, or the root.
  void InitMapTree(QTreeWidget* tree, const std::vector<MapEntry>& maps);
  QTreeWidgetItem* FindMapItem(QTreeWidget* tree, const CString& mapName);
  // Alarm blink of the maps that hold the device (their names given): image 11 while on, else 0.
  void SetMapAlarmImage(QTreeWidget* tree, const std::vector<CString>& mapNames, BOOL on);
  // Adds one map under its parent map's item (the root when none), expands,
  // scrolls to it and selects it.
  void AddMapItem(QTreeWidget* tree, const CString& mapName, const CString& parentName);

  // The item's list element (DevInfo*, DevGroupInfo*, UserInfo*, GroupInfo*, RoleInfo* or RecSchemeInfo*),
  // null for items without one.
  static void* ItemData(const QTreeWidgetItem* item);
  // What the item's data is (kNone for items without data).
  static DevTreeData ItemKind(const QTreeWidgetItem* item);
  // The index of the item's image in the image list.
  static int ItemImage(const QTreeWidgetItem* item);
  const QIcon& Image(int index) const { return m_images[static_cast<size_t>(index)]; }

 private:
  CDevTree();
  void Fill(QTreeWidget* tree, const TreeNode& root);
  QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const TreeNode& node);
  void SetImage(QTreeWidgetItem* item, int image);

  std::vector<QIcon> m_images;  // the tree image list
};
