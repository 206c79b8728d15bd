// What the login server's device notices carry, and the cloud answer that
// describes an added device.
#include "relay/udp/udp_device_notice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/fixed_text.h"
#include "core/md5.h"
#include "core/startup_settings.h"

namespace {

std::vector<uint8_t> Notice(uint64_t id, uint32_t code, const std::string& text, size_t size = 1232) {
  std::vector<uint8_t> block(size, 0);
  std::memcpy(block.data(), "rnvq", 4);
  block[10] = 2;
  for (int i = 0; i < 8; ++i) block[16 + i] = static_cast<uint8_t>(id >> (8 * i));
  for (int i = 0; i < 4; ++i) block[24 + i] = static_cast<uint8_t>(code >> (8 * i));
  std::memcpy(block.data() + 28, text.data(), std::min(text.size(), size - 28));
  return block;
}

TEST(DeviceNotice, IdCodeAndTextOfTheBlock) {
  const std::vector<uint8_t> block = Notice(18446744073709551615ull, 100001004, "ip:10.0.0.9\r\nptz:5000");
  const auto notice = udplogin::ReadDeviceNotice(block.data(), block.size());
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->deviceId, "18446744073709551615");
  EXPECT_EQ(notice->code, udplogin::kNoticeNewAddresses);
  EXPECT_EQ(notice->text, "ip:10.0.0.9\r\nptz:5000");

  // A text without its terminator ends with the block; nothing past it is read.
  const std::vector<uint8_t> full = Notice(7, 100001001, std::string(2000, 'x'));
  const auto long_ = udplogin::ReadDeviceNotice(full.data(), full.size());
  ASSERT_TRUE(long_);
  EXPECT_EQ(long_->deviceId, "7");
  EXPECT_EQ(long_->text, std::string(1232 - 28, 'x'));

  const std::vector<uint8_t> shorter = Notice(7, 100001001, "", 1231);
  EXPECT_FALSE(udplogin::ReadDeviceNotice(shorter.data(), shorter.size()));
  EXPECT_FALSE(udplogin::ReadDeviceNotice(nullptr, 1232));
}

TEST(DeviceNotice, NewAddressTextNeedsFiveGoodLines) {
  const auto good = udplogin::ReadNewAddresses("ip:10.0.0.9\r\nptz:5000\r\nweb:80\r\nvideo:554\r\nph:1");
  ASSERT_TRUE(good);
  EXPECT_EQ(good->ip, "10.0.0.9");
  EXPECT_EQ(good->ptzPort, 5000);
  EXPECT_EQ(good->videoPort, 554);
  const auto colons = udplogin::ReadNewAddresses("a:b:c\r\n:6000\r\n\r\nv:1\r\n\r\n");
  ASSERT_TRUE(colons) << "only the part after the first ':' counts; a last line end adds no line";
  EXPECT_EQ(colons->ip, "b:c");
  EXPECT_EQ(colons->ptzPort, 6000);
  EXPECT_EQ(colons->videoPort, 1);

  for (const char* bad : {"", "ip:1.2.3.4\r\nptz:1\r\nx\r\nvideo:2",                 // four lines
                          "ip:1.2.3.4\r\nptz:1\r\nx\r\nvideo:2\r\ny\r\nz",          // six lines
                          "ip:1.2.3.4\r\nptz:1\r\nx\r\nvideo:2\r\ny\r\n\r\n",      // six, the last empty
                          "1.2.3.4\r\nptz:1\r\nx\r\nvideo:2\r\ny",                 // no ':' in line 1
                          "ip:\r\nptz:1\r\nx\r\nvideo:2\r\ny",                     // empty address
                          "ip:1.2.3.4\r\nptz:0\r\nx\r\nvideo:2\r\ny",              // port 0
                          "ip:1.2.3.4\r\nptz:65536\r\nx\r\nvideo:2\r\ny",          // port too big
                          "ip:1.2.3.4\r\nptz:12ab\r\nx\r\nvideo:2\r\ny",           // not a number
                          "ip:1.2.3.4\r\nptz:1\r\nx\r\nvideo:-2\r\ny"}) {
    std::string why;
    EXPECT_FALSE(udplogin::ReadNewAddresses(bad, &why)) << bad;
    EXPECT_FALSE(why.empty()) << bad;
  }
  EXPECT_FALSE(udplogin::ReadNewAddresses("ip:" + std::string(256, '9') + "\r\nptz:1\r\nx\r\nvideo:2\r\ny"))
      << "an address that does not fit the record";
}

