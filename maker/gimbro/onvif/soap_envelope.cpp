#include "maker/gimbro/onvif/soap_envelope.h"

#include <QCryptographicHash>
#include <QTimeZone>

namespace onvif {

QString UtcText(const QDateTime& time) {
  return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QLatin1Char('Z');
}

QString Number(double value, int decimals) {
  // QString::number never uses the user's locale.
  return QString::number(value, 'f', decimals);
}

QString UsernameToken(const QString& user, const QString& password, const QByteArray& nonce,
                      const QDateTime& createdUtc) {
  const QString created = UtcText(createdUtc);
  QCryptographicHash sha1(QCryptographicHash::Sha1);
  sha1.addData(nonce);
  sha1.addData(created.toUtf8());
  sha1.addData(password.toUtf8());
  const QString digest = QString::fromLatin1(sha1.result().toBase64());
  return QStringLiteral(
             "<wsse:Security s:mustUnderstand=\"1\" "
             "xmlns:wsse=\"http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd\" "
             "xmlns:wsu=\"http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd\">"
             "<wsse:UsernameToken><wsse:Username>%1</wsse:Username>"
             "<wsse:Password Type=\"http://docs.oasis-open.org/wss/2004/01/"
             "oasis-200401-wss-username-token-profile-1.0#PasswordDigest\">%2</wsse:Password>"
             "<wsse:Nonce EncodingType=\"http://docs.oasis-open.org/wss/2004/01/"
             "oasis-200401-wss-soap-message-security-1.0#Base64Binary\">%3</wsse:Nonce>"
             "<wsu:Created>%4</wsu:Created></wsse:UsernameToken></wsse:Security>")
      .arg(Escape(user), digest, QString::fromLatin1(nonce.toBase64()), created);
}

QByteArray Envelope(const QString& header, const QString& body) {
  QString text = QStringLiteral(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
      "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\" "
      "xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\" "
      "xmlns:trt=\"http://www.onvif.org/ver10/media/wsdl\" "
      "xmlns:tptz=\"http://www.onvif.org/ver20/ptz/wsdl\" "
      "xmlns:timg=\"http://www.onvif.org/ver20/imaging/wsdl\" "
      "xmlns:tev=\"http://www.onvif.org/ver10/events/wsdl\" "
      "xmlns:wsnt=\"http://docs.oasis-open.org/wsn/b-2\" "
      "xmlns:wsa=\"http://www.w3.org/2005/08/addressing\" "
      "xmlns:tt=\"http://www.onvif.org/ver10/schema\">");
  if (!header.isEmpty()) text += QStringLiteral("<s:Header>") + header + QStringLiteral("</s:Header>");
  text += QStringLiteral("<s:Body>") + body + QStringLiteral("</s:Body></s:Envelope>");
  return text.toUtf8();
}

namespace {

QString WithoutPrefix(const QString& qualified) {
  const int colon = qualified.lastIndexOf(QLatin1Char(':'));
  return colon < 0 ? qualified.trimmed() : qualified.mid(colon + 1).trimmed();
}

void ReadFault(const XmlNode& fault, SoapAnswer* answer) {
  answer->kind = SoapAnswer::kFault;
  if (const XmlNode* code = fault.Child(QStringLiteral("Code"))) {  // SOAP 1.2
    answer->faultCode = WithoutPrefix(code->TextAt(QStringLiteral("Value")));
    const XmlNode* sub = code->Child(QStringLiteral("Subcode"));
    while (sub != nullptr) {
      answer->faultSubcode = WithoutPrefix(sub->TextAt(QStringLiteral("Value")));
      sub = sub->Child(QStringLiteral("Subcode"));
    }
    if (const XmlNode* reason = fault.Child(QStringLiteral("Reason"))) {
      answer->faultReason = reason->TextAt(QStringLiteral("Text"));
    }
  } else {  // SOAP 1.1
    answer->faultCode = WithoutPrefix(fault.TextAt(QStringLiteral("faultcode")));
    answer->faultReason = fault.TextAt(QStringLiteral("faultstring"));
  }
}

}  // namespace

bool SoapAnswer::NotAuthorized() const {
  if (kind != kFault) return false;
  for (const QString& word : {faultSubcode, faultCode}) {
    if (word.compare(QLatin1String("NotAuthorized"), Qt::CaseInsensitive) == 0 ||
        word.compare(QLatin1String("FailedAuthentication"), Qt::CaseInsensitive) == 0 ||
        word.compare(QLatin1String("InvalidSecurityToken"), Qt::CaseInsensitive) == 0) {
      return true;
    }
  }
  return false;
}

QString SoapAnswer::Describe() const {
  switch (kind) {
    case kOk: return QStringLiteral("answer ") + body.name;
    case kFault:
      return QStringLiteral("SOAP fault %1/%2: %3").arg(faultCode, faultSubcode, faultReason.left(200));
    case kNotSoap: return QStringLiteral("not a SOAP answer: ") + error;
  }
  return {};
}

SoapAnswer ReadAnswer(const QByteArray& data) {
  SoapAnswer answer;
  XmlNode root;
  if (!ParseXml(data, &root, &answer.error)) return answer;
  if (root.name != QLatin1String("Envelope") ||
      (root.ns != QLatin1String(kSoap12) && root.ns != QLatin1String(kSoap11))) {
    answer.error = QStringLiteral("the root element is <%1>, not a SOAP envelope").arg(root.name);
    return answer;
  }
  const XmlNode* body = nullptr;
  for (const XmlNode& child : root.children) {
    if (child.name == QLatin1String("Body") && child.ns == root.ns) body = &child;
  }
  if (body == nullptr) {
    answer.error = QStringLiteral("the envelope has no body");
    return answer;
  }
  if (body->children.empty()) {
    // An empty body answers requests without output (some devices do so).
    answer.kind = SoapAnswer::kOk;
    return answer;
  }
  const XmlNode& first = body->children.front();
  if (first.name == QLatin1String("Fault") && first.ns == root.ns) {
    ReadFault(first, &answer);
    return answer;
  }
  answer.kind = SoapAnswer::kOk;
  answer.body = first;
  return answer;
}

}  // namespace onvif
