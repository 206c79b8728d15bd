// The PTZ panel window: mouse presses on its hold buttons, its lists and its
// preset answer. The texts themselves are checked in ptz_panel_logic_test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "live/live_messages.h"
#include "live/ptz/ptz_dlg.h"
#include "tests/live/message_window.h"
#include "platform/post_message.h"
#include "ptz_panel_test_host.h"

namespace {

void Mouse(QWidget* widget, QEvent::Type type, QPoint local = {3, 3}) {
  const QPointF global = widget->mapToGlobal(QPointF(local));
  QMouseEvent event(type, QPointF(local), global, Qt::LeftButton,
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

class PtzDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dlg.Create(CPTZDlg::IDD, &parent));
    dlg.show();
  }
  QComboBox* Combo(int id) { return qobject_cast<QComboBox*>(dlg.GetDlgItem(id)); }
  QWidget* Item(int id) { return dlg.GetDlgItem(id); }

  RecordingPtzHost host;
  QWidget parent;
  CPTZDlg dlg{host};
};

const std::string kRun = "\t\t\t\t\t\t\t\t   ";

}  // namespace

TEST_F(PtzDlgTest, HoldZoomAndReleaseOverAnotherControlSendsOneStop) {
  Mouse(Item(CPTZDlg::IDC_BTN_ZOOM_TELE), QEvent::MouseButtonPress);
  Mouse(Item(CPTZDlg::IDC_BTN_ZOOM_TELE), QEvent::MouseButtonRelease, {-90, -65});  // released over the up button
  const std::vector<std::string> expected = {
      "send <xml>" + kRun + "<cmd>zoomtele</cmd>" + kRun + "</xml>", "direction 14 5 5",
      "send <xml>\t\t\t\t\t\t\t  <cmd>stop</cmd>\t\t\t\t\t\t\t  </xml>", "direction 9 0 0"};
  EXPECT_EQ(host.calls, expected);
}

TEST_F(PtzDlgTest, UpUsesTheSpeedListsAndTheyStartAtFive) {
  EXPECT_EQ(Combo(CPTZDlg::IDC_COMBO_PAN_SPEED)->count(), 10);
  EXPECT_EQ(Combo(CPTZDlg::IDC_COMBO_PAN_SPEED)->currentText(), "5");
  Mouse(Item(CPTZDlg::IDC_BTN_UP), QEvent::MouseButtonPress);
  Combo(CPTZDlg::IDC_COMBO_TILT_SPEED)->setCurrentIndex(9);
  Mouse(Item(CPTZDlg::IDC_BTN_LEFT), QEvent::MouseButtonPress);
  ASSERT_EQ(host.sent.size(), 2u);
  EXPECT_NE(host.sent[0].find("<panspeed>5</panspeed>" + kRun + "<tiltspeed>5</tiltspeed>"), std::string::npos);
  EXPECT_NE(host.sent[1].find("<cmd>left</cmd>" + kRun + "<panspeed>5</panspeed>" + kRun + "<tiltspeed>10</tiltspeed>"),
            std::string::npos);
}

TEST_F(PtzDlgTest, AdvancedListHoldsFortyEntriesAndGoWithoutSelectionSendsNothing) {
  QComboBox* advance = Combo(CPTZDlg::IDC_COMBO_ADVANCE);
  EXPECT_EQ(advance->count(), 40);
  static_cast<QPushButton*>(Item(CPTZDlg::IDC_BTN_ADVANCE))->click();
  EXPECT_TRUE(host.calls.empty());
  advance->setCurrentIndex(38);
  static_cast<QPushButton*>(Item(CPTZDlg::IDC_BTN_ADVANCE))->click();
  const std::vector<std::string> expected = {"send <xml>\t\t\t\t\t\t  <cmd>WDROn</cmd>\t\t\t\t\t\t  </xml>",
                                             "advance 39"};
  EXPECT_EQ(host.calls, expected);
}

