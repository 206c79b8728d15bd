// The cloud account client against a real HTTP server on 127.0.0.1.
#include "core/cloud_client.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "cloud_server_process.h"
#include "common/temp_folder.h"
#include "core/base64.h"
#include "core/cloud_client_testing.h"
#include "core/md5.h"

namespace {

const char kHead[] =
    "Accept-Language: zh-cn\nAccept: */*;\r\nContent-Type: application/x-www-form-urlencoded; "
    "charset=UTF-8\t\t\t\t\t   \r\nUser-Agent: ondrex/dev\n";

std::string Digest(const char* password) {
  char out[33];
  Md5UpperHex(password, out);
  return out;
}

struct Answer {
  int result = -1;
  int size = 0;
  std::string body;
};

Answer Login(int port, const char* user, const std::string& digest, const char* devId = nullptr,
             int capacity = kCloudAnswerBufferSize) {
  auto buffer = std::make_unique<char[]>(capacity);
  std::strcpy(buffer.get(), "untouched");
  Answer answer;
  answer.size = capacity;
  answer.result = devId == nullptr
                      ? CloudLogin("127.0.0.1", port, user, digest.c_str(), buffer.get(), &answer.size)
                      : CloudLoginEx("127.0.0.1", port, user, digest.c_str(), devId, buffer.get(), &answer.size);
  answer.body = buffer.get();
  return answer;
}

// Each test waits as the program does (8 s); a case that waits for nothing
// shortens the wait, so that it does not take that long.
class CloudClientTest : public ::testing::Test {
 protected:
  void TearDown() override { SetCloudWaitMsForTesting(0); }
};
constexpr int kShortWaitMs = 1500;

TEST_F(CloudClientTest, LoginSendsTheExactRequestsAndReturnsTheDeviceList) {
  CloudServerProcess server("ok");
  ASSERT_GT(server.Port(), 0);
  const Answer answer = Login(server.Port(), "alice", Digest("secret"));
  ASSERT_EQ(answer.result, kCloudOk);
  EXPECT_EQ(answer.size, static_cast<int>(answer.body.size()));
  EXPECT_NE(answer.body.find("<devsn>SN-1</devsn>"), std::string::npos);
  EXPECT_TRUE(answer.body.ends_with("</xml>"));

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  const std::string port = std::to_string(server.Port());
  EXPECT_EQ(requests[0], std::string("POST /comm/getrand.php HTTP/1.0\r\n") + kHead + "Host: 127.0.0.1:" + port +
                             "\r\nContent-Length: 0\r\nConnection: Keep-Alive\r\n\r\n");
  const std::string& login = requests[1];
  const std::string start = std::string("POST /client/login.php HTTP/1.0\r\n") + kHead + "Host: 127.0.0.1\r\n";
  ASSERT_EQ(login.substr(0, start.size()), start);
  const size_t body = login.find("\r\n\r\n") + 4;
  EXPECT_NE(login.find("Cookie: PHPSESSID=s1d2\r\n\r\n"), std::string::npos);
  EXPECT_NE(login.find("Content-Length: " + std::to_string(login.size() - body) + "\r\n"), std::string::npos);
  EXPECT_EQ(login.substr(body, 9), "authcode=");
  EXPECT_EQ(login.find('+', body), std::string::npos);  // "+" travels as "%2B"
}

TEST_F(CloudClientTest, WrongPasswordAndDeviceIdAndEmptyRandom) {
  CloudServerProcess server("ok");
  ASSERT_GT(server.Port(), 0);
  Answer refused = Login(server.Port(), "alice", Digest("wrong"));
  EXPECT_EQ(refused.result, kCloudOk);
  EXPECT_EQ(refused.body, "<xml><err>1</err></xml>");

  const Answer withId = Login(server.Port(), "alice", Digest("secret"), "DEV77");
  EXPECT_EQ(withId.result, kCloudOk);
  const std::string login = server.Requests().back();
  const size_t body = login.find("\r\n\r\n") + 4;
  EXPECT_TRUE(login.ends_with("&devid=DEV77"));
  EXPECT_NE(login.find("Content-Length: " + std::to_string(login.size() - body) + "\r\n"), std::string::npos);

  CloudServerProcess noRandom("norand");  // the key then comes from an empty random
  ASSERT_GT(noRandom.Port(), 0);
  EXPECT_NE(Login(noRandom.Port(), "alice", Digest("secret")).body.find("<ls>"), std::string::npos);
}

// Servers and editors end a text with a line break: white space after the
// closing tag still makes a whole answer, and the body ends at the tag.
// Anything else after it is no whole answer.
TEST_F(CloudClientTest, WhiteSpaceAfterTheClosingTagStillEndsTheAnswer) {
  const std::string device = "<xml><err>0</err><ls><dev><DevID>77</DevID></dev></ls></xml>";
  struct Case {
    const char* after;
    bool whole;
  } cases[] = {{"", true}, {"\n", true}, {"\r\n", true}, {" \t\r\n\r\n", true}, {"\nx", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.after)));
    TempFolder folder;
    const std::string file = folder.File("device.xml");
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs((device + c.after).c_str(), out);
    std::fclose(out);
    CloudServerProcess server("ok", file);
    ASSERT_GT(server.Port(), 0);
    const Answer answer = Login(server.Port(), "alice", Digest("secret"), "77");
    EXPECT_EQ(answer.result, kCloudOk);
    EXPECT_EQ(answer.body, c.whole ? device : std::string("untouched"));
    EXPECT_EQ(answer.size, c.whole ? static_cast<int>(device.size()) : 0);
  }
}

