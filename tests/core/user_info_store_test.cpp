#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "core/fixed_text.h"
#include "core/md5.h"
#include "core/user_info.h"
#include "core/user_info_store.h"
#include "core/user_settings.h"
#include "tests/core/config_test_env.h"

namespace {

class UserInfoStoreTest : public ConfigTest {};

}  // namespace

TEST_F(UserInfoStoreTest, FreshInstallationGetsAdminDefaultsAndFileLogging) {
  EXPECT_EQ(LoadUserInfo(), -1);
  const std::string bytes = ReadBytes(ConfigFile("UserInfo.xml"));
  ASSERT_EQ(bytes.size(), 3072u);
  EXPECT_EQ(bytes.find('\0'), bytes.find("</UserInfo>") + 11);
  EXPECT_EQ(bytes.substr(0, 51), "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<UserInfo>");
  EXPECT_NE(bytes.find("\t<LoginList />\n"), std::string::npos);

  ASSERT_EQ(LoadUserInfo(), 0);
  EXPECT_EQ(g_strTitle, "Vemo");
  ASSERT_EQ(g_lstUserInfo.size(), 1u);
  EXPECT_STREQ(g_lstUserInfo.front().UserName, "admin");
  EXPECT_STREQ(g_lstUserInfo.front().Password, "7C1E9A04B3D25F86E0A47B19C3D8F265");
  ASSERT_EQ(g_lstGroupInfo.size(), 1u);
  EXPECT_STREQ(g_lstGroupInfo.front().RoleName, "default");
  ASSERT_EQ(g_lstRoleInfo.size(), 1u);
  const RoleInfo& role = g_lstRoleInfo.front();
  EXPECT_EQ(role.SurPTZ + role.Record + role.Alarm + role.PTZ + role.UserManager, 5);
  EXPECT_EQ(role.HighLeve, 0);
  EXPECT_EQ(g_nBufferTick, 300);  // the BufferTick inside DispInfoSetting is not read
  EXPECT_TRUE(std::filesystem::exists(folder_.File("drives/D/Vemo-Log/clientlog.txt")));

  // It disappears at the first save; the admin's digest is kept as it is.
  SaveUserInfo();
  const std::string saved = ReadBytes(ConfigFile("UserInfo.xml"));
  EXPECT_EQ(saved.find("<BufferTick>"), std::string::npos);
  EXPECT_NE(saved.find("<Password>7C1E9A04B3D25F86E0A47B19C3D8F265</Password>"), std::string::npos);
  EXPECT_NE(saved.find("<mlog>1</mlog>"), std::string::npos);
  EXPECT_EQ(saved.find('\0'), std::string::npos);
}

TEST_F(UserInfoStoreTest, HandWrittenFileLoadsFieldByField) {
  InstallFixture("user_info.xml", "UserInfo.xml");
  ASSERT_EQ(LoadUserInfo(), 0);
  EXPECT_EQ(g_strDispInfo, Gbk("显示"));
  EXPECT_EQ(g_strTitle, Gbk("监控"));
  EXPECT_EQ(g_strVersion, "2.1");
  EXPECT_EQ(g_bAutoSwitchStream, 0);
  EXPECT_EQ(g_bShowLastFrame, 1);
  EXPECT_EQ(g_nCapturePicFmt, 2);
  EXPECT_EQ(g_nDefDisplayMode, 16);
  EXPECT_EQ(g_nKbConfigMode, 1);
  EXPECT_EQ(g_nMonitorMode, 0);
  EXPECT_EQ(g_bFilterAlarm, 1);
  EXPECT_EQ(g_nLoginType, 0);
  EXPECT_EQ(g_SyncTime.enable, 1);
  EXPECT_EQ(g_SyncTime.interval, 60);  // no "interval" attribute
  EXPECT_EQ(g_SyncTime.diff, 30);
  EXPECT_EQ(g_nBufferCount, 80);
  EXPECT_EQ(g_nBufferTick, 120);
  EXPECT_EQ(g_bAutoLogin, 1);
  EXPECT_EQ(g_nFullDisp, 1);  // FilpMode 1, then FullDisp 0, then the last FullDisp 1
  ASSERT_EQ(g_lstLoginInfo.size(), 2u);
  const LoginInfo& login = g_lstLoginInfo.front();
  EXPECT_EQ(FixedText(login.UserName), Gbk("张三"));
  EXPECT_STREQ(login.Password, "ABC");
  EXPECT_STREQ(login.SvrIp, "10.0.0.1");
  EXPECT_STREQ(login.SvrPort, "8000");
  EXPECT_EQ(login.LoginSvrFlg, 1);
  EXPECT_EQ(login.SaveFlg, 1);
  EXPECT_EQ(login.LastUsingFlg, 0);
  EXPECT_EQ(FixedText(login.SavePath), Gbk("D:\\录像\\"));
  const UserInfo& user = g_lstUserInfo.front();
  EXPECT_EQ(FixedText(user.GroupName), Gbk("值班"));
  EXPECT_EQ(FixedText(user.RoleName), Gbk("操作员"));
  EXPECT_EQ(FixedText(user.Desc), Gbk("夜班"));
  EXPECT_EQ(FixedText(g_lstGroupInfo.front().Desc), Gbk("说明"));
  const RoleInfo& role = g_lstRoleInfo.front();
  EXPECT_EQ(role.SurPTZ, 1);
  EXPECT_EQ(role.Record, 0);
  EXPECT_EQ(role.Alarm, 1);
  EXPECT_EQ(role.PTZ, 0);
  EXPECT_EQ(role.UserManager, 0);
  EXPECT_EQ(role.HighLeve, 1);
  EXPECT_EQ(FixedText(role.Desc), Gbk("角色"));
}

