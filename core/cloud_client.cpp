#include "core/cloud_client.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/base64.h"
#include "core/cloud_client_testing.h"
#include "core/md5.h"

namespace {

constexpr int kReceiveSize = 2097152;
constexpr int kDefaultWaitMs = 8000;
constexpr char kSalt[] = "quarry_lamp_tolls_mirrows";
constexpr char kXmlEnd[] = "</xml>";

std::atomic<int> g_waitMs{kDefaultWaitMs};

// The fixed head of every request; the stray line feeds, tabs and blanks belong
// to the protocol as the service expects it.
#define CLOUD_HEAD(path)                                                                  \
  "POST " path " HTTP/1.0\r\nAccept-Language: zh-cn\nAccept: */*;\r\nContent-Type: "      \
  "application/x-www-form-urlencoded; charset=UTF-8\t\t\t\t\t   \r\nUser-Agent: ondrex/dev\n"

// The end of one wait from now.
std::chrono::steady_clock::time_point WaitEnd() {
  return std::chrono::steady_clock::now() + std::chrono::milliseconds(g_waitMs.load());
}

class Socket {
 public:
  Socket() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {}
  ~Socket() {
    if (fd_ >= 0) close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }
  void SetBlocking(bool blocking) {
    const int flags = fcntl(fd_, F_GETFL, 0);
    fcntl(fd_, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK));
  }
  // Waits until `deadline` at the latest: 1 ready, 0 time-out, -1 error.
  int Wait(short events, std::chrono::steady_clock::time_point deadline) {
    pollfd p{fd_, events, 0};
    int n;
    do {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return 0;
      n = poll(&p, 1, static_cast<int>(left.count()));
    } while (n < 0 && errno == EINTR);
    return n;
  }

 private:
  int fd_;
};

bool Resolve(const char* host, in_addr* out) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  if (host == nullptr || getaddrinfo(host, nullptr, &hints, &list) != 0 || list == nullptr) return false;
  *out = reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr;
  freeaddrinfo(list);
  return true;
}

