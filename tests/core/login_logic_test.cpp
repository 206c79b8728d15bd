// The login rules without the window: digests, rights, saved logins, the lock
// check and the cloud answer.
#include "core/login_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/md5.h"
#include "core/rec_scheme_store.h"
#include "core/startup_settings.h"
#include "core/user_info_store.h"
#include "core/user_settings.h"
#include "tests/core/config_test_env.h"

namespace {

std::string Md5(const char* text) {
  char out[33];
  Md5UpperHex(text, out);
  return out;
}

class LoginLogicTest : public ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    LoadUserInfo();
    ASSERT_EQ(LoadUserInfo(), 0);
    UserInfo user;
    CopyFixedText(user.UserName, "op");
    CopyFixedText(user.Password, Md5("pw").c_str());
    CopyFixedText(user.RoleName, "viewer");
    g_lstUserInfo.push_back(user);
    CopyFixedText(user.UserName, "nobody");
    CopyFixedText(user.RoleName, "empty");
    g_lstUserInfo.push_back(user);
    RoleInfo viewer;
    CopyFixedText(viewer.RoleName, "viewer");
    viewer.Record = 1;
    viewer.HighLeve = 1;
    g_lstRoleInfo.push_back(viewer);
    RoleInfo empty;
    CopyFixedText(empty.RoleName, "empty");
    g_lstRoleInfo.push_back(empty);
    g_bCmdAutoLogin = 0;
  }
  void TearDown() override {
    g_bCmdAutoLogin = 0;
    g_szCurUser[0] = '\0';
    g_szCurPassword[0] = '\0';
    ConfigTest::TearDown();
  }
  static std::vector<int> Rights() { return std::vector<int>(g_nCurRights, g_nCurRights + kRightCount); }
};

TEST_F(LoginLogicTest, LocalLoginChecksDigestAndRoleRights) {
  const std::string adminDigest = g_lstUserInfo.front().Password;
  EXPECT_EQ(CheckLocalLogin("admin", adminDigest), kMsgLoginOk);
  EXPECT_EQ(Rights(), std::vector<int>(kRightCount, 1));  // admin: all seven, whatever its role
  EXPECT_EQ(CheckLocalLogin("admin", Md5("guess")), kMsgWrongPassword);
  std::string lower = adminDigest;
  std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
  EXPECT_EQ(CheckLocalLogin("admin", lower), kMsgWrongPassword);  // the local check is exact

  EXPECT_EQ(CheckLocalLogin("op", Md5("pw")), kMsgLoginOk);
  EXPECT_EQ(Rights(), (std::vector<int>{0, 0, 1, 0, 0, 1, 0}));
  EXPECT_EQ(CheckLocalLogin("nobody", Md5("pw")), kMsgNoRights);
  EXPECT_EQ(CheckLocalLogin("Admin", adminDigest), kMsgNoSuchUser);
  SetUserRights("no such role");
  EXPECT_EQ(Rights(), std::vector<int>(kRightCount, 0));
}

TEST_F(LoginLogicTest, InputChecksAndServerFieldsNameWhatIsMissing) {
  const std::string n32(32, 'n'), n33(33, 'n');
  struct Case {
    std::string name, password;
    int message;
  } cases[] = {{"", "p", 223}, {n33, "p", 233}, {n32, "", 224}, {"u", n33, 234}, {n32, n32, 0}};
  for (const Case& c : cases) EXPECT_EQ(CheckLoginInput(c.name, c.password), c.message) << c.name << "/" << c.password;
  EXPECT_EQ(CheckServerInput("", "80"), kMsgNoServerAddress);
  EXPECT_EQ(CheckServerInput("host", ""), kMsgNoServerPort);
  EXPECT_EQ(CheckServerInput(std::string(64, 'h'), "80"), kMsgServerAddressTooLong);
  EXPECT_EQ(CheckServerInput(std::string(63, 'h'), "80"), kMsgLoginOk);
  EXPECT_EQ(TrimBlanks(" \t a b \r\n"), "a b");
}

