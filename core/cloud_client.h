// The cloud account client: a small blocking HTTP/1.0 client. Each call opens
// its own TCP connection, sends one request, reads until the answer ends with
// "</xml>" (white space after it allowed: the body then ends at the tag), the
// peer closes, or 2097152 bytes have arrived, and closes.
// An exchange waits at most twice 8 seconds: once for the connection, once for
// the whole answer (a server that sends a byte now and then is cut off too).
#pragma once

// Results of every function.
enum CloudResult {
  kCloudOk = 0,
  kCloudNoHost = 1,        // the host name cannot be resolved
  kCloudNoNetStart = 2,    // kept for the table; the network needs no start here
  kCloudNoSocket = 3,
  kCloudNoRecvBuffer = 4,  // the 2097152-byte receive buffer cannot be set
  kCloudNotWritable = 5,   // not connected within 8 s (or the connection was refused)
  kCloudShortSend = 6,
  kCloudNoAnswer = 7,      // no whole answer within 8 s
  kCloudRecvError = 8,
  kCloudBodyTooBig = 10,   // the body does not fit the caller's buffer (size out 0)
  kCloudNoBodyBuffer = 11,
  kCloudNoDevId = 12,
  kCloudNoCredentials = 13,
  kCloudNoCookie = 14,     // the random answer carried no "Set-Cookie:" value
};

constexpr int kCloudAnswerBufferSize = 2097152;  // the login dialog's answer buffer
constexpr int kCloudCookieSize = 1024;
constexpr int kCloudAuthCodeMax = 10240;  // room AuthCodeEncode's output needs at most
constexpr int kCloudAuthCodeTooLong = -1001;

// One exchange. `size` is the body buffer's capacity in, the body length out
// (0 when the answer does not end with "</xml>" or does not fit). `cookie`
// (kCloudCookieSize bytes, may be null) receives the first "Set-Cookie:" value
// with its leading blank, cut to fit; it is emptied first.
int CloudHttpPost(int* size, char* cookie, const char* host, int port, const char* request,
                  int requestLength, char* body);

// The random request, then the login request with the encoded credentials.
// When the random answer brings no cookie the login request is not sent,
// the result is kCloudNoCookie and `body` is left as it was.
int CloudLogin(const char* host, int port, const char* user, const char* passwordDigest, char* body,
               int* size);
// The same with "&devid=<devId>" added to the login body.
int CloudLoginEx(const char* host, int port, const char* user, const char* passwordDigest,
                 const char* devId, char* body, int* size);
// The device-information request for one device id.
int CloudGetDevInfo(const char* host, int port, const char* devId, char* body, int* size);

// XORs `input` with the key derived from `random` and writes it in Base64 into
// `out` (kCloudAuthCodeMax bytes), zero-terminated. Returns the length of the
// text, or kCloudAuthCodeTooLong when the input is too long.
int AuthCodeEncode(const char* random, const unsigned char* input, int inputLength, char* out);
