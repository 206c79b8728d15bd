// The users page, the user and rights windows against the fake NVR, and the
// rules they apply to the users record.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>
#include <cstring>
#include <string>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/text_codec.h"
#include "harlen/pages/users/dlg_user_add.h"
#include "harlen/pages/users/dlg_user_right.h"
#include "harlen/pages/users/dlg_userinfo_config.h"
#include "harlen/pages/users/user_rules.h"
#include "pages/page_fixture.h"
#include "support/modal_driver.h"

namespace {

constexpr int kUsersTab = 7;
using Page = CDlgUserinfoConfig;
using UsersPage = NvrPagesTest;

std::unique_ptr<UserCfg> Users(std::initializer_list<const char*> names) {
  auto cfg = std::make_unique<UserCfg>();
  std::memset(cfg.get(), 0, sizeof *cfg);
  for (const char* name : names) {
    NvrUser& user = cfg->users[cfg->count++];
    CopyFieldText(user.username, name);
    CopyFieldText(user.rightbit, std::string(kRightCount, '1'));
  }
  return cfg;
}

std::string Names(const UserCfg& cfg) {
  std::string names;
  for (uint32_t i = 0; i < cfg.count; ++i) names += std::string(FieldText(cfg.users[i].username)) + ";";
  return names;
}

void SelectRow(QTreeWidget* list, int row) {
  list->setCurrentItem(list->topLevelItem(row));
  list->topLevelItem(row)->setSelected(true);
}

}  // namespace

TEST(UserRules, WhoMayBeTouched) {
  struct Case {
    const char* name;
    const char* login;
    bool rights, remove, modify;
  };
  const Case cases[] = {
      {"op", "op", false, false, false},         // oneself: nothing
      {"admin", "op", true, false, true},        // admin: never deleted
      {"admin", "admin", false, false, false},   // admin logged in as itself
      {"Admin", "admin", true, true, true},      // names compare exactly
      {"guest", "admin", true, true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MayActOn(UserAction::kRights, c.name, c.login), c.rights) << c.name << " as " << c.login;
    EXPECT_EQ(MayActOn(UserAction::kDelete, c.name, c.login), c.remove) << c.name << " as " << c.login;
    EXPECT_EQ(MayActOn(UserAction::kModify, c.name, c.login), c.modify) << c.name << " as " << c.login;
  }
}

TEST(UserRules, DeleteMovesLaterUsersUpAndANewUserStartsWithoutRights) {
  auto cfg = Users({"a", "b", "c"});
  ASSERT_TRUE(DeleteUser(*cfg, 0));
  EXPECT_EQ(Names(*cfg), "b;c;");
  EXPECT_EQ(cfg->users[2].username[0], 0) << "the freed slot is cleared";
  ASSERT_TRUE(DeleteUser(*cfg, 1));
  EXPECT_EQ(Names(*cfg), "b;");
  EXPECT_FALSE(DeleteUser(*cfg, 1));

  // The slot after the last user once held a user with every right.
  cfg = Users({"admin", "x"});
  cfg->count = 1;
  ASSERT_TRUE(AddUser(*cfg, QStringLiteral("new"), QStringLiteral("pw"), StringToIp("10.0.0.9"), 1));
  EXPECT_EQ(Names(*cfg), "admin;new;");
  EXPECT_EQ(FieldText(cfg->users[1].rightbit), std::string(kRightCount, '0'));

  auto full = std::make_unique<UserCfg>();
  full->count = kNvrUsers;
  EXPECT_FALSE(AddUser(*full, QStringLiteral("one"), QStringLiteral("more"), 0, 1));
}

TEST(UserRules, RightsAndLoginTimes) {
  NvrUser user{};
  CopyFieldText(user.rightbit, "1010000000001");
  for (int i = 0; i < kRightCount; ++i) EXPECT_EQ(HasRight(user, i), i == 0 || i == 2 || i == 12) << i;
  NvrUser empty{};
  SetRight(empty, 4, true);
  EXPECT_EQ(FieldText(empty.rightbit), "00001");

  EXPECT_EQ(LoginTimeText(1704067200), QStringLiteral("2024-1-1 0:0:0"));
  EXPECT_EQ(LoginTimeText(5000000000LL), QStringLiteral("2128-6-11 8:53:20")) << "past 32 bits";
}

