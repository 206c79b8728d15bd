#include "harlen/pages/channels/channel_tree.h"

#include <QTreeWidget>

#include "harlen/link/sections/channel_cfg.h"

void SetUpChannelTree(QTreeWidget* tree, QObject* context, std::function<void()> onSelect) {
  if (tree == nullptr) return;
  tree->setHeaderHidden(true);
  tree->setRootIsDecorated(false);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  // The selection, not the current item: a mouse press makes the clicked item
  // current before it selects it, and the page must see the channel selected.
  QObject::connect(tree, &QTreeWidget::itemSelectionChanged, context, [onSelect = std::move(onSelect)] { onSelect(); });
}

void FillChannelTree(QTreeWidget* tree, int count) {
  if (tree == nullptr) return;
  {
    const QSignalBlocker quiet(tree);
    tree->clear();
  }
  for (int i = 0; i < count; ++i) {
    auto* item = new QTreeWidgetItem(tree);
    item->setText(0, QStringLiteral("CAM%1       ").arg(i + 1));
    item->setData(0, Qt::UserRole, i);
  }
  if (tree->topLevelItemCount() > 0) tree->setCurrentItem(tree->topLevelItem(0));
}

int SelectedChannel(const QTreeWidget* tree) {
  if (tree == nullptr) return -1;
  const QList<QTreeWidgetItem*> selected = tree->selectedItems();
  if (selected.isEmpty()) return -1;
  const QTreeWidgetItem* item = selected.first();
  const int channel = item->data(0, Qt::UserRole).toInt();
  return channel >= 0 && channel < kNvrChannels ? channel : -1;
}
