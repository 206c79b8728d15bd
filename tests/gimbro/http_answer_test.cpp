// The HTTP layer of the ONVIF requests without a network: answers read as a
// connection brings them, within their bounds, and HTTP authentication.
#include <gtest/gtest.h>

#include "maker/gimbro/http/http_answer.h"
#include "maker/gimbro/http/http_auth.h"

using http::AnswerReader;
using State = AnswerReader::State;

namespace {

constexpr qint64 kLimit = 1000;

struct Read {
  State state;
  int status;
  QByteArray body;
};

// Feeds the bytes whole or one at a time, then tells of the close when asked.
Read Feed(const QByteArray& bytes, bool byteByByte, bool close) {
  AnswerReader reader(kLimit);
  if (byteByByte) {
    for (char c : bytes) reader.Feed(&c, 1);
  } else {
    reader.Feed(bytes);
  }
  if (close) reader.Finish();
  return {reader.state(), reader.Status(), reader.Body()};
}

}  // namespace

TEST(HttpAnswer, AnswersAreReadWithinTheirBounds) {
  const QByteArray endlessHead = "HTTP/1.1 200 OK\r\n" + QByteArray(70 * 1024, 'h');
  struct Case {
    const char* name;
    QByteArray bytes;
    bool close;  // the connection closes after the bytes
    State state;
    int status;
    QByteArray body;
  };
  const Case cases[] = {
      {"length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", false, State::kDone, 200, "hello"},
      {"bytes after the length are not taken", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhello", false,
       State::kDone, 200, "he"},
      {"chunked, with extensions and a trailer",
       "HTTP/1.1 500 Error\r\nTransfer-Encoding: chunked\r\n\r\n5;x=y\r\n<env:\r\nA\r\nFault/>...\r\n0\r\nT: 1\r\n\r\n",
       false, State::kDone, 500, "<env:Fault/>..."},
      {"to the close", "HTTP/1.0 200 OK\nContent-Type: text/xml\n\n<a/>", true, State::kDone, 200, "<a/>"},
      {"waiting for the close", "HTTP/1.0 200 OK\r\n\r\n<a/>", false, State::kNeedMore, 200, "<a/>"},
      {"interim answer first", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 401 Unauthorized\r\nContent-Length: 0\r\n\r\n",
       false, State::kDone, 401, ""},
      {"no body", "HTTP/1.1 204 No Content\r\nContent-Length: 7\r\n\r\n", false, State::kDone, 204, ""},
      {"announced too large", "HTTP/1.1 200 OK\r\nContent-Length: 1001\r\n\r\n", false, State::kTooLarge, 200, ""},
      {"body too large", "HTTP/1.1 200 OK\r\n\r\n" + QByteArray(1001, 'x'), false, State::kTooLarge, 200, ""},
      {"chunks too large", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3e8\r\n" + QByteArray(1000, 'x') +
       "\r\n1\r\n", false, State::kTooLarge, 200, ""},
      {"endless head", endlessHead, false, State::kTooLarge, 200, ""},
      {"not HTTP", "hello, this is not HTTP", false, State::kError, 0, ""},
      {"a status that is no number", "HTTP/1.1 2x0 OK\r\n", false, State::kError, 0, ""},
      {"two lengths", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd", false, State::kError,
       200, ""},
      {"a length that is no number", "HTTP/1.1 200 OK\r\nContent-Length: -3\r\n\r\n", false, State::kError, 200, ""},
      {"a broken chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", false, State::kError, 200, ""},
      {"a chunk without its line end", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nxyz\r\n", false,
       State::kError, 200, ""},
      {"a field without a name", "HTTP/1.1 200 OK\r\n: x\r\n\r\n", false, State::kError, 200, ""},
      {"closed before the end", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello", true, State::kError, 200, ""},
      {"closed before an answer", "", true, State::kError, 0, ""},
  };
  for (const Case& c : cases) {
    for (bool byteByByte : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (byteByByte ? ", byte by byte" : ""));
      const Read read = Feed(c.bytes, byteByByte, c.close);
      EXPECT_EQ(read.state, c.state);
      EXPECT_EQ(read.status, c.status);
      if (c.state == State::kDone || c.state == State::kNeedMore) {
        EXPECT_EQ(read.body, c.body);
      }
    }
  }
}

