#include "maker/gimbro/onvif/soap_client.h"

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

namespace {

SoapResult Classify(const http::Result& exchange) {
  SoapResult result;
  result.httpStatus = exchange.status;
  result.error = exchange.error;
  switch (exchange.kind) {
    case http::Result::kUnreachable: result.kind = SoapResult::kUnreachable; return result;
    case http::Result::kTimeout: result.kind = SoapResult::kTimeout; return result;
    case http::Result::kTooLarge: result.kind = SoapResult::kTooLarge; return result;
    case http::Result::kBroken: result.kind = SoapResult::kNetwork; return result;
    case http::Result::kNotHttp:
      result.kind = SoapResult::kNotSoap;
      result.answer.error = exchange.error;
      return result;
    case http::Result::kAnswer: break;
  }
  const bool success = exchange.status >= 200 && exchange.status < 300;
  if (!exchange.body.isEmpty()) {
    result.answer = ReadAnswer(exchange.body);
    if (result.answer.kind == SoapAnswer::kFault) {
      result.kind = SoapResult::kFault;
    } else if (result.answer.kind == SoapAnswer::kOk && success) {
      result.kind = SoapResult::kOk;
    } else if (exchange.status == 401) {
      result.kind = SoapResult::kAuthRefused;
    } else {
      result.kind = success ? SoapResult::kNotSoap : SoapResult::kHttpError;
    }
  } else if (exchange.status == 401) {
    result.kind = SoapResult::kAuthRefused;
  } else if (success) {
    result.kind = SoapResult::kNotSoap;
    result.answer.error = QStringLiteral("an empty answer");
  } else {
    result.kind = SoapResult::kHttpError;
  }
  return result;
}

}  // namespace

SoapClient::SoapClient(qint64 maxAnswerBytes, int connectTimeoutMs, QObject* parent)
    : QObject(parent), http_(maxAnswerBytes, connectTimeoutMs, this) {}

void SoapClient::SetHttpCredentials(const QString& user, const QString& password) {
  http_.SetCredentials(user.toUtf8(), password.toUtf8());
}

void SoapClient::Post(const QUrl& url, const QString& action, const QByteArray& envelope, int deadlineMs,
                      Callback done) {
  const QByteArray contentType =
      QStringLiteral("application/soap+xml; charset=utf-8; action=\"%1\"").arg(action).toUtf8();
  http_.Post(url, contentType, envelope, deadlineMs,
             [done = std::move(done)](const http::Result& exchange) { done(Classify(exchange)); });
}

}  // namespace onvif
