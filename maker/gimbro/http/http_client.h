// A small HTTP/1.1 client for the requests of one device.
//
// Each request has a connection of its own ("Connection: close"), made by a
// plain TCP socket of this client, so that what one device does to its
// connections (it hangs, trickles, floods) concerns only its own requests.
// Everything is bounded: the connection must be made within the connect time
// and the whole exchange (connection, request, answer) within the request's
// deadline; the answer's head and body are read only up to their bounds
// (http_answer.h), and the socket buffers no more than a small window ahead,
// so an endless answer costs no more than its bound before it is cut off.
//
// A 401 answer that challenges the request is answered once per request with
// the credentials given (http_auth.h); later requests carry the answer to the
// device's last challenge from the start.
//
// The client lives on one thread and never blocks it: a request is posted and
// its callback runs later on the same thread.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <vector>

#include "maker/gimbro/http/http_auth.h"

namespace http {

struct Result {
  enum Kind {
    kAnswer,       // an HTTP answer: status and body
    kUnreachable,  // no connection: refused, unknown host, no answer to it in time
    kTimeout,      // no whole answer before the deadline
    kTooLarge,     // the answer passed a bound
    kNotHttp,      // the device answered with something that is not HTTP
    kBroken,       // the connection broke or the answer is malformed
  };
  Kind kind = kBroken;
  int status = 0;
  QByteArray body;
  QString error;
};

class Client : public QObject {
 public:
  using Callback = std::function<void(const Result&)>;

  // The largest bytes a socket reads ahead of the client.
  static constexpr qint64 kReadWindow = 64 * 1024;

  Client(qint64 maxBodyBytes, int connectTimeoutMs, QObject* parent = nullptr);
  // Drops what is still pending; no callback runs after that.
  ~Client() override;

  void SetCredentials(const QByteArray& user, const QByteArray& password);

  // Posts `body` to the http URL; `done` runs once, on this thread, within
  // `deadlineMs` (plus the time the event loop takes to get there).
  void Post(const QUrl& url, const QByteArray& contentType, const QByteArray& body, int deadlineMs, Callback done);

  // Drops every pending request without calling back.
  void AbortAll();
  int Pending() const { return static_cast<int>(exchanges_.size()); }

 private:
  class Exchange;
  friend class Exchange;

  // Ends an exchange and calls its callback (which may end this client).
  void Finish(Exchange* exchange, Result result);

  qint64 maxBody_;
  int connectTimeoutMs_;
  Authenticator auth_;
  std::vector<Exchange*> exchanges_;
};

}  // namespace http
