// The login dialog's cloud path against the fake cloud service.
#include <gtest/gtest.h>

#include <string>

#include "cloud_server_process.h"
#include "core/cloud_client.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/login_logic.h"
#include "core/md5.h"
#include "tests/core/config_test_env.h"

namespace {

class CloudLoginTest : public ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    DevInfo local;
    CopyFixedText(local.DevName, "local camera");
    CopyFixedText(local.DevSN, "LOCAL");
    g_lstDevInfo.push_back(local);
  }
};

TEST_F(CloudLoginTest, AcceptedRefusedAndUnreachable) {
  CloudServerProcess server("ok");
  ASSERT_GT(server.Port(), 0);
  int cloudResult = -1;
  EXPECT_EQ(RunCloudLogin("127.0.0.1", server.Port(), "alice", CloudDigest("wrong"), &cloudResult), kMsgWrongPassword);
  EXPECT_EQ(cloudResult, kCloudOk);
  ASSERT_EQ(g_lstDevInfo.size(), 1u);  // refused: the local list stays for the exit's save
  EXPECT_STREQ(g_lstDevInfo.front().DevSN, "LOCAL");

  EXPECT_EQ(RunCloudLogin("127.0.0.1", ClosedPort(), "alice", CloudDigest("secret"), &cloudResult), kMsgLoginFailed);
  EXPECT_EQ(cloudResult, kCloudNotWritable);
  EXPECT_EQ(g_lstDevInfo.size(), 1u);

  EXPECT_EQ(RunCloudLogin("127.0.0.1", server.Port(), "alice", CloudDigest("secret"), &cloudResult), kMsgLoginOk);
  ASSERT_EQ(g_lstDevInfo.size(), 2u);
  EXPECT_STREQ(g_lstDevInfo.front().DevSN, "SN-1");
  EXPECT_STREQ(g_lstDevInfo.back().DevName, "1002");
}

TEST_F(CloudLoginTest, BrokenServersLeaveTheListAlone) {
  for (const char* mode : {"garbage", "noxml", "nocookie"}) {
    SCOPED_TRACE(mode);
    CloudServerProcess server(mode);
    ASSERT_GT(server.Port(), 0);
    int cloudResult = -1;
    EXPECT_EQ(RunCloudLogin("127.0.0.1", server.Port(), "alice", CloudDigest("secret"), &cloudResult),
              kMsgLoginFailed);
    EXPECT_EQ(cloudResult, kCloudNoCookie);
    EXPECT_EQ(g_lstDevInfo.size(), 1u);
  }
}

}  // namespace
