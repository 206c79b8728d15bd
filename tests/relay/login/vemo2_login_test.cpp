// The relay login pass over "Config\VssInfo.xml" against this process's own
// forwarding server on 127.0.0.1.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QWidget>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "common/wait_for.h"
#include "pelk/pelk.h"
#include "pelk/pelk_engine.h"
#include "pelk/pelk_server.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "platform/wnd.h"
#include "relay/login/vemo2_login.h"
#include "relay/login/vss_info.h"
#include "relay/login/vss_info_file.h"
#include "relay/relay_messages.h"

namespace {

constexpr char kDigest[] = "E10ADC3949BA59ABBE56E057F20F883E";

// The main window as the relay sees it: it checks peers (user "admin", the
// digest above) and takes the login results.
class LoginWindow : public QWidget, public CWnd {
 public:
  LoginWindow() : CWnd(this) {}
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_RELAY_CHECK_USER) {
      const bool user = std::strcmp(reinterpret_cast<const char*>(wParam), "admin") == 0;
      return user && Pelk_CheckPassword(reinterpret_cast<const PelkPasswordVerifier*>(lParam), kDigest) ? 0 : 1;
    }
    if (msg != WM_VSS_LOGIN_RESULT) return 0;
    if (lParam == 1) {
      ended = true;
    } else {
      results.emplace_back(reinterpret_cast<Vemo2Node*>(wParam));
    }
    return 0;
  }
  std::vector<std::unique_ptr<Vemo2Node>> results;
  bool ended = false;
};

class Vemo2LoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder_.File("Config"));
    paths::SetProgramFolder(folder_.Path());
    Pelk_SetMsgWnd(window_.GetSafeHwnd());
    ASSERT_EQ(Pelk_StartTS("127.0.0.1", 0, 4, 4), 1);
    port_ = pelk::Engine::Default().server().Port();
  }
  void TearDown() override {
    for (const auto& node : window_.results) Pelk_LoginOut(node->nLoginHandle);
    Pelk_StopTS();
    Pelk_SetMsgWnd(nullptr);
    Pelk_Release();
    paths::SetProgramFolder("");
  }
  std::string File() const { return folder_.File("Config/VssInfo.xml"); }
  void Write(const std::string& text) const { fileapi::WriteWhole(File(), text.data(), text.size()); }
  std::string Server(const char* name, const char* address, int port, const char* password = kDigest) const {
    return std::string("<Vemo2Node DevName=\"") + name + "\" IPAddr=\"" + address + "\" LoginName=\"admin\" Password=\"" +
           password + "\" nPort=\"" + std::to_string(port) + "\" />";
  }
  void Run() {
    CVemo2Login login;
    login.SetNotifyWnd(window_.GetSafeHwnd());
    ASSERT_TRUE(login.Start());
    ASSERT_TRUE(WaitFor([&] { return window_.ended; }, 30000));
    login.Stop();
  }

  TempFolder folder_;
  LoginWindow window_;
  int port_ = 0;
};

}  // namespace

TEST_F(Vemo2LoginTest, AnEmptyListPostsOnlyTheEnd) {
  Write("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<VssList>\n</VssList>");
  Run();
  EXPECT_TRUE(window_.results.empty());
}

// In file order: a server that refuses the password, one named by host name,
// one whose name does not resolve, one that does not listen. Only the second
// is reported, with its address as written.
TEST_F(Vemo2LoginTest, EachServerIsTriedAndOnlyLoginsAreReported) {
  Write("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<VssList>\n" +
        Server("Refuses", "127.0.0.1", port_, "00000000000000000000000000000000") + "\n" +
        Server("Named", "localhost", port_) + "\n" + Server("Nowhere", "no-such-host.invalid", port_) + "\n" +
        Server("Closed", "127.0.0.1", 1) + "\n</VssList>");
  Run();
  ASSERT_EQ(window_.results.size(), 1u);
  const Vemo2Node& node = *window_.results[0];
  EXPECT_NE(node.nLoginHandle, 0);
  EXPECT_STREQ(node.DevName, "Named");
  EXPECT_STREQ(node.IPAddr, "localhost");
  EXPECT_EQ(node.nPort, port_);
  EXPECT_STREQ(node.LoginName, "admin");
  EXPECT_STREQ(node.Password, kDigest);
  EXPECT_FALSE(node.bHasDeviceList);
  EXPECT_EQ(pelk::Engine::Default().server().LoggedInPeers(), 1u);
}

TEST_F(Vemo2LoginTest, AFileThatCannotBeLoadedIsWrittenEmptyInOneBlock) {
  for (const char* content : {"", "<VssList><Vemo2Node"}) {
    if (*content) {
      Write(content);
    } else {
      std::filesystem::remove(File());
    }
    window_.ended = false;
    Run();
    EXPECT_TRUE(window_.results.empty());
    std::string written;
    ASSERT_TRUE(fileapi::ReadWhole(File(), written));
    ASSERT_EQ(written.size(), kVssInfoBlockSize);
    EXPECT_EQ(written.substr(0, std::strlen(kVssInfoEmpty)), kVssInfoEmpty);
    EXPECT_EQ(written.find_first_not_of('\0', std::strlen(kVssInfoEmpty)), std::string::npos);
  }
}

TEST_F(Vemo2LoginTest, MissingAttributesReadAsEmptyAndPortZero) {
  Write("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Anything>\n<Vemo2Node DevName=\"OnlyName\" />\n"
        "<Other IPAddr=\"10.1.1.1\" nPort=\"8899\" /></Anything>");
  std::vector<VssServerEntry> servers;
  ASSERT_TRUE(ReadVssInfoFile(&servers));
  ASSERT_EQ(servers.size(), 2u);
  EXPECT_STREQ(servers[0].DevName, "OnlyName");
  EXPECT_STREQ(servers[0].IPAddr, "");
  EXPECT_EQ(servers[0].nPort, 0);
  EXPECT_STREQ(servers[1].IPAddr, "10.1.1.1");
  EXPECT_EQ(servers[1].nPort, 8899);
  EXPECT_STREQ(servers[1].LoginName, "");
}

TEST(Vemo2LoginAddress, DottedAddressesStayAndNamesResolve) {
  EXPECT_EQ(CVemo2Login::DottedAddress("192.168.1.20"), "192.168.1.20");
  EXPECT_EQ(CVemo2Login::DottedAddress("localhost"), "127.0.0.1");
  EXPECT_EQ(CVemo2Login::DottedAddress("no-such-host.invalid"), "");
  EXPECT_EQ(CVemo2Login::DottedAddress(""), "");
}