TEST_F(PtzDlgTest, AuxiliarySwitchEntriesGoThroughThePlugin) {
  QComboBox* advance = Combo(CPTZDlg::IDC_COMBO_ADVANCE);
  ASSERT_TRUE(host.plugin.Load());
  dlg.InsertAuxSwitchEntries();
  ASSERT_EQ(advance->count(), 58);
  advance->setCurrentIndex(43);
  static_cast<QPushButton*>(Item(CPTZDlg::IDC_BTN_ADVANCE))->click();
  const std::vector<std::string> expected = {
      "send <xml><cmd>tarnex</cmd><addr>7</addr><word>Close2</word><a>0</a><b>0</b></xml>", "advance 44"};
  EXPECT_EQ(host.calls, expected);

  host.plugin.Free();
  dlg.ResetAdvanceCmdCombo();
  EXPECT_EQ(advance->count(), 40);
}

TEST_F(PtzDlgTest, PresetAnswerFillsTheListsAndIsPassedToTheRelay) {
  PostText(dlg.GetSafeHwnd(), WM_PTZ_RESPONSE, 12, "head^3^s1#08:00-09:00^7^");
  DeliverPosted();
  QComboBox* call = Combo(CPTZDlg::IDC_COMBO_CALL_PRESET);
  QComboBox* del = Combo(CPTZDlg::IDC_COMBO_DEL_PRESET);
  ASSERT_EQ(call->count(), 2);
  EXPECT_EQ(call->itemText(0), "3");
  EXPECT_EQ(call->itemText(1), "7");
  EXPECT_EQ(call->currentIndex(), -1);
  ASSERT_EQ(del->count(), 3);
  EXPECT_EQ(del->itemText(1), "s1#08:00-09:00");
  EXPECT_EQ(del->currentIndex(), 0);
  EXPECT_EQ(host.calls, std::vector<std::string>{"invite preset 12 head^3^s1#08:00-09:00^7^"});

  // The delete list is the set of rules a new timed rule is checked against.
  EXPECT_EQ(dlg.CheckPresetInput("o2#08:30-10:00"), -3);
  EXPECT_EQ(dlg.CheckPresetInput("o2#09:00-10:00"), 1);

  // Calling remembers the selection for the next answer.
  call->setCurrentIndex(1);
  static_cast<QPushButton*>(Item(CPTZDlg::IDC_BTN_CALL_PRESET))->click();
  ASSERT_FALSE(host.sent.empty());
  EXPECT_NE(host.sent.back().find("<cmd>callpreset</cmd>"), std::string::npos);
  EXPECT_NE(host.sent.back().find("<preset>7</preset>"), std::string::npos);
  dlg.OnPtzResponse(0, "head^4^5^");
  EXPECT_EQ(call->currentIndex(), 1);

  PostText(dlg.GetSafeHwnd(), WM_PTZ_RESPONSE, 0, "only-header^");
  DeliverPosted();
  EXPECT_EQ(call->count(), 0);
  EXPECT_EQ(del->count(), 0);
}

TEST_F(PtzDlgTest, AddReadsThePresetFieldAndRefusesBadInput) {
  auto* field = qobject_cast<QLineEdit*>(Item(CPTZDlg::IDC_EDIT_PRESET));
  ASSERT_NE(field, nullptr);
  auto* add = static_cast<QPushButton*>(Item(CPTZDlg::IDC_BTN_ADD_PRESET));
  for (const char* bad : {"256", "0", "abc", "1#09:00-08:00"}) {
    field->setText(bad);
    add->click();
  }
  EXPECT_TRUE(host.sent.empty());
  field->setText("12");
  add->click();
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_NE(host.sent[0].find("<cmd>setpreset</cmd>\t\t\t\t\t\t\t  <preset>12</preset>"), std::string::npos);

  dlg.ClearPresets();
  EXPECT_TRUE(field->text().isEmpty());
  static_cast<QPushButton*>(Item(CPTZDlg::IDC_BTN_DEL_PRESET))->click();
  EXPECT_EQ(host.sent.size(), 1u) << "removing with an empty list sends nothing";
}