int Connect(Socket& s, const in_addr& address, int port) {
  int bufferSize = kReceiveSize;
  if (setsockopt(s.fd(), SOL_SOCKET, SO_RCVBUF, &bufferSize, sizeof bufferSize) != 0) return kCloudNoRecvBuffer;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<uint16_t>(port));
  to.sin_addr = address;
  s.SetBlocking(false);
  if (connect(s.fd(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS) {
    return kCloudNotWritable;
  }
  // A refused connection is reported at once instead of after the whole wait.
  int error = 0;
  socklen_t length = sizeof error;
  if (s.Wait(POLLOUT, WaitEnd()) <= 0 || getsockopt(s.fd(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
    return kCloudNotWritable;
  }
  s.SetBlocking(true);
  return kCloudOk;
}

// Where a whole answer ends: just after its closing "</xml>", which only white
// space (a line break, as servers and editors write one) may follow; -1 while
// the data does not end so.
int XmlAnswerEnd(const char* data, int length) {
  int end = length;
  while (end > 0 && (data[end - 1] == ' ' || data[end - 1] == '\t' || data[end - 1] == '\r' || data[end - 1] == '\n')) {
    --end;
  }
  const int n = sizeof kXmlEnd - 1;
  return end >= n && std::memcmp(data + end - n, kXmlEnd, n) == 0 ? end : -1;
}

// Reads until the data ends with "</xml>" (and white space), the buffer is
// full or the peer closes.
// The whole answer has one wait: a server that trickles its bytes cannot hold
// the caller (the UI thread) longer than that.
int Receive(Socket& s, char* data, int* received) {
  s.SetBlocking(false);
  *received = 0;
  const auto deadline = WaitEnd();
  while (*received < kReceiveSize && XmlAnswerEnd(data, *received) < 0) {
    const int ready = s.Wait(POLLIN, deadline);
    if (ready == 0) return kCloudNoAnswer;
    if (ready < 0) return kCloudRecvError;
    const ssize_t n = recv(s.fd(), data + *received, kReceiveSize - *received, 0);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
      return kCloudRecvError;
    }
    *received += static_cast<int>(n);
  }
  return kCloudOk;
}

void CopyCookie(const char* data, const char* headEnd, char* cookie) {
  static constexpr char kName[] = "Set-Cookie:";
  const char* found = std::search(data, headEnd, kName, kName + sizeof kName - 1);
  if (found == headEnd) return;
  const char* value = found + sizeof kName - 1;
  const char* end = std::strstr(value, "\r\n");
  size_t length = end != nullptr ? static_cast<size_t>(end - value) : std::strlen(value);
  if (length > kCloudCookieSize - 1) length = kCloudCookieSize - 1;
  std::memcpy(cookie, value, length);
  cookie[length] = '\0';
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(length > 0 ? length : 0, '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

// The text between the first "<rnd>" and the next "</rnd>"; empty without them.
std::string RandomOf(const char* body) {
  const char* begin = std::strstr(body, "<rnd>");
  if (begin == nullptr) return {};
  begin += 5;
  const char* end = std::strstr(begin, "</rnd>");
  return end != nullptr ? std::string(begin, end) : std::string();
}

int Login(const char* host, int port, const char* user, const char* passwordDigest, const char* devId,
          char* body, int* size) {
  if (body == nullptr || size == nullptr) return kCloudNoBodyBuffer;
  if (user == nullptr || passwordDigest == nullptr || *user == '\0' || *passwordDigest == '\0') {
    return kCloudNoCredentials;
  }
  const std::string randomRequest =
      Format(CLOUD_HEAD("/comm/getrand.php") "Host: %s:%d\r\nContent-Length: 0\r\nConnection: Keep-Alive\r\n\r\n",
             host, port);
  char randomBody[1024] = {};
  char cookie[kCloudCookieSize] = {};
  int randomSize = sizeof randomBody;
  int result = CloudHttpPost(&randomSize, cookie, host, port, randomRequest.c_str(),
                             static_cast<int>(randomRequest.size()), randomBody);
  if (result != kCloudOk) return result;
  if (cookie[0] == '\0') return kCloudNoCookie;
  const std::string random = RandomOf(randomBody);

  const std::string credentials = Format("<xml><user>%s</user><pass>%s</pass></xml>", user, passwordDigest);
  auto encoded = std::make_unique<char[]>(kCloudAuthCodeMax);
  if (AuthCodeEncode(random.c_str(), reinterpret_cast<const unsigned char*>(credentials.data()),
                     static_cast<int>(credentials.size()), encoded.get()) < 0) {
    return kCloudNoCredentials;
  }
  std::string authcode;
  for (const char* c = encoded.get(); *c != '\0'; ++c) {
    if (*c == '+') {
      authcode += "%2B";
    } else {
      authcode += *c;
    }
  }
  const char* head = CLOUD_HEAD("/client/login.php") "Host: %s\r\nContent-Length: %d\r\nConnection: Keep-Alive\r\nCookie:%s\r\n\r\n";
  std::string request = Format(head, host, static_cast<int>(authcode.size()) +
                                               (devId != nullptr ? static_cast<int>(std::strlen(devId)) + 16 : 9),
                               cookie);
  request += devId != nullptr ? Format("authcode=%s&devid=%s", authcode.c_str(), devId) : "authcode=" + authcode;
  return CloudHttpPost(size, nullptr, host, port, request.c_str(), static_cast<int>(request.size()), body);
}

}  // namespace

void SetCloudWaitMsForTesting(int ms) { g_waitMs = ms > 0 ? ms : kDefaultWaitMs; }

int CloudHttpPost(int* size, char* cookie, const char* host, int port, const char* request, int requestLength,
                  char* body) {
  if (cookie != nullptr) cookie[0] = '\0';
  if (body == nullptr || size == nullptr) return kCloudNoBodyBuffer;
  const int capacity = *size;
  *size = 0;
  in_addr address{};
  if (!Resolve(host, &address)) return kCloudNoHost;
  Socket s;
  if (s.fd() < 0) return kCloudNoSocket;
  int result = Connect(s, address, port);
  if (result != kCloudOk) return result;
  if (send(s.fd(), request, requestLength, MSG_NOSIGNAL) != requestLength) return kCloudShortSend;

  auto data = std::make_unique<char[]>(kReceiveSize + 1);
  std::memset(data.get(), 0, kReceiveSize + 1);
  int received = 0;
  result = Receive(s, data.get(), &received);
  const int end = result == kCloudOk ? XmlAnswerEnd(data.get(), received) : -1;
  if (end < 0) return result;

  const char* headEnd = std::strstr(data.get(), "\r\n\r\n");
  // No body in an answer without a head, nor in one whose "</xml>" lies in its head.
  if (headEnd == nullptr || headEnd + 4 > data.get() + end) return kCloudOk;
  const char* start = headEnd + 4;
  // The body ends at its closing tag: the white space after it is not the document's.
  const int length = static_cast<int>(data.get() + end - start);
  if (length + 1 > capacity) return kCloudBodyTooBig;  // the body and its zero must fit
  std::memcpy(body, start, length);
  body[length] = '\0';
  *size = length;
  if (cookie != nullptr) CopyCookie(data.get(), headEnd, cookie);
  return kCloudOk;
}

int CloudLogin(const char* host, int port, const char* user, const char* passwordDigest, char* body, int* size) {
  return Login(host, port, user, passwordDigest, nullptr, body, size);
}

int CloudLoginEx(const char* host, int port, const char* user, const char* passwordDigest, const char* devId,
                 char* body, int* size) {
  return Login(host, port, user, passwordDigest, devId != nullptr ? devId : "", body, size);
}

int CloudGetDevInfo(const char* host, int port, const char* devId, char* body, int* size) {
  if (body == nullptr || size == nullptr) return kCloudNoBodyBuffer;
  if (devId == nullptr || *devId == '\0') return kCloudNoDevId;
  std::string request = Format(CLOUD_HEAD("/client/getdevinfo.php")
                               "Host: %s:%d\r\nContent-Length: %d\r\nConnection: Keep-Alive\r\n\r\ndevid=%s",
                               host, port, static_cast<int>(std::strlen(devId)) + 6, devId);
  return CloudHttpPost(size, nullptr, host, port, request.c_str(), static_cast<int>(request.size()), body);
}

int AuthCodeEncode(const char* random, const unsigned char* input, int inputLength, char* out) {
  if (inputLength < 0 || (static_cast<long long>(inputLength) * 3) / 2 + 1 > kCloudAuthCodeMax) {
    return kCloudAuthCodeTooLong;
  }
  const std::string rnd = random != nullptr ? random : "";
  char key[129] = {};
  auto digest = [](const std::string& text, char* to) {
    Md5LowerHex(reinterpret_cast<const unsigned char*>(text.data()), to, static_cast<unsigned>(text.size()));
  };
  digest(rnd, key);
  digest(std::string(kSalt) + rnd, key + 32);
  digest(rnd + kSalt, key + 64);
  digest(std::string(key, 96), key + 96);
  std::string mixed(static_cast<size_t>(inputLength), '\0');
  for (int i = 0; i < inputLength; ++i) mixed[i] = static_cast<char>(input[i] ^ key[i % 128]);
  if (inputLength == 0) {
    out[0] = '\0';
    return 0;
  }
  return CBase64::Encode(reinterpret_cast<const BYTE*>(mixed.data()), out, inputLength);
}
