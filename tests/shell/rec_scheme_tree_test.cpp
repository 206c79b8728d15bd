#include <gtest/gtest.h>

#include <QTreeWidget>

#include "core/dev_info_store.h"
#include "core/rec_scheme_store.h"
#include "shell/dev_tree.h"
#include "tests/shell/tree_texts.h"
#include "tests/shell/dev_records.h"

namespace {

RecSchemeInfo* Scheme(const char* name, std::initializer_list<DevInfo> devices) {
  auto* scheme = new RecSchemeInfo();
  CopyFixedText(scheme->SchemeName, name);
  for (const DevInfo& dev : devices) scheme->lstDev.push_back(dev);
  return scheme;
}

class RecSchemeTreeTest : public ::testing::Test {
 protected:
  void TearDown() override {
    FreeRecSchemeList();
    g_lstDevInfo.clear();
  }
};

}  // namespace

TEST_F(RecSchemeTreeTest, ShowsEachSchemeWithTheChannelsOfTheDeviceListItRecords) {
  g_lstDevInfo = {Dev("cam", "cam", 1, "g", 1), Dev("nvr", "nvr", 4, "g", 1, 0), Dev("nvr", "Channel1", 4, "g", 1, 1),
                  Dev("nvr", "Channel2", 4, "g", 0, 2), Dev("other", "cam", 1, "g", 0)};
  g_lstDevInfo.front().bRecording = 1;
  const DevInfo& cam = g_lstDevInfo.front();
  const DevInfo& nvr = *std::next(g_lstDevInfo.begin());
  const DevInfo& channel1 = *std::next(g_lstDevInfo.begin(), 2);
  g_lstRecSchemeInfo = {Scheme("Default Strategy", {cam, nvr, channel1}), Scheme("Empty", {})};

  QTreeWidget tree;
  CDevTree::GetInstance()->InitRecSchemeTree(&tree);
  ASSERT_EQ(tree.topLevelItemCount(), 1);
  // The NVR's own record is left out; a camera of the same name under another DevId is not the scheme's.
  EXPECT_EQ(TreeTexts(tree.topLevelItem(0), true), "Record strategy/0[Default Strategy/1[cam/6 nvr-Channel1/3] Empty/1]");
  QTreeWidgetItem* schemeItem = tree.topLevelItem(0)->child(0);
  EXPECT_EQ(CDevTree::ItemData(schemeItem), g_lstRecSchemeInfo.front());
  EXPECT_EQ(CDevTree::ItemData(schemeItem->child(1)), &channel1);  // the list's record, not the scheme's copy
  EXPECT_TRUE(schemeItem->isExpanded());
}

TEST_F(RecSchemeTreeTest, WithoutSchemesOnlyTheRootAndANullTreeIsIgnored) {
  QTreeWidget tree;
  CDevTree::GetInstance()->InitRecSchemeTree(&tree);
  EXPECT_EQ(TreeTexts(tree.topLevelItem(0), true), "Record strategy/0");
  CDevTree::GetInstance()->InitRecSchemeTree(nullptr);
}