TEST(UserWindow, AddChecksInOrderAndAFullListTakesNoMore) {
  ModalAnswerer answerer;
  auto cfg = Users({"admin", "guest"});
  struct Step {
    const char* name;
    const char* password;
    const char* confirm;
    const char* ip;
    int focused;        // the edit that takes the focus, or 0
    const char* message;
  };
  const Step steps[] = {
      {"", "p", "p", "1.2.3.4", CDlgUserAdd::IDC_EDIT_NAME, nullptr},
      {"n", "p", "", "1.2.3.4", CDlgUserAdd::IDC_EDIT_CONFIRM, nullptr},
      {"n", "p", "q", "1.2.3.4", 0, "密码不一至，请重新输入"},
      {"n", "p", "p", "", CDlgUserAdd::IDC_EDIT_IP, nullptr},
      {"n", "p", "p", "1.2.3.256", CDlgUserAdd::IDC_EDIT_IP, "IP地址无效，请重新输入!"},
      {"guest", "p", "p", "255.255.255.255", CDlgUserAdd::IDC_EDIT_IP, "IP地址无效，请重新输入!"},
      {"guest", "p", "p", "1.2.3.4", 0, "该用户已经存在"},
  };
  for (const Step& s : steps) {
    answerer.Clear();
    bool stayed = false;
    QWidget* focused = nullptr;
    OnNextModal<CDlgUserAdd>([&](CDlgUserAdd* dlg) {
      Type(dlg, CDlgUserAdd::IDC_EDIT_NAME, QString::fromUtf8(s.name));
      Type(dlg, CDlgUserAdd::IDC_EDIT_PASSWORD, QString::fromUtf8(s.password));
      Type(dlg, CDlgUserAdd::IDC_EDIT_CONFIRM, QString::fromUtf8(s.confirm));
      Type(dlg, CDlgUserAdd::IDC_EDIT_IP, QString::fromUtf8(s.ip));
      dlg->GetDlgItem(CDlgUserAdd::IDC_COMBO_TYPE)->setFocus();
      Click(dlg, IDOK);
      stayed = dlg->isVisible();
      focused = dlg->focusWidget();
      Click(dlg, IDCANCEL);
    });
    CDlgUserAdd dlg;
    dlg.SetUsers(cfg.get());
    dlg.DoModal();
    EXPECT_TRUE(stayed) << s.name << "/" << s.ip;
    if (s.focused != 0) {
      EXPECT_EQ(focused, dlg.GetDlgItem(s.focused)) << s.name << "/" << s.ip;
    }
    if (s.message != nullptr) {
      EXPECT_TRUE(answerer.Messages().contains(QString::fromUtf8(s.message))) << s.message;
    }
    EXPECT_EQ(cfg->count, 2u);
  }

  auto full = std::make_unique<UserCfg>();
  full->count = kNvrUsers;
  answerer.Clear();
  OnNextModal<CDlgUserAdd>([](CDlgUserAdd* dlg) {
    Click(dlg, IDOK);
    Click(dlg, IDCANCEL);
  });
  CDlgUserAdd dlg;
  dlg.SetUsers(full.get());
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(answerer.Messages().contains(QStringLiteral("用户已满")));
  EXPECT_EQ(full->count, static_cast<uint32_t>(kNvrUsers));
}

// Modify: a bound address that is no address is refused and stored nowhere;
// a user type the list does not show stays as the NVR gave it.
TEST(UserWindow, ModifyRefusesABadAddressAndKeepsATypeTheListLacks) {
  ModalAnswerer answerer;
  auto cfg = Users({"admin", "guest"});
  NvrUser& guest = cfg->users[1];
  guest.priority = 3;
  guest.iplimit = StringToIp("192.168.1.100");
  struct Try {
    const char* ip;
    bool closes;
  };
  for (const Try& t : {Try{"192.168.1.", false}, Try{"host", false}, Try{"10.0.0.8", true}}) {
    answerer.Clear();
    answerer.AnswerMessage(QMessageBox::Ok);
    bool stayed = false;
    OnNextModal<CDlgUserAdd>([&](CDlgUserAdd* dlg) {
      EXPECT_EQ(GetCurSel(dlg, CDlgUserAdd::IDC_COMBO_TYPE), -1) << "type 3 has no item";
      Type(dlg, CDlgUserAdd::IDC_EDIT_IP, QString::fromUtf8(t.ip));
      Click(dlg, IDOK);
      stayed = dlg->isVisible();
      if (stayed) Click(dlg, IDCANCEL);
    });
    CDlgUserAdd dlg;
    dlg.SetUsers(cfg.get(), 1);
    EXPECT_EQ(dlg.DoModal(), t.closes ? IDOK : IDCANCEL) << t.ip;
    EXPECT_EQ(stayed, !t.closes) << t.ip;
    if (!t.closes) {
      EXPECT_EQ(answerer.Messages(), QStringList{QStringLiteral("IP地址无效，请重新输入!")}) << t.ip;
      EXPECT_EQ(IpToString(guest.iplimit), "192.168.1.100") << t.ip;
    }
  }
  EXPECT_EQ(IpToString(guest.iplimit), "10.0.0.8");
  EXPECT_EQ(guest.priority, 3u) << "not made an administrator";
}