TEST_F(CloudClientTest, AnOverlongCookieIsCutToItsBuffer) {
  CloudServerProcess server("longcookie");
  ASSERT_GT(server.Port(), 0);
  EXPECT_EQ(Login(server.Port(), "alice", Digest("secret")).result, kCloudOk);
  const std::string login = server.Requests().at(1);
  const size_t start = login.find("Cookie:") + 7;
  // The blank and 1022 of the 5000 letters: the 1024-byte buffer with its zero.
  EXPECT_EQ(login.substr(start, login.find("\r\n", start) - start), " " + std::string(1022, 'L'));
}

TEST_F(CloudClientTest, DeviceInformationRequest) {
  CloudServerProcess server("ok");
  ASSERT_GT(server.Port(), 0);
  char body[1024];
  int size = sizeof body;
  ASSERT_EQ(CloudGetDevInfo("127.0.0.1", server.Port(), "D-42", body, &size), kCloudOk);
  EXPECT_STREQ(body, "<xml><err>0</err><dev><DevID>D-42</DevID></dev></xml>");
  EXPECT_EQ(size, static_cast<int>(std::strlen(body)));
  const std::string port = std::to_string(server.Port());
  EXPECT_EQ(server.Requests().at(0), std::string("POST /client/getdevinfo.php HTTP/1.0\r\n") + kHead +
                                         "Host: 127.0.0.1:" + port +
                                         "\r\nContent-Length: 10\r\nConnection: Keep-Alive\r\n\r\ndevid=D-42");
  size = sizeof body;
  EXPECT_EQ(CloudGetDevInfo("127.0.0.1", server.Port(), "", body, &size), kCloudNoDevId);
  EXPECT_EQ(CloudGetDevInfo("127.0.0.1", server.Port(), "D", nullptr, &size), kCloudNoBodyBuffer);
}

TEST_F(CloudClientTest, MissingArgumentsAndUnknownHost) {
  char body[16];
  int size = sizeof body;
  EXPECT_EQ(CloudLogin("127.0.0.1", 1, "a", "b", nullptr, &size), kCloudNoBodyBuffer);
  EXPECT_EQ(CloudLogin("127.0.0.1", 1, "", "b", body, &size), kCloudNoCredentials);
  EXPECT_EQ(CloudLogin("127.0.0.1", 1, "a", "", body, &size), kCloudNoCredentials);
  EXPECT_EQ(CloudLogin("no-such-host.invalid", 80, "a", "b", body, &size), kCloudNoHost);
}

