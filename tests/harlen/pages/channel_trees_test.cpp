// The channel trees of the channel, video parameter and record parameter
// pages driven with the mouse and the keys: a click on a channel shows that
// channel's values, and what the user then edits lands in the channel shown.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/pages/channels/dlg_channel_config.h"
#include "harlen/pages/channels/dlg_param_config.h"
#include "harlen/pages/channels/dlg_rec_param.h"
#include "pages/page_fixture.h"

namespace {

constexpr int kThird = 2;  // the third channel's index

// One page: its tab and tree, values of the third channel that differ from the
// first's, whether the page shows them, an edit, and whether it landed there.
struct TreePage {
  const char* name;
  int tab;
  std::function<QTreeWidget*(CRgbDialog*)> tree;
  std::function<void()> markThird;
  std::function<bool(CRgbDialog*)> showsThird;
  std::function<void(CRgbDialog*)> edit;
  std::function<bool(int channel)> edited;
};

const TreePage kPages[] = {
    {"channel", 1, [](CRgbDialog* p) { return dynamic_cast<CDlgChannelConfig*>(p)->GetTree(); },
     [] {
       ChannelDisplay& d = g_ChannelCfg.display[kThird];
       CopyFieldText(d.name1, "third");
       d.loaded = 1;
       d.name1enable = 1;
     },
     [](CRgbDialog* p) {
       return DlgItem<QLineEdit>(p, CDlgChannelConfig::IDC_EDIT_TITLE1)->text() == QStringLiteral("third");
     },
     [](CRgbDialog* p) { Type(p, CDlgChannelConfig::IDC_EDIT_TITLE1, QStringLiteral("Z3")); },
     [](int channel) { return FieldText(g_ChannelCfg.display[channel].name1) == "Z3"; }},
    {"video parameter", 3, [](CRgbDialog* p) { return dynamic_cast<CDlgParamConfig*>(p)->GetTree(); },
     [] {
       g_ChannelCfg.video[kThird].mainstream.resolution = 13;  // "720P"
       g_ChannelCfg.video[kThird].mainstream.framerate = 12;
     },
     [](CRgbDialog* p) {
       return GetCurSel(p, CDlgParamConfig::IDC_COMBO_RESOLUTION) == 12 &&
              DlgItem<QLabel>(p, CDlgParamConfig::IDC_STATIC_FPS)->text() == QStringLiteral("12 FPS");
     },
     [](CRgbDialog* p) { SetCurSel(p, CDlgParamConfig::IDC_COMBO_RESOLUTION, 2); },
     [](int channel) { return g_ChannelCfg.video[channel].mainstream.resolution == 3; }},
    {"record parameter", 8, [](CRgbDialog* p) { return dynamic_cast<CDlgRecParam*>(p)->GetTree(); },
     [] {
       g_ChannelCfg.recordParam.entries[kThird].enable = 1;
       g_ChannelCfg.recordParam.entries[kThird].lastseconds = 333;
     },
     [](CRgbDialog* p) {
       return DlgItem<QLineEdit>(p, CDlgRecParam::IDC_EDIT_DURATION)->text() == QStringLiteral("333");
     },
     [](CRgbDialog* p) { Type(p, CDlgRecParam::IDC_EDIT_EXPIRY, QStringLiteral("77")); },
     [](int channel) { return g_ChannelCfg.recordParam.entries[channel].expiredays == 77; }},
};

void PrintTo(const TreePage& page, std::ostream* os) { *os << page.name << " page"; }

class ChannelTrees : public NvrPagesTest, public ::testing::WithParamInterface<TreePage> {};

}  // namespace

TEST_P(ChannelTrees, AClickOnTheThirdChannelShowsItAndEditsIt) {
  const TreePage& p = GetParam();
  g_pDlgMain->GetTab()->setCurrentIndex(p.tab);
  CRgbDialog* page = g_pDlgMain->GetPage(p.tab);
  QTreeWidget* tree = p.tree(page);
  ASSERT_GT(tree->topLevelItemCount(), kThird);
  ASSERT_EQ(tree->currentItem(), tree->topLevelItem(0));
  ASSERT_FALSE(p.edited(0));
  p.markThird();
  ASSERT_FALSE(p.showsThird(page)) << "the first channel is shown";

  QTreeWidgetItem* third = tree->topLevelItem(kThird);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(third).center());
  ASSERT_TRUE(third->isSelected());
  Settle();  // the enable states that the shown values set
  EXPECT_TRUE(p.showsThird(page)) << p.name << " page: the clicked channel's values are shown";

  p.edit(page);
  EXPECT_TRUE(p.edited(kThird)) << p.name << " page: the edit lands in the channel shown";
  EXPECT_FALSE(p.edited(0));

  // The keys move the selection as well: the next channel is the one edited.
  tree->setFocus();
  QTest::keyClick(tree, Qt::Key_Down);
  ASSERT_TRUE(tree->topLevelItem(kThird + 1)->isSelected());
  Settle();
  p.edit(page);
  EXPECT_TRUE(p.edited(kThird + 1)) << p.name << " page: after the Down key";
}

INSTANTIATE_TEST_SUITE_P(Pages, ChannelTrees, ::testing::ValuesIn(kPages),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (c == ' ') c = '_';
                           }
                           return name;
                         });