std::string Record(const std::string& extra) {
  return "<dev><DevID>2001</DevID><devsn>SN-9</devsn><devname>Dock</devname><devtype>100</devtype>"
         "<devip>203.0.113.7</devip><devwebport>81</devwebport><devptzport>7000</devptzport>"
         "<devvideoport>8554</devvideoport><devloginuser>admin</devloginuser><devloginpass>pw9</devloginpass>" +
         extra + "</dev>";
}

TEST(DeviceNotice, CloudAnswerGivesTheDevice) {
  DevInfo device;
  ASSERT_TRUE(udplogin::ReadNoticeDeviceAnswer(
      ("<xml><err>0</err><msg>ok</msg><ip>198.51.100.1</ip><ls>" + Record("") + "</ls></xml>").c_str(), &device));
  EXPECT_STREQ(device.DevId, "2001");
  EXPECT_STREQ(device.DevSN, "SN-9");
  EXPECT_STREQ(device.DevName, "Dock");
  EXPECT_EQ(device.DevType, 1);
  EXPECT_STREQ(device.IPAddr, "203.0.113.7");
  EXPECT_EQ(device.PtzPort, 7000);
  EXPECT_EQ(device.WebPort, 0) << "only the registration's network gives the web port";
  EXPECT_EQ(device.VideoPort, 0);
  EXPECT_STREQ(device.LoginName, "admin");
  EXPECT_STREQ(device.LoginPsw, "pw9");

  // Seen from the device's own network: its local address and ports count.
  const std::string regInfo =
      "<devreginfo>&lt;reg&gt;&lt;network&gt;&lt;ip&gt;192.168.1.20&lt;/ip&gt;&lt;web&gt;8080&lt;/web&gt;"
      "&lt;ptz&gt;6001&lt;/ptz&gt;&lt;ph&gt;1&lt;/ph&gt;&lt;video&gt;554&lt;/video&gt;&lt;/network&gt;&lt;/reg&gt;"
      "</devreginfo>";
  ASSERT_TRUE(udplogin::ReadNoticeDeviceAnswer(
      ("<xml><err>0</err><ip>192.168.1.20</ip><ls>" + Record(regInfo) + "</ls></xml>").c_str(), &device));
  EXPECT_STREQ(device.IPAddr, "192.168.1.20");
  EXPECT_EQ(device.PtzPort, 6001);
  EXPECT_EQ(device.WebPort, 8080);
  EXPECT_EQ(device.VideoPort, 554);
  ASSERT_TRUE(udplogin::ReadNoticeDeviceAnswer(
      ("<xml><err>0</err><ip>198.51.100.1</ip><ls>" + Record(regInfo) + "</ls></xml>").c_str(), &device));
  EXPECT_STREQ(device.IPAddr, "203.0.113.7") << "another network keeps the device's outside address";

  // NVR types, the last record, an empty name, a digest when the installer asks for one.
  CopyFixedText(g_szInstallNumber, "42");
  ASSERT_TRUE(udplogin::ReadNoticeDeviceAnswer(
      "<xml><ls><dev><DevID>1</DevID><devtype>100</devtype><devip>10.0.0.1</devip><devsn>OLD</devsn></dev>"
      "<dev><DevID>3003</DevID><devtype>400</devtype><devip>10.0.0.3</devip><devloginpass>pw</devloginpass></dev>"
      "</ls></xml>",
      &device));
  CopyFixedText(g_szInstallNumber, "");
  EXPECT_STREQ(device.DevId, "3003");
  EXPECT_STREQ(device.DevName, "3003");
  EXPECT_STREQ(device.DevSN, "") << "each record starts from a zeroed one";
  EXPECT_EQ(device.DevType, 4);
  char digest[33];
  Md5UpperHex("pw", digest);
  EXPECT_STREQ(device.LoginPsw, digest);
}

TEST(DeviceNotice, CloudAnswersThatAddNothing) {
  for (const std::string& bad :
       {std::string(""), std::string("not xml"), std::string("<xml><err>1</err><ls>") + Record("") + "</ls></xml>",
        "<xml><ls>" + Record("") + "</ls><err>5</err></xml>", std::string("<xml><err>0</err><ls/></xml>"),
        std::string("<xml><err>0</err><ls><dev><DevID>1</DevID><devsn>S</devsn></dev></ls></xml>")}) {
    DevInfo device;
    std::string why;
    EXPECT_FALSE(udplogin::ReadNoticeDeviceAnswer(bad.c_str(), &device, &why)) << bad;
    EXPECT_FALSE(why.empty());
  }
  DevInfo device;
  EXPECT_TRUE(udplogin::ReadNoticeDeviceAnswer(("<xml><ls>" + Record("") + "</ls><err>0</err></xml>").c_str(), &device));
}

}  // namespace