// The one resolved login-server address: the UDP login reads it.
TEST_F(LoginLogicTest, LoginServerAddressIsKeptDotted) {
  CopyFixedText(g_szLoginSvrIp, "");
  EXPECT_EQ(ResolveLoginServerAddress("localhost"), 0);
  EXPECT_STREQ(g_szLoginSvrIp, "127.0.0.1");
  EXPECT_EQ(ResolveLoginServerAddress("10.1.2.3"), 0);
  EXPECT_STREQ(g_szLoginSvrIp, "10.1.2.3");
  EXPECT_NE(ResolveLoginServerAddress(""), 0);
  EXPECT_STREQ(g_szLoginSvrIp, "10.1.2.3") << "a failure keeps the address";
  CopyFixedText(g_szLoginSvrIp, "");
}

TEST_F(LoginLogicTest, AttemptDigestTakesASavedDigestAsItIs) {
  LoginForm form{"op", "pw", "", "", true, false, false};
  SaveLoginInfo(form);
  const std::string digest = Md5("pw");
  EXPECT_EQ(AttemptDigest("op", digest, false), digest);                // saved password shown as its digest
  EXPECT_EQ(AttemptDigest("op", digest, true), Md5(digest.c_str()));    // lock mode always digests
  EXPECT_EQ(AttemptDigest("op", "pw", false), digest);
  EXPECT_EQ(AttemptDigest("stranger", digest, false), Md5(digest.c_str()));
  g_lstLoginInfo.front().SaveFlg = 0;
  EXPECT_EQ(AttemptDigest("op", digest, false), Md5(digest.c_str()));
  g_bCmdAutoLogin = 1;  // automatic login from the command line takes the stored text
  EXPECT_EQ(AttemptDigest("op", digest, false), digest);
  EXPECT_EQ(CloudDigest("short"), Md5("short"));
  EXPECT_EQ(CloudDigest(digest), digest);
}

TEST_F(LoginLogicTest, AtMostFiveSavedLoginsOldestGoesFirst) {
  for (const char* name : {"u1", "u2", "u3", "u4", "u5"}) SaveLoginInfo({name, "pw", "", "", true, true, false});
  SaveLoginInfo({"u2", "pw", "srv", "81", false, false, true});  // an existing one becomes the last used
  ASSERT_EQ(g_lstLoginInfo.size(), 5u);
  EXPECT_EQ(g_bAutoLogin, 0);
  // The dialog offers the first saved login marked as last used.
  const auto first = std::find_if(g_lstLoginInfo.begin(), g_lstLoginInfo.end(),
                                  [](const LoginInfo& login) { return login.LastUsingFlg == 1; });
  ASSERT_NE(first, g_lstLoginInfo.end());
  EXPECT_STREQ(first->UserName, "u2");
  EXPECT_EQ(FindSavedLogin("u2")->SaveFlg, 0);
  EXPECT_STREQ(FindSavedLogin("u2")->SvrIp, "srv");

  SaveLoginInfo({"u6", "pw", "", "", false, true, false});  // the sixth pushes out the oldest
  ASSERT_EQ(g_lstLoginInfo.size(), 5u);
  EXPECT_EQ(FindSavedLogin("u1"), nullptr);
  EXPECT_STREQ(g_lstLoginInfo.back().UserName, "u6");
  EXPECT_STREQ(g_lstLoginInfo.back().Password, "");  // not saved without the check
  EXPECT_EQ(g_bAutoLogin, 1);

  // The file keeps them: a fresh load reads the same five.
  g_lstLoginInfo.clear();
  ASSERT_EQ(LoadUserInfo(), 0);
  ASSERT_EQ(g_lstLoginInfo.size(), 5u);
  EXPECT_STREQ(g_lstLoginInfo.front().UserName, "u2");
  EXPECT_STREQ(FindSavedLogin("u3")->Password, Md5("pw").c_str());
}

