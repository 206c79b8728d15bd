// A tree as one line of text: "root[child[grandchild] child]", each item
// optionally followed by "/<image index>".
#pragma once

#include <QTreeWidgetItem>

#include "shell/dev_tree.h"

inline QString TreeTexts(const QTreeWidgetItem* item, bool withImages) {
  QString out = item->text(0);
  if (withImages) out += "/" + QString::number(CDevTree::ItemImage(item));
  if (item->childCount() == 0) return out;
  out += "[";
  for (int i = 0; i < item->childCount(); ++i) out += (i ? " " : "") + TreeTexts(item->child(i), withImages);
  return out + "]";
}
