// The channel trees of the channel, video parameter and record parameter
// pages: one item "CAM<n>" (and seven blanks) per channel, the item's data
// its channel index.
#pragma once

#include <functional>

class QObject;
class QTreeWidget;

// A flat list without header, one item selected at a time; `onSelect` runs
// when the selection changed, by mouse, keys or the program.
void SetUpChannelTree(QTreeWidget* tree, QObject* context, std::function<void()> onSelect);
// Empties the tree (so a second fill lists each channel once), adds channels
// 1 to `count` and chooses the first, which shows it.
void FillChannelTree(QTreeWidget* tree, int count);
// The channel of the item selected in the tree: -1 when none (or not a channel 0 to 15).
int SelectedChannel(const QTreeWidget* tree);