TEST_F(LoginLogicTest, LockModeAsksTheCurrentUsersPassword) {
  SetCurrentUser("op", Md5("pw"), false);
  std::string lower = Md5("pw");
  std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
  EXPECT_EQ(CheckLockPassword("op", lower), kMsgLoginOk);  // letter case does not count here
  EXPECT_EQ(CheckLockPassword("op", Md5("px")), kMsgWrongPassword);
  EXPECT_EQ(CheckLockPassword("admin", Md5("pw")), kMsgNoSuchUser);
}

const char kCloudDevices[] =
    "<xml><err>0</err><ls>"
    "<dev><DevID>1001</DevID><devsn>SN-1</devsn><devname>Gate</devname><devtype>100</devtype>"
    "<devip>10.0.0.5</devip><devwebport>80</devwebport><devptzport>5000</devptzport><devvideoport>554</devvideoport>"
    "<devloginuser>admin</devloginuser><devloginpass>pw1</devloginpass>"
    "<devreginfo>&lt;network ip=\"1\"/&gt;</devreginfo></dev>"
    "<dev><DevID>1002</DevID><devsn>SN-2</devsn><devname></devname><devtype>200</devtype><devip>10.0.0.6</devip></dev>"
    "<dev><DevID>1003</DevID><devsn>SN-2</devsn><devtype>300</devtype><devip>10.0.0.7</devip></dev>"
    "<dev><DevID>1004</DevID><devsn>SN-4</devsn><devname>NoAddress</devname></dev>"
    "</ls></xml>";

TEST_F(LoginLogicTest, CloudAnswerReplacesTheDeviceListOnlyWhenAccepted) {
  DevInfo local;
  CopyFixedText(local.DevName, "local camera");
  CopyFixedText(local.DevSN, "LOCAL");
  g_lstDevInfo.push_back(local);

  for (const char* refused : {"<xml><err>1</err></xml>", "not xml at all", ""}) {
    SCOPED_TRACE(refused);
    EXPECT_NE(ApplyCloudAnswer(refused), 0);
    ASSERT_EQ(g_lstDevInfo.size(), 1u);  // a refusal keeps the local list, so exit saves it intact
    EXPECT_STREQ(g_lstDevInfo.front().DevName, "local camera");
  }

  ASSERT_EQ(ApplyCloudAnswer(kCloudDevices), 0);
  ASSERT_EQ(g_lstDevInfo.size(), 2u);  // the duplicate serial and the device without address are skipped
  const DevInfo& gate = g_lstDevInfo.front();
  EXPECT_STREQ(gate.DevName, "Gate");
  EXPECT_STREQ(gate.DevId, "1001");
  EXPECT_EQ(gate.DevType, 1);
  EXPECT_EQ(gate.WebPort, 80);
  EXPECT_EQ(gate.PtzPort, 5000);
  EXPECT_EQ(gate.VideoPort, 554);
  EXPECT_STREQ(gate.LoginPsw, "pw1");
  EXPECT_STREQ(gate.GroupName, "Default");
  const DevInfo& nvr = g_lstDevInfo.back();
  EXPECT_STREQ(nvr.DevName, "1002");  // no name: the device id names it
  EXPECT_EQ(nvr.DevType, kDevTypeNvr);
  const std::string log = ReadBytes(folder_.File("drives/D/Vemo-Log/clientlog.txt"));
  EXPECT_NE(log.find("DevName=Gate, GimbroId=0, ip=10.0.0.5, port=554, name=admin, psw=******"), std::string::npos);
  EXPECT_EQ(log.find("pw1"), std::string::npos);  // device passwords never reach the log in clear

  CopyFixedText(g_szInstallNumber, "N1");
  ASSERT_EQ(ApplyCloudAnswer(kCloudDevices), 0);
  EXPECT_EQ(std::string(g_lstDevInfo.front().LoginPsw), Md5("pw1"));
  g_szInstallNumber[0] = '\0';
}

TEST(MaskSecret, NeverShowsThePassword) {
  EXPECT_STREQ(MaskSecret("pw1"), "******");
  EXPECT_STREQ(MaskSecret(""), "");
  EXPECT_STREQ(MaskSecret(nullptr), "");
}

}  // namespace
