// SOAP 1.2 envelopes of ONVIF requests and the reading of their answers.
//
// A request is one envelope in UTF-8: an optional header (the WS-Security
// UsernameToken, WS-Addressing fields) and one body element. Every number in
// a request is written without the user's locale and every time is UTC.
//
// An answer is accepted only when it is an XML document whose root is a SOAP
// envelope (1.2, or 1.1 as some older devices send) with a body; it is then
// either the body's first element or a fault with its code, subcode and reason.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "maker/gimbro/onvif/xml_tree.h"

namespace onvif {

constexpr char kSoap12[] = "http://www.w3.org/2003/05/soap-envelope";
constexpr char kSoap11[] = "http://schemas.xmlsoap.org/soap/envelope/";

// "2024-01-02T03:04:05Z"
QString UtcText(const QDateTime& time);

// A decimal number with the given digits after the point, never in the
// user's locale ("0.30", "-1.00").
QString Number(double value, int decimals = 2);

// The WS-Security header of a request: user name, PasswordDigest =
// Base64(SHA-1(nonce + created + password)), the nonce in Base64 and the
// creation time in the device's clock (UTC).
QString UsernameToken(const QString& user, const QString& password, const QByteArray& nonce,
                      const QDateTime& createdUtc);

// The whole request: the XML declaration, the envelope with the namespaces
// that the request bodies of this control use, the header (may be empty) and
// the body, in UTF-8.
QByteArray Envelope(const QString& header, const QString& body);

struct SoapAnswer {
  enum Kind { kOk, kFault, kNotSoap };
  Kind kind = kNotSoap;
  XmlNode body;          // kOk: the first element inside the Body
  QString faultCode;     // kFault: "Sender", "Receiver" ... without prefix
  QString faultSubcode;  // innermost subcode, without prefix ("NotAuthorized")
  QString faultReason;
  QString error;         // kNotSoap: what is wrong with the answer

  // A fault that says the user name or password was refused.
  bool NotAuthorized() const;
  // One line for the log.
  QString Describe() const;
};

SoapAnswer ReadAnswer(const QByteArray& data);

}  // namespace onvif
