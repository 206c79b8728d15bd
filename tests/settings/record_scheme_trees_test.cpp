// The two channel trees of the record-scheme page.
#include <QCoreApplication>
#include <QTest>
#include <QTreeWidget>

#include "core/dev_state_image.h"
#include "record_page_fixture.h"
#include "platform/post_message.h"
#include "records/recording/record_messages.h"

namespace {

class SchemeTreesTest : public RecordPageTest {
 public:
  void SetUp() override {
    RecordPageTest::SetUp();
    CreatePage();
    AddDevice("cam", "cam");
    AddDevice("decoder", "decoder", 2);
    AddDevice("nvr", "NVR1", 4, 0);   // the NVR's own record
    AddDevice("ch1", "NVR1", 4, 1);
    AddDevice("ch2", "NVR1", 4, 2);
    AddDevice("ch1", "NVR2", 4, 1);   // another NVR's channel of the same name
    page_.InitDevTree();
  }
  static int Image(QTreeWidgetItem* item) { return item->data(0, Qt::UserRole + 2).toInt(); }
  QTreeWidgetItem* Child(int treeId, int i) { return TreeRoot(treeId)->child(i); }
};

}  // namespace

TEST_F(SchemeTreesTest, TheTreeOfAllChannelsListsTheRecordableChannels) {
  EXPECT_EQ(TreeRoot(CSettingRecordDlg::IDC_DEV_TREE)->text(0).toStdString(), "Device List");
  EXPECT_EQ(TreeTexts(CSettingRecordDlg::IDC_DEV_TREE),
            (std::vector<std::string>{"cam", "NVR1-ch1", "NVR1-ch2", "NVR2-ch1"}));
  EXPECT_TRUE(TreeRoot(CSettingRecordDlg::IDC_DEV_TREE)->isExpanded());
  EXPECT_EQ(TreeTexts(CSettingRecordDlg::IDC_SCHEME_TREE), std::vector<std::string>{});
}

// Ticking the root ticks every channel; Add copies those not yet in the
// scheme tree, one per channel name; Remove takes the ticked ones out of the
// tree only (the scheme changes with Modify).
TEST_F(SchemeTreesTest, AddAndRemoveMoveTickedChannels) {
  QTreeWidget* all = Control<QTreeWidget>(CSettingRecordDlg::IDC_DEV_TREE);
  QTreeWidgetItem* root = TreeRoot(CSettingRecordDlg::IDC_DEV_TREE);
  page_.OnTreeClick(all, root);  // a click on the root's text: the children take the opposite of its state
  for (int i = 0; i < root->childCount(); ++i) EXPECT_EQ(root->child(i)->checkState(0), Qt::Checked);
  EXPECT_EQ(all->currentItem(), root);
  page_.OnBnClickedAddDev();
  EXPECT_EQ(TreeTexts(CSettingRecordDlg::IDC_SCHEME_TREE), (std::vector<std::string>{"cam", "NVR1-ch1", "NVR1-ch2"}));
  page_.OnBnClickedAddDev();  // nothing new
  EXPECT_EQ(TreeTexts(CSettingRecordDlg::IDC_SCHEME_TREE).size(), 3u);
  EXPECT_EQ(root->child(0)->checkState(0), Qt::Checked);  // the ticks stay

  page_.OnBnClickedRemoveDev();  // nothing ticked in the scheme tree
  EXPECT_EQ(TreeTexts(CSettingRecordDlg::IDC_SCHEME_TREE).size(), 3u);
  RecSchemeInfo* scheme = AddScheme("Plan", 8, Hms(0, 0, 0), Hms(1, 0, 0), {&g_lstDevInfo.front()});
  page_.ShowSchemeInfo(scheme);
  EXPECT_EQ(TreeTexts(CSettingRecordDlg::IDC_SCHEME_TREE), std::vector<std::string>{"cam"});
  Tick(CSettingRecordDlg::IDC_SCHEME_TREE, "cam");
  page_.OnBnClickedRemoveDev();
  EXPECT_TRUE(TreeTexts(CSettingRecordDlg::IDC_SCHEME_TREE).empty());
  EXPECT_EQ(scheme->lstDev.size(), 1u);
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(message_, "Modify record strategy success!");
  EXPECT_TRUE(scheme->lstDev.empty());

  // A click on the box of a ticked root unticks every child (the press comes
  // first, then the box toggles the root itself).
  root->setCheckState(0, Qt::Checked);
  page_.OnTreeClick(all, root);
  for (int i = 0; i < root->childCount(); ++i) EXPECT_EQ(root->child(i)->checkState(0), Qt::Unchecked);
}

// The scheme tree shows each channel of the scheme that the device list still
// holds; Modify then keeps only those.
TEST_F(SchemeTreesTest, TheSchemeTreeShowsTheSchemesChannelsThatStillExist) {
  DevInfo gone;
  CopyFixedText(gone.DevName, "gone");
  CopyFixedText(gone.DevId, "gone");
  DevInfo otherCh1;
  CopyFixedText(otherCh1.DevName, "ch1");
  CopyFixedText(otherCh1.DevId, "NVR2");
  RecSchemeInfo* scheme = AddScheme("Plan", 8, Hms(0, 0, 0), Hms(1, 0, 0), {&gone, &otherCh1});
  page_.ShowSchemeInfo(scheme);
  EXPECT_EQ(TreeTexts(CSettingRecordDlg::IDC_SCHEME_TREE), std::vector<std::string>{"NVR2-ch1"});
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  ASSERT_EQ(scheme->lstDev.size(), 1u);
  EXPECT_STREQ(scheme->lstDev.front().DevId, "NVR2");
  ExpectFileHoldsTheList();
}

