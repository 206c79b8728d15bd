// HTTP authentication of the client side: the challenges of a 401 answer
// (WWW-Authenticate) and the Authorization field that answers them, in the
// Digest scheme (MD5 or SHA-256, their "-sess" forms, quality of protection
// "auth" or none) or, when a device offers nothing else, the Basic scheme.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <vector>

namespace http {

struct Challenge {
  QByteArray scheme;                     // lower case: "digest", "basic" ...
  QMap<QByteArray, QByteArray> params;   // lower-case names, values unquoted
};

// Every challenge of the WWW-Authenticate fields of an answer; a field may
// hold several. Whatever cannot be read is skipped.
std::vector<Challenge> ReadChallenges(const QList<QByteArray>& fields);

// The digest of a request: the hex "response" value of the Digest scheme.
// `algorithm` as the challenge names it ("MD5", "SHA-256", "MD5-sess" ...);
// an empty qop is the form without quality of protection.
QByteArray DigestResponse(const QByteArray& algorithm, const QByteArray& user, const QByteArray& realm,
                          const QByteArray& password, const QByteArray& nonce, const QByteArray& nc,
                          const QByteArray& cnonce, const QByteArray& qop, const QByteArray& method,
                          const QByteArray& uri);

// Answers a device's challenges with one user's credentials. After a
// challenge was taken, every request carries an answer to it (the digest
// nonce is used again with a counted nonce count) until another challenge
// replaces it.
class Authenticator {
 public:
  void SetCredentials(const QByteArray& user, const QByteArray& password);
  bool HasCredentials() const { return !user_.isEmpty(); }
  // Takes the challenges of a 401 answer: false when none can be answered
  // (no credentials, only unknown schemes or algorithms).
  bool Take(const std::vector<Challenge>& challenges);
  // The Authorization field's value for a request; empty before a challenge.
  QByteArray Authorization(const QByteArray& method, const QByteArray& uri);

 private:
  QByteArray user_;
  QByteArray password_;
  bool basic_ = false;
  Challenge digest_;  // scheme empty: none taken
  quint32 nonceCount_ = 0;
};

}  // namespace http
