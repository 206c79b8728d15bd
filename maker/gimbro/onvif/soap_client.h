// Posts SOAP requests over HTTP and hands back checked answers.
//
// Lives on the control's network thread and never blocks it: a request is
// posted and its callback runs later on the same thread. Every exchange is
// bounded: one deadline covers the connection and the whole answer (a device
// that accepts and says nothing, or trickles, is given up), and an answer
// larger than the limit is cut off. An answer counts only when it is a SOAP
// envelope; SOAP faults come back with HTTP errors (400, 500) and are read as
// faults. HTTP digest authentication is answered once per request with the
// device's credentials, besides the WS-Security token inside the envelope.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <map>

#include "maker/gimbro/onvif/soap_envelope.h"

class QAuthenticator;
class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace onvif {

struct SoapResult {
  enum Kind {
    kOk,            // answer.body holds the answer element
    kFault,         // answer holds the fault
    kNotSoap,       // the device answered something that is not a SOAP envelope
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

  // The manager is shared by the devices of the control and outlives the client.
  SoapClient(QNetworkAccessManager* manager, qint64 maxAnswerBytes, QObject* parent = nullptr);
  // Aborts what is still pending; no callback runs after that.
  ~SoapClient() override;

  // HTTP credentials for devices that ask for them besides the token.
  void SetHttpCredentials(const QString& user, const QString& password);

  // Posts the envelope to the address; `done` runs once, on this thread,
  // within `deadlineMs` (plus the time the event loop takes to get there).
  void Post(const QUrl& url, const QString& action, const QByteArray& envelope, int deadlineMs, Callback done);

  // Drops every pending request without calling back.
  void AbortAll();
  int Pending() const { return static_cast<int>(calls_.size()); }

 private:
  struct Call {
    Callback done;
    QTimer* deadline = nullptr;
    bool timedOut = false;
    bool tooLarge = false;
    bool authAnswered = false;
  };

  void OnFinished(QNetworkReply* reply);
  void CheckSize(QNetworkReply* reply);
  void OnAuthentication(QNetworkReply* reply, QAuthenticator* authenticator);
  void Forget(QNetworkReply* reply);

  QNetworkAccessManager* manager_;
  qint64 maxAnswerBytes_;
  QString httpUser_;
  QString httpPassword_;
  std::map<QNetworkReply*, Call> calls_;
};

}  // namespace onvif