// The tree items name their channels: a channel removed from the device list
// while the page shows it is skipped by Add and Modify and never read through
// an old pointer, and the icon refresh leaves its item alone.
TEST_F(SchemeTreesTest, AChannelRemovedFromTheDeviceListIsSkipped) {
  Tick(CSettingRecordDlg::IDC_DEV_TREE, "cam");
  Tick(CSettingRecordDlg::IDC_DEV_TREE, "NVR1-ch2");
  page_.OnBnClickedAddDev();
  {
    CsLock lock(&g_csAppData);
    g_lstDevInfo.remove_if([](const DevInfo& dev) { return std::string(dev.DevName) == "cam"; });
  }
  page_.UpdateDevIcons();
  FillValidForm("Plan");
  Press(CSettingRecordDlg::IDC_BTN_ADD);
  EXPECT_EQ(message_, "Add record strategy success!");
  const RecSchemeInfo* scheme = g_lstRecSchemeInfo.back();
  ASSERT_EQ(scheme->lstDev.size(), 1u);
  EXPECT_STREQ(scheme->lstDev.front().DevName, "ch2");
  {
    CsLock lock(&g_csAppData);
    g_lstDevInfo.clear();
  }
  page_.UpdateDevIcons();
  page_.InitDevTree();  // shown again with no devices: an empty tree
  EXPECT_TRUE(TreeTexts(CSettingRecordDlg::IDC_DEV_TREE).empty());
}

// The icons follow the channels' state, and are refreshed when the recording
// thread reports a change.
TEST_F(SchemeTreesTest, IconsFollowTheRecordState) {
  DevInfo& cam = g_lstDevInfo.front();
  cam.nOnline = 1;
  cam.bWatched = 1;
  cam.bRecording = 1;
  Tick(CSettingRecordDlg::IDC_DEV_TREE, "cam");
  page_.OnBnClickedAddDev();
  page_.OnMessage(WM_RECORD_STATE_CHANGED, 0, 0);
  EXPECT_EQ(Image(Child(CSettingRecordDlg::IDC_DEV_TREE, 0)), 10);
  EXPECT_EQ(Image(Child(CSettingRecordDlg::IDC_SCHEME_TREE, 0)), 10);
  EXPECT_EQ(Image(TreeRoot(CSettingRecordDlg::IDC_DEV_TREE)), 0);
  cam.bRecording = 0;  // stopped while still watched
  PostMessage(page_.GetSafeHwnd(), WM_RECORD_STATE_CHANGED, 0, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(Image(Child(CSettingRecordDlg::IDC_DEV_TREE, 0)), 7);
  EXPECT_EQ(Image(Child(CSettingRecordDlg::IDC_SCHEME_TREE, 0)), 7);
  EXPECT_EQ(Image(Child(CSettingRecordDlg::IDC_DEV_TREE, 1)), 2);  // offline
  cam.nOnline = 0;
  cam.bRecording = 1;
  page_.UpdateDevIcons();
  EXPECT_EQ(Image(Child(CSettingRecordDlg::IDC_SCHEME_TREE, 0)), 2);
}

// Real clicks: on the root's text the children take the opposite of the
// root's state and the root stays; on the root's box the root toggles and
// the children follow it.
TEST_F(SchemeTreesTest, ClicksOnTheRootTickOrUntickTheChannels) {
  QTreeWidget* all = Control<QTreeWidget>(CSettingRecordDlg::IDC_DEV_TREE);
  QTreeWidgetItem* root = TreeRoot(CSettingRecordDlg::IDC_DEV_TREE);
  const QRect row = all->visualItemRect(root);
  auto children = [&] {
    std::vector<Qt::CheckState> states;
    for (int i = 0; i < root->childCount(); ++i) states.push_back(root->child(i)->checkState(0));
    return states;
  };
  const std::vector<Qt::CheckState> ticked(4, Qt::Checked), unticked(4, Qt::Unchecked);
  QTest::mouseClick(all->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(row.right() - 10, row.center().y()));
  EXPECT_EQ(children(), ticked);
  EXPECT_EQ(root->checkState(0), Qt::Unchecked);
  EXPECT_EQ(all->currentItem(), root);
  QTest::mouseClick(all->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(row.right() - 10, row.center().y()));
  EXPECT_EQ(children(), ticked);  // still the opposite of the unticked root

  QStyleOptionViewItem option;
  option.initFrom(all->viewport());
  option.rect = row;
  option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                     QStyleOptionViewItem::HasDecoration;
  option.text = root->text(0);
  option.icon = root->icon(0);
  option.decorationSize = all->iconSize();
  const QRect box = all->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, all);
  QTest::mouseClick(all->viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
  EXPECT_EQ(root->checkState(0), Qt::Checked);
  EXPECT_EQ(children(), ticked);
  // At once again: the second click of a quick pair comes as a double click.
  QTest::mouseClick(all->viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
  EXPECT_EQ(root->checkState(0), Qt::Unchecked);
  EXPECT_EQ(children(), unticked);
}

