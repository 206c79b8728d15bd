#include "settings/local/setting_save_path.h"

#include <QLineEdit>

#include "core/fixed_text.h"
#include "fake_local_settings_host.h"
#include "platform/codepage.h"
#include "settings/settings_test_env.h"

namespace {

class SavePathTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    LoginInfo login;
    CopyFixedText(login.UserName, "op1");
    CopyFixedText(login.SavePath, "/old");
    g_lstLoginInfo.push_back(login);
    CopyFixedText(g_szCurUser, "op1");
  }
  void TearDown() override {
    g_lstLoginInfo.clear();
    SettingsTest::TearDown();
  }
  void Make() {
    page_ = std::make_unique<CSettingSavePath>();
    page_->SetHost(&host_);
    page_->SetFolderPicker([this](const QString&) { return picked_; });
    ASSERT_TRUE(page_->Create(CSettingSavePath::IDD));
  }
  QLineEdit* Edit() const { return qobject_cast<QLineEdit*>(page_->GetDlgItem(CSettingSavePath::IDC_PATH)); }
  std::string Stored() const { return g_lstLoginInfo.front().SavePath; }

  FakeLocalSettingsHost host_;
  std::unique_ptr<CSettingSavePath> page_;
  QString picked_;
};

}  // namespace

TEST_F(SavePathTest, SaveTrimsStoresAndHandsTheFolderToThePlayers) {
  const struct {
    int language;
    const char* typed;
    const char* message;
    const char* stored;
    const char* call;
  } cases[] = {
      {1, "  /srv/vemo snaps \t", "Save Success!", "/srv/vemo snaps", "SetSnapPath 1 /srv/vemo snaps"},
      {0, "/srv/中文", "Save Success!", "/srv/中文", "SetSnapPath 0 /srv/\xD6\xD0\xCE\xC4"},
      {1, "   ", "The save path is empty,please input again!", "/old", ""},
      {1, "/x/\xF0\x9F\x98\x80", "The text holds characters that cannot be stored; please use Chinese or English "
                                 "characters only.", "/old", ""},
  };
  for (const auto& c : cases) {
    g_nLanguage = c.language;
    CopyFixedText(g_lstLoginInfo.front().SavePath, "/old");
    host_.calls.clear();
    Make();
    Edit()->setText(QString::fromUtf8(c.typed));
    page_->OnCommand(CSettingSavePath::IDC_SAVE);
    EXPECT_EQ(host_.LastMessage(), c.message) << c.typed;
    EXPECT_EQ(codepage::GbkToUtf8(Stored()), c.stored) << c.typed;
    const bool called = std::string(c.call).size() > 0;
    EXPECT_EQ(host_.calls.front(), called ? std::string(c.call) : std::string("ShowResMsg 2")) << c.typed;
  }
}

// A folder longer than the 1023 bytes the record holds is refused whole,
// not cut; a Chinese character counts two bytes.
TEST_F(SavePathTest, RefusesAFolderLongerThanTheRecordHolds) {
  Make();
  const QString longest = "/" + QString(1022, 'a');
  Edit()->setText(longest);
  page_->OnCommand(CSettingSavePath::IDC_SAVE);
  EXPECT_EQ(host_.LastMessage(), "Save Success!");
  EXPECT_EQ(Stored().size(), 1023u);
  Edit()->setText("/" + QString(600, QChar(0x4E2D)));
  page_->OnCommand(CSettingSavePath::IDC_SAVE);
  EXPECT_EQ(host_.LastMessage(),
            "The save path is too long: at most 1023 characters (a Chinese character counts as two).");
  EXPECT_EQ(Stored(), longest.toStdString());
  EXPECT_EQ(Edit()->maxLength(), 1023);
}

TEST_F(SavePathTest, CancelBrowseAndAUserWithoutSavedLogin) {
  Make();
  EXPECT_EQ(Edit()->text(), "/old");
  page_->OnCommand(CSettingSavePath::IDC_CANCEL);
  EXPECT_EQ(Edit()->text(), "");
  page_->ShowSavedPath();
  EXPECT_EQ(Edit()->text(), "/old");
  Edit()->setText("/typed");
  picked_.clear();  // picker cancelled
  page_->OnCommand(CSettingSavePath::IDC_BROWSE);
  EXPECT_EQ(Edit()->text(), "/typed");
  picked_ = "/picked";
  page_->OnCommand(CSettingSavePath::IDC_BROWSE);
  EXPECT_EQ(Edit()->text(), "/picked");

  CopyFixedText(g_szCurUser, "nobody");
  Make();
  EXPECT_EQ(Edit()->text(), "");
  Edit()->setText("/mine");
  page_->OnCommand(CSettingSavePath::IDC_SAVE);
  EXPECT_EQ(host_.LastMessage(), "Save Success!");
  EXPECT_EQ(page_->SavedPath(), "/mine");
  EXPECT_EQ(Stored(), "/old");
}