TEST(HttpAnswer, HeaderFieldsAreFoundInAnyCase) {
  AnswerReader reader(kLimit);
  reader.Feed(QByteArray("HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Digest realm=\"a\"\r\n"
                         "Server: cam\r\n  version 2\r\nwww-authenticate: Basic realm=\"b\"\r\nContent-Length: 0\r\n\r\n"));
  ASSERT_EQ(reader.state(), State::kDone);
  EXPECT_EQ(reader.Headers("Www-Authenticate"),
            (QList<QByteArray>{"Digest realm=\"a\"", "Basic realm=\"b\""}));
  EXPECT_EQ(reader.Header("SERVER"), "cam version 2");
  EXPECT_TRUE(reader.Header("x-missing").isEmpty());
}

// The digests of the examples that the Digest scheme's own documents give.
TEST(HttpAuth, DigestsMatchThePublishedExamples) {
  EXPECT_EQ(http::DigestResponse("", "Mufasa", "testrealm@host.com", "Circle Of Life",
                                 "dcd98b7102dd2f0e8b11d0f600bfb0c093", "00000001", "0a4f113b", "auth", "GET",
                                 "/dir/index.html"),
            "6629fae49393a05397450978507c4ef1");
  const QByteArray nonce = "7ypf/xlj9XXwfDPEoM4URrv/xwf94BcCAzFZH4GiTo0v";
  const QByteArray cnonce = "f2/wE4q74E6zIJEtWaHKaf5wv/H5QzzpXusqGemxURZJ";
  EXPECT_EQ(http::DigestResponse("MD5", "Mufasa", "http-auth@example.org", "Circle of Life", nonce, "00000001", cnonce,
                                 "auth", "GET", "/dir/index.html"),
            "8ca523f5e9506fed4657c9700eebdbec");
  EXPECT_EQ(http::DigestResponse("SHA-256", "Mufasa", "http-auth@example.org", "Circle of Life", nonce, "00000001",
                                 cnonce, "auth", "GET", "/dir/index.html"),
            "753927fa0e85d155564e2e272a28d1802ca10daf4496794697cf8db5856cb6c1");
  EXPECT_TRUE(http::DigestResponse("SHA-512-256", "u", "r", "p", "n", "1", "c", "auth", "GET", "/").isEmpty());
}

TEST(HttpAuth, ChallengesAreAnsweredWithTheStrongestDigest) {
  const std::vector<http::Challenge> challenges = http::ReadChallenges(
      {"Digest realm=\"cam, \\\"one\\\"\", qop=\"auth,auth-int\", nonce=\"n1\", algorithm=MD5, opaque=\"o\", "
       "Basic realm=\"b\"",
       "Digest realm=\"cam\", qop=\"auth\", nonce=\"n2\", algorithm=SHA-256"});
  ASSERT_EQ(challenges.size(), 3u);
  EXPECT_EQ(challenges[0].scheme, "digest");
  EXPECT_EQ(challenges[0].params.value("realm"), "cam, \"one\"");
  EXPECT_EQ(challenges[0].params.value("opaque"), "o");
  EXPECT_EQ(challenges[1].scheme, "basic");

  http::Authenticator auth;
  EXPECT_FALSE(auth.Take(challenges)) << "no credentials";
  auth.SetCredentials("admin", "pw");
  ASSERT_TRUE(auth.Take(challenges));
  const QByteArray first = auth.Authorization("POST", "/onvif/device_service");
  EXPECT_TRUE(first.startsWith("Digest username=\"admin\", realm=\"cam\", nonce=\"n2\", uri=\"/onvif/device_service\""))
      << first.toStdString();
  EXPECT_TRUE(first.contains("algorithm=SHA-256")) << first.toStdString();
  EXPECT_TRUE(first.contains("qop=auth, nc=00000001")) << first.toStdString();
  // The nonce is used again, counted.
  EXPECT_TRUE(auth.Authorization("POST", "/x").contains("nc=00000002"));

  ASSERT_TRUE(auth.Take(http::ReadChallenges({"Basic realm=\"b\""})));
  EXPECT_EQ(auth.Authorization("POST", "/"), "Basic YWRtaW46cHc=");
  // Nothing this client can answer: integrity protection only, an unknown algorithm, an unknown scheme.
  EXPECT_FALSE(auth.Take(http::ReadChallenges({"Digest realm=\"r\", nonce=\"n\", qop=\"auth-int\""})));
  EXPECT_FALSE(auth.Take(http::ReadChallenges({"Digest realm=\"r\", nonce=\"n\", algorithm=SHA-512-256"})));
  EXPECT_FALSE(auth.Take(http::ReadChallenges({"Negotiate YIIG==, =,\"\""})));
}