// Each failing server gives its result at once (or after one short wait: the
// reading of an answer as a whole lasts one wait at most) and never a body.
TEST_F(CloudClientTest, ServerFailures) {
  struct Case {
    const char* mode;
    int result;
    int waitMs;  // 0: the program's
  } cases[] = {
      {"close", kCloudNoCookie, 0},    // nothing came back: no cookie, no login request
      {"partial", kCloudNoCookie, 0},  // the answer stops before "</xml>"
      {"noxml", kCloudNoCookie, 0},
      {"garbage", kCloudNoCookie, 0},
      {"huge", kCloudNoCookie, 0},     // the 2097152 bytes fill up before "</xml>"
      {"nocookie", kCloudNoCookie, 0},
      {"silent", kCloudNoAnswer, kShortWaitMs},
      {"trickle", kCloudNoAnswer, kShortWaitMs},  // each byte within the wait, the whole answer not
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    SetCloudWaitMsForTesting(c.waitMs);
    CloudServerProcess server(c.mode);
    ASSERT_GT(server.Port(), 0);
    const Answer answer = Login(server.Port(), "alice", Digest("secret"));
    EXPECT_EQ(answer.result, c.result);
    EXPECT_EQ(answer.body, "untouched");
    EXPECT_EQ(server.Requests().size(), 1u);  // the login request was never sent
  }
  const Answer refused = Login(ClosedPort(), "alice", Digest("secret"));
  EXPECT_EQ(refused.result, kCloudNotWritable);
}

TEST_F(CloudClientTest, OneExchangeWithBrokenAnswers) {
  const char request[] = "POST /client/getdevinfo.php HTTP/1.0\r\nContent-Length: 0\r\n\r\n";
  for (const char* mode : {"noxml", "partial", "garbage"}) {
    SCOPED_TRACE(mode);
    CloudServerProcess server(mode);
    ASSERT_GT(server.Port(), 0);
    char body[64] = "old";
    char cookie[kCloudCookieSize] = "stale";
    int size = sizeof body;
    EXPECT_EQ(CloudHttpPost(&size, cookie, "127.0.0.1", server.Port(), request, sizeof request - 1, body), kCloudOk);
    EXPECT_EQ(size, 0);
    EXPECT_STREQ(cookie, "");  // never a stale cookie
  }
  CloudServerProcess ok("ok");  // a whole answer larger than the caller's buffer
  ASSERT_GT(ok.Port(), 0);
  char small[20] = "old";
  int smallSize = sizeof small;
  EXPECT_EQ(CloudGetDevInfo("127.0.0.1", ok.Port(), "D-42", small, &smallSize), kCloudBodyTooBig);
  EXPECT_EQ(smallSize, 0);
  EXPECT_STREQ(small, "old");

  CloudServerProcess huge("huge");  // 3 MB: the 2097152-byte buffer fills without "</xml>"
  ASSERT_GT(huge.Port(), 0);
  auto big = std::make_unique<char[]>(kCloudAnswerBufferSize);
  int size = kCloudAnswerBufferSize;
  EXPECT_EQ(CloudHttpPost(&size, nullptr, "127.0.0.1", huge.Port(), request, sizeof request - 1, big.get()),
            kCloudOk);
  EXPECT_EQ(size, 0);
}

TEST(AuthCodeEncode, KeyXorAndBase64) {
  const char text[] = "<xml><user>u</user><pass>p</pass></xml>";
  char out[kCloudAuthCodeMax];
  const int length = AuthCodeEncode("r1", reinterpret_cast<const unsigned char*>(text), sizeof text - 1, out);
  ASSERT_EQ(length, static_cast<int>(std::strlen(out)));
  BYTE decoded[128] = {};
  ASSERT_EQ(CBase64::Decode(out, decoded, length, sizeof decoded), static_cast<int>(sizeof text - 1));
  // The key's first 32 characters are the lower-case digest of the random.
  char first[33];
  Md5LowerHex(reinterpret_cast<const unsigned char*>("r1"), first, 2);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(decoded[i] ^ first[i], text[i]) << i;

  std::string tooLong(6827, 'a');  // 6827 * 3 / 2 + 1 = 10241
  EXPECT_EQ(AuthCodeEncode("r", reinterpret_cast<const unsigned char*>(tooLong.data()), 6827, out),
            kCloudAuthCodeTooLong);
  EXPECT_GT(AuthCodeEncode("r", reinterpret_cast<const unsigned char*>(tooLong.data()), 6826, out), 0);
}

}  // namespace
