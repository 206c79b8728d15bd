// The main configuration window shown against the fake NVR, for the tests
// of its pages: the page of a tab, OK and the NVR's store read back, and the
// small actions a user takes on a page's controls.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <cstring>

#include "common/wait_for.h"
#include "fake_nvr_process.h"
#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/tab_ctrl_ex.h"
#include "harlen/link/entry/harlen_module.h"
#include "harlen/link/harlen_api.h"
#include "harlen/link/sections/nvr_config.h"
#include "link_fixture.h"
#include "records_fixture.h"
#include "support/modal_answerer.h"

inline void Click(CWnd* wnd, int id) {
  auto* button = DlgItem<QAbstractButton>(wnd, id);
  ASSERT_NE(button, nullptr) << id;
  button->click();
}

// Replaces the edit's text as typed: one key press carrying the text, as an
// input method delivers it (any script).
inline void Type(CWnd* wnd, int id, const QString& text) {
  auto* edit = DlgItem<QLineEdit>(wnd, id);
  ASSERT_NE(edit, nullptr) << id;
  edit->setFocus();
  edit->selectAll();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
  QApplication::sendEvent(edit, &press);
}

// Lets the posted clicks of a fill run.
inline void Settle() { QTest::qWait(50); }

class NvrPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(nvr.Ready());
    host.resize(900, 700);
    host.show();
    std::memset(&g_ChannelCfg, 0, sizeof g_ChannelCfg);
    std::memset(&g_DiskStatus, 0, sizeof g_DiskStatus);
    const std::string address = "127.0.0.1";
    ASSERT_EQ(HL_ShowConfigByVemo(user, const_cast<char*>(address.c_str()), static_cast<unsigned short>(nvr.Port()),
                                  &host),
              1);
    ASSERT_TRUE(WaitFor([] { return g_ChannelCfg.displayCount > 0 && g_DiskStatus.count > 0; }));
    Settle();
  }
  void TearDown() override {
    HL_Release();
    g_bHarlenInited = false;
  }

  // The page of tab `tab`, shown.
  template <class Page>
  Page* PageOf(int tab) {
    g_pDlgMain->GetTab()->setCurrentIndex(tab);
    auto* page = dynamic_cast<Page*>(g_pDlgMain->GetPage(tab));
    EXPECT_NE(page, nullptr);
    return page;
  }

  // OK of the embedded window, then the NVR's store read back into `stored`.
  void SaveAndReadBack(Records& stored) {
    Click(g_pDlgMain, IDOK);
    ASSERT_FALSE(nvr.Take("SET 8").empty()) << "save-all sent its last section";
    ASSERT_TRUE(LoadWholeConfig(NvrWholeConfig(nvr.Port()), stored.Refs()));
  }

  char user[6] = "admin";
  FakeNvrProcess nvr;
  QWidget host;
  ModalAnswerer answerer;
};