TEST_F(UserInfoStoreTest, SaveRoundTripsAtFieldLimitsAndKeepsWhatItDoesNotOwn) {
  InstallFixture("user_info.xml", "UserInfo.xml");
  ASSERT_EQ(LoadUserInfo(), 0);
  const std::string ch = Gbk("户");
  auto fill = [&](char* field, size_t size) {
    std::string text;
    while (text.size() + 2 <= size - 1) text += ch;
    std::memcpy(field, text.c_str(), text.size() + 1);
  };
  LoginInfo login;
  fill(login.UserName, sizeof login.UserName);
  fill(login.Password, sizeof login.Password);
  fill(login.SvrIp, sizeof login.SvrIp);
  std::strcpy(login.SvrPort, "123456789");
  fill(login.SavePath, sizeof login.SavePath);
  login.SaveFlg = -7;
  g_lstLoginInfo.push_back(login);
  UserInfo plain;
  std::strcpy(plain.UserName, "plain");
  std::strcpy(plain.Password, "secret");  // not a digest yet: stored as its digest
  fill(plain.Desc, sizeof plain.Desc);
  g_lstUserInfo.push_back(plain);
  g_SyncTime = {1, 15, 2};
  g_strTitle = Gbk("新标题");
  SaveUserInfo();

  const std::string saved = ReadBytes(ConfigFile("UserInfo.xml"));
  EXPECT_NE(saved.find("<BufferCount>80</BufferCount>"), std::string::npos);
  EXPECT_NE(saved.find("<BufferTick>120</BufferTick>"), std::string::npos);
  EXPECT_NE(saved.find("<Extra attr=\"x\">unknown element</Extra>"), std::string::npos);
  EXPECT_NE(saved.find("<SyncTime enable=\"1\" interval=\"15\" diff=\"2\" />"), std::string::npos);

  g_lstLoginInfo.clear();
  g_lstUserInfo.clear();
  ASSERT_EQ(LoadUserInfo(), 0);
  EXPECT_EQ(g_strTitle, Gbk("新标题"));
  ASSERT_EQ(g_lstLoginInfo.size(), 3u);
  const LoginInfo& back = g_lstLoginInfo.back();
  EXPECT_EQ(FixedText(back.UserName), FixedText(login.UserName));
  EXPECT_EQ(FixedText(back.Password), FixedText(login.Password));
  EXPECT_EQ(FixedText(back.SvrIp), FixedText(login.SvrIp));
  EXPECT_STREQ(back.SvrPort, "123456789");
  EXPECT_EQ(FixedText(back.SavePath), FixedText(login.SavePath));
  EXPECT_EQ(back.SaveFlg, -7);
  ASSERT_EQ(g_lstUserInfo.size(), 2u);
  EXPECT_STREQ(g_lstUserInfo.front().Password, "0123456789ABCDEF0123456789ABCDEF");
  char digest[33];
  Md5UpperHex("secret", digest);
  EXPECT_STREQ(g_lstUserInfo.back().Password, digest);
  EXPECT_EQ(FixedText(g_lstUserInfo.back().Desc), FixedText(plain.Desc));
}

TEST_F(UserInfoStoreTest, ElementsTakeEffectInDocumentOrder) {
  WriteBytes(ConfigFile("UserInfo.xml"),
             "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<UserInfo><mlog>1</mlog>"
             "<DispInfoSetting><Title>Late</Title></DispInfoSetting></UserInfo>");
  ASSERT_EQ(LoadUserInfo(), 0);
  EXPECT_TRUE(std::filesystem::exists(folder_.File("drives/D/-Log/clientlog.txt")));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("drives/D/Late-Log")));
}

TEST_F(UserInfoStoreTest, SaveWithoutAFileWritesNothing) {
  SaveUserInfo();
  EXPECT_FALSE(std::filesystem::exists(ConfigFile("UserInfo.xml")));
}
