// The e-mail recipients window and the rule that stores its rows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "harlen/link/controls/ex_list_ctrl.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/pages/network/dlg_contact.h"
#include "harlen/pages/network/email_recipients.h"
#include "pages/page_fixture.h"
#include "support/modal_driver.h"

namespace {

EmailCfg WithRecipients(int count) {
  EmailCfg cfg{};
  cfg.attach = 1;
  for (int i = 0; i < count; ++i) {
    CopyFieldText(cfg.recipients[i].name, "user" + std::to_string(i + 1));
    CopyFieldText(cfg.recipients[i].email, "u" + std::to_string(i + 1) + "@example.org");
  }
  cfg.count = static_cast<uint8_t>(count);
  return cfg;
}

std::vector<std::string> StoredNames(const EmailCfg& cfg) {
  std::vector<std::string> names;
  for (int i = 0; i < cfg.count; ++i) names.emplace_back(FieldText(cfg.recipients[i].name));
  return names;
}

}  // namespace

TEST(EmailRecipients, RowsWithNameAndAddressAreStoredInOrderAndTheRestDropped) {
  struct Case {
    const char* what;
    std::vector<RecipientRow> rows;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"middle row emptied", {{"a", "a@x"}, {"", ""}, {"c", "c@x"}}, {"a", "c"}},
      {"a name without address", {{"a", "a@x"}, {"b", ""}, {"", "c@x"}}, {"a"}},
      {"all ten rows kept",
       {{"1", "1@x"}, {"2", "2@x"}, {"3", "3@x"}, {"4", "4@x"}, {"5", "5@x"},
        {"6", "6@x"}, {"7", "7@x"}, {"8", "8@x"}, {"9", "9@x"}, {"10", "10@x"}, {"11", "11@x"}},
       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
      {"nothing", {}, {}},
  };
  for (const Case& c : cases) {
    EmailCfg cfg = WithRecipients(10);
    EXPECT_EQ(StoreRecipientRows(cfg, c.rows), static_cast<int>(c.names.size())) << c.what;
    EXPECT_EQ(StoredNames(cfg), c.names) << c.what;
    EXPECT_EQ(cfg.attach, 1) << c.what << ": the other half of the count's byte is kept";
    for (int i = cfg.count; i < kEmailRecipients; ++i) {
      EXPECT_EQ(cfg.recipients[i].name[0], 0) << c.what << ": entry " << i << " is cleared";
    }
  }
}

TEST(EmailRecipients, LongTextsAreCutToTheirFieldsWithATerminatingZero) {
  EmailCfg cfg{};
  const QString name(40, QLatin1Char('n'));
  const QString mail = QString(60, QLatin1Char('m')) + QStringLiteral("@x");
  ASSERT_EQ(StoreRecipientRows(cfg, {{name, mail}}), 1);
  EXPECT_EQ(FieldText(cfg.recipients[0].name), std::string(15, 'n'));
  EXPECT_EQ(FieldText(cfg.recipients[0].email), std::string(31, 'm'));
}

TEST(ContactWindow, ShowsEveryRecipientAndAtLeastThreeRows) {
  for (int count : {0, 1, 5, 10}) {
    EmailCfg cfg = WithRecipients(count);
    int rows = -1;
    QString lastLabel;
    OnNextModal<CDlgContact>([&](CDlgContact* dlg) {
      rows = dlg->List()->topLevelItemCount();
      lastLabel = dlg->List()->GetItemText(rows - 1, 0);
      Click(dlg, IDCANCEL);
    });
    CDlgContact dlg;
    dlg.SetEmail(&cfg);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(rows, std::max(count, 3)) << count;
    EXPECT_EQ(lastLabel, QStringLiteral("收件人%1").arg(std::max(count, 3))) << count;
  }
}

TEST(ContactWindow, OkWritesEditsAndDeletesOfEveryRowCancelWritesNothing) {
  EmailCfg cfg = WithRecipients(5);
  OnNextModal<CDlgContact>([](CDlgContact* dlg) {
    CExListCtrl* list = dlg->List();
    EXPECT_FALSE(list->BeginEdit(0, 0)) << "the row label is never edited";
    ASSERT_TRUE(list->BeginEdit(4, 1));
    list->GetEditBox()->setText(QStringLiteral("五号"));
    list->EndEdit();
    list->topLevelItem(1)->setSelected(true);
    Click(dlg, CDlgContact::IDC_BTN_DELETE);
    EXPECT_EQ(list->topLevelItemCount(), 5) << "deleting empties a row, the row stays";
    Click(dlg, IDOK);
  });
  CDlgContact dlg;
  dlg.SetEmail(&cfg);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(StoredNames(cfg), (std::vector<std::string>{"user1", "user3", "user4", "\xce\xe5\xba\xc5"}))
      << "rows four and five are kept; the name is stored as GBK";
  EXPECT_EQ(FieldText(cfg.recipients[3].email), "u5@example.org");

  const EmailCfg before = cfg;
  OnNextModal<CDlgContact>([](CDlgContact* dlg) {
    dlg->List()->topLevelItem(0)->setSelected(true);
    Click(dlg, CDlgContact::IDC_BTN_DELETE);
    Click(dlg, IDCANCEL);
  });
  CDlgContact cancelled;
  cancelled.SetEmail(&cfg);
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(std::memcmp(&cfg, &before, sizeof cfg), 0);
}
