#include "settings/local/ptz_plugin_switch.h"

#include <gtest/gtest.h>

#include <QComboBox>

#include "live/ptz/ptz_dlg.h"
#include "live/ptz/ptz_panel_host.h"
#include "live/ptz/ptz_plugin.h"

namespace {

// A main window that only holds the plug-in.
struct PluginHost : CPtzPanelHost {
  void SendPtzXml(const std::string&) override {}
  int GetSelectedPtzAddr() override { return 1; }
  void SetRelayPtzDirection(int, int, int) override {}
  void SetRelayPtzAdvance(int) override {}
  bool ActivePaneShowsRelay() override { return false; }
  bool MainPaneShowsRelay() override { return false; }
  void SetRelayPtzPreset(int, const std::string&) override {}
  void RspInvitePreset(LONG, const std::string&) override {}
  const CPtzProtocolPlugin& PtzPlugin() override { return plugin; }
  CPtzProtocolPlugin plugin;
};

// Protocol 0 loads the plug-in from the program folder and gives the panel its
// auxiliary switches; switching it off frees it and restores the 40 commands.
TEST(PtzPluginSwitch, PluginOnAndOffChangeThePanelsAdvancedList) {
  PluginHost host;
  CPTZDlg panel(host);
  panel.show();
  auto* advance = qobject_cast<QComboBox*>(panel.GetDlgItem(CPTZDlg::IDC_COMBO_ADVANCE));
  ASSERT_NE(advance, nullptr);
  ASSERT_EQ(advance->count(), 40);
  CPtzPluginSwitch page(host.plugin, &panel);

  EXPECT_EQ(page.OnApply(1), PtzPluginLoad::kNotApplied);  // another protocol: no plug-in
  EXPECT_FALSE(host.plugin.IsLoaded());
  EXPECT_EQ(advance->count(), 40);

  EXPECT_EQ(page.OnApply(0), PtzPluginLoad::kLoaded);
  EXPECT_TRUE(host.plugin.IsLoaded());
  EXPECT_NE(host.plugin.Function(), nullptr);
  EXPECT_EQ(advance->count(), 58);

  page.OnPluginOff();
  EXPECT_FALSE(host.plugin.IsLoaded());
  EXPECT_EQ(advance->count(), 40);

  // Without a panel only the plug-in changes.
  CPtzPluginSwitch alone(host.plugin, nullptr);
  EXPECT_EQ(alone.OnApply(0), PtzPluginLoad::kLoaded);
  alone.OnPluginOff();
  EXPECT_FALSE(host.plugin.IsLoaded());
}

}  // namespace
