// Posts SOAP requests over HTTP and hands back checked answers.
//
// Lives on the control's network thread and never blocks it: a request is
// posted and its callback runs later on the same thread. Each device's
// client has connections of its own (maker/gimbro/http/http_client.h), so one
// device that hangs or floods holds up no other. Every exchange is bounded:
// one deadline covers the connection and the whole answer (a device that
// accepts and says nothing, or trickles, is given up), and an answer larger
// than the limit is cut off. An answer counts only when it is a SOAP
// envelope; SOAP faults come back with HTTP errors (400, 500) and are read as
// faults. HTTP authentication is answered once per request with the device's
// credentials, besides the WS-Security token inside the envelope.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

#include "maker/gimbro/http/http_client.h"
#include "maker/gimbro/onvif/soap_envelope.h"

namespace onvif {

struct SoapResult {
  enum Kind {
    kOk,            // answer.body holds the answer element
    kFault,         // answer holds the fault
    kNotSoap,       // the device answered something that is not a SOAP envelope (or not HTTP)
    kHttpError,     // an HTTP error without a SOAP body (404 of a web server ...)
    kAuthRefused,   // HTTP authentication was refused
    kUnreachable,   // connection refused, host not found
    kTimeout,       // no whole answer before the deadline
    kTooLarge,      // the answer passed the size limit
    kNetwork,       // the connection broke
  };
  Kind kind = kNetwork;
  SoapAnswer answer;
  int httpStatus = 0;
  QString error;

  bool Ok() const { return kind == kOk; }
  // Refused credentials, by a SOAP fault or by HTTP.
  bool AuthRefused() const { return kind == kAuthRefused || (kind == kFault && answer.NotAuthorized()); }
  // One line for the log.
  QString Describe() const;
};

class SoapClient : public QObject {
 public:
  using Callback = std::function<void(const SoapResult&)>;

  SoapClient(qint64 maxAnswerBytes, int connectTimeoutMs, QObject* parent = nullptr);

  // HTTP credentials for devices that ask for them besides the token.
  void SetHttpCredentials(const QString& user, const QString& password);

  // Posts the envelope to the address; `done` runs once, on this thread,
  // within `deadlineMs` (plus the time the event loop takes to get there).
  void Post(const QUrl& url, const QString& action, const QByteArray& envelope, int deadlineMs, Callback done);

  // Drops every pending request without calling back.
  void AbortAll() { http_.AbortAll(); }
  int Pending() const { return http_.Pending(); }

 private:
  http::Client http_;
};

}  // namespace onvif
