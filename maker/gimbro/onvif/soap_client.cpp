#include "maker/gimbro/onvif/soap_client.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace onvif {

QString SoapResult::Describe() const {
  switch (kind) {
    case kOk:
    case kFault:
    case kNotSoap: return answer.Describe();
    case kHttpError: return QStringLiteral("HTTP %1 without a SOAP answer").arg(httpStatus);
    case kAuthRefused: return QStringLiteral("HTTP authentication refused");
    case kUnreachable: return QStringLiteral("cannot connect: ") + error;
    case kTimeout: return QStringLiteral("no answer in time");
    case kTooLarge: return QStringLiteral("the answer is too large");
    case kNetwork: return QStringLiteral("connection error: ") + error;
  }
  return {};
}

SoapClient::SoapClient(QNetworkAccessManager* manager, qint64 maxAnswerBytes, QObject* parent)
    : QObject(parent), manager_(manager), maxAnswerBytes_(maxAnswerBytes) {
  connect(manager_, &QNetworkAccessManager::authenticationRequired, this,
          [this](QNetworkReply* reply, QAuthenticator* authenticator) { OnAuthentication(reply, authenticator); });
}

SoapClient::~SoapClient() { AbortAll(); }

void SoapClient::SetHttpCredentials(const QString& user, const QString& password) {
  httpUser_ = user;
  httpPassword_ = password;
}

void SoapClient::Post(const QUrl& url, const QString& action, const QByteArray& envelope, int deadlineMs,
                      Callback done) {
  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::ContentTypeHeader,
                    QStringLiteral("application/soap+xml; charset=utf-8; action=\"%1\"").arg(action));
  // A device answers where it is asked; a web server that redirects is not one.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
  QNetworkReply* reply = manager_->post(request, envelope);
  // Read no further than the limit: an endless answer then waits in the
  // device's socket instead of keeping the transfer busy until it is cut off.
  reply->setReadBufferSize(maxAnswerBytes_ + 1);
  Call& call = calls_[reply];
  call.done = std::move(done);
  call.deadline = new QTimer(this);
  call.deadline->setSingleShot(true);
  connect(call.deadline, &QTimer::timeout, this, [this, reply]() {
    auto it = calls_.find(reply);
    if (it == calls_.end()) return;
    it->second.timedOut = true;
    reply->abort();  // finishes the reply, which calls back
  });
  call.deadline->start(deadlineMs);
  connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply]() { CheckSize(reply); });
  connect(reply, &QNetworkReply::readyRead, this, [this, reply]() { CheckSize(reply); });
  connect(reply, &QNetworkReply::finished, this, [this, reply]() { OnFinished(reply); });
}

void SoapClient::CheckSize(QNetworkReply* reply) {
  auto it = calls_.find(reply);
  if (it == calls_.end() || it->second.tooLarge) return;
  const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
  const bool tooLarge = (announced.isValid() && announced.toLongLong() > maxAnswerBytes_) ||
                        reply->bytesAvailable() > maxAnswerBytes_;
  if (!tooLarge) return;
  it->second.tooLarge = true;
  reply->abort();
}

void SoapClient::OnAuthentication(QNetworkReply* reply, QAuthenticator* authenticator) {
  auto it = calls_.find(reply);
  if (it == calls_.end() || it->second.authAnswered || httpUser_.isEmpty()) return;
  // Once only: asked again, the credentials were refused.
  it->second.authAnswered = true;
  authenticator->setUser(httpUser_);
  authenticator->setPassword(httpPassword_);
}

void SoapClient::Forget(QNetworkReply* reply) {
  auto it = calls_.find(reply);
  if (it == calls_.end()) return;
  // Possibly inside the deadline's own signal: deleted later.
  it->second.deadline->stop();
  it->second.deadline->deleteLater();
  calls_.erase(it);
  reply->disconnect(this);
  reply->deleteLater();
}

void SoapClient::OnFinished(QNetworkReply* reply) {
  auto it = calls_.find(reply);
  if (it == calls_.end()) return;
  const Call call = it->second;
  SoapResult result;
  result.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const QNetworkReply::NetworkError error = reply->error();
  result.error = reply->errorString();
  QByteArray data;
  if (!call.timedOut && !call.tooLarge) data = reply->read(maxAnswerBytes_ + 1);
  const bool overLimit = data.size() > maxAnswerBytes_;
  Forget(reply);

  if (call.timedOut) {
    result.kind = SoapResult::kTimeout;
  } else if (call.tooLarge || overLimit) {
    result.kind = SoapResult::kTooLarge;
  } else if (error == QNetworkReply::ConnectionRefusedError || error == QNetworkReply::HostNotFoundError) {
    result.kind = SoapResult::kUnreachable;
  } else if (result.httpStatus == 0) {
    result.kind = SoapResult::kNetwork;
  } else if (!data.isEmpty()) {
    result.answer = ReadAnswer(data);
    const bool success = result.httpStatus >= 200 && result.httpStatus < 300;
    if (result.answer.kind == SoapAnswer::kFault) {
      result.kind = SoapResult::kFault;
    } else if (result.answer.kind == SoapAnswer::kOk && success) {
      result.kind = SoapResult::kOk;
    } else if (result.httpStatus == 401) {
      result.kind = SoapResult::kAuthRefused;
    } else {
      result.kind = success ? SoapResult::kNotSoap : SoapResult::kHttpError;
    }
  } else if (result.httpStatus == 401 || error == QNetworkReply::AuthenticationRequiredError) {
    result.kind = SoapResult::kAuthRefused;
  } else if (result.httpStatus >= 200 && result.httpStatus < 300) {
    result.kind = SoapResult::kNotSoap;
    result.answer.error = QStringLiteral("an empty answer");
  } else {
    result.kind = SoapResult::kHttpError;
  }
  if (call.done) call.done(result);
}

void SoapClient::AbortAll() {
  std::map<QNetworkReply*, Call> calls;
  calls.swap(calls_);
  for (auto& [reply, call] : calls) {
    delete call.deadline;
    reply->disconnect(this);
    if (reply->isRunning()) reply->abort();
    reply->deleteLater();
  }
}

}  // namespace onvif