TEST_F(UsersPage, ShowsUsersAndOnlineUsersAndSavesAddsRightsModifiesAndDeletes) {
  auto* page = PageOf<Page>(kUsersTab);
  ASSERT_NE(page, nullptr);
  auto* list = DlgItem<QTreeWidget>(page, Page::IDC_LIST_USERS);
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("操作员"));
  EXPECT_EQ(list->topLevelItem(2)->text(2), QStringLiteral("192.168.1.100")) << "the bound address, in network order";

  auto* online = DlgItem<QTreeWidget>(page, Page::IDC_LIST_ONLINE);
  Click(page, Page::IDC_BTN_REFRESH);
  ASSERT_TRUE(WaitFor([&] {
    QApplication::processEvents();
    return online->topLevelItemCount() == 2;
  }));
  EXPECT_EQ(online->topLevelItem(0)->text(1), QStringLiteral("远程"));
  EXPECT_EQ(online->topLevelItem(0)->text(2), QStringLiteral("2024-1-1 0:0:0"));
  EXPECT_EQ(online->topLevelItem(1)->text(0), QStringLiteral("操作员"));
  OnlineUsers none{};
  page->FillOnlineUsers(none);
  EXPECT_EQ(online->topLevelItemCount(), 0);

  // The login user "admin": no window opens, nothing is deleted.
  SelectRow(list, 0);
  for (int id : {Page::IDC_BTN_RIGHTS, Page::IDC_BTN_MODIFY, Page::IDC_BTN_DELETE}) Click(page, id);
  EXPECT_EQ(answerer.Answered(), 0);
  EXPECT_EQ(g_UserCfg.count, 3u);

  SelectRow(list, 2);
  OnNextModal<CDlgUserRight>([](CDlgUserRight* dlg) {
    EXPECT_TRUE(IsDlgButtonChecked(dlg, CDlgUserRight::kBoxIds[0]));
    EXPECT_FALSE(IsDlgButtonChecked(dlg, CDlgUserRight::kBoxIds[2]));
    Click(dlg, CDlgUserRight::kBoxIds[2]);
    Click(dlg, CDlgUserRight::kBoxIds[12]);
    Click(dlg, IDOK);
  });
  Click(page, Page::IDC_BTN_RIGHTS);
  OnNextModal<CDlgUserAdd>([](CDlgUserAdd* dlg) {
    EXPECT_FALSE(dlg->GetDlgItem(CDlgUserAdd::IDC_EDIT_NAME)->isEnabled());
    EXPECT_EQ(DlgItem<QLineEdit>(dlg, CDlgUserAdd::IDC_EDIT_CONFIRM)->text(), QStringLiteral("guest"));
    Type(dlg, CDlgUserAdd::IDC_EDIT_IP, QStringLiteral("10.9.8.7"));
    SetCurSel(dlg, CDlgUserAdd::IDC_COMBO_TYPE, 0);
    Click(dlg, IDOK);
  });
  Click(page, Page::IDC_BTN_MODIFY);
  EXPECT_EQ(list->topLevelItem(2)->text(2), QStringLiteral("10.9.8.7"));

  OnNextModal<CDlgUserAdd>([](CDlgUserAdd* dlg) {
    Type(dlg, CDlgUserAdd::IDC_EDIT_NAME, QStringLiteral("值班"));
    Type(dlg, CDlgUserAdd::IDC_EDIT_PASSWORD, QStringLiteral("pw1"));
    Type(dlg, CDlgUserAdd::IDC_EDIT_CONFIRM, QStringLiteral("pw1"));
    Type(dlg, CDlgUserAdd::IDC_EDIT_IP, QStringLiteral("0.0.0.0"));
    SetCurSel(dlg, CDlgUserAdd::IDC_COMBO_TYPE, 1);
    Click(dlg, IDOK);
  });
  Click(page, Page::IDC_BTN_ADD);
  ASSERT_EQ(list->topLevelItemCount(), 4);

  // The operator is deleted after Yes: the later users move up.
  answerer.AnswerMessage(QMessageBox::Yes);
  SelectRow(list, 1);
  Click(page, Page::IDC_BTN_DELETE);
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("guest"));

  Records stored;
  SaveAndReadBack(stored);
  ASSERT_EQ(stored.users->count, 3u);
  EXPECT_EQ(FieldText(stored.users->users[1].username), "guest");
  EXPECT_EQ(IpToString(stored.users->users[1].iplimit), "10.9.8.7");
  EXPECT_EQ(stored.users->users[1].priority, 0u);
  EXPECT_EQ(std::string(FieldText(stored.users->users[1].rightbit)).substr(0, kRightCount), "1010000000001");
  EXPECT_EQ(FieldText(stored.users->users[2].username), "\xD6\xB5\xB0\xE0");  // GBK
  EXPECT_EQ(FieldText(stored.users->users[2].password), "pw1");
  EXPECT_EQ(stored.users->users[2].priority, 1u);
  EXPECT_EQ(std::string(FieldText(stored.users->users[2].rightbit)).substr(0, kRightCount), std::string(kRightCount, '0'));
}
