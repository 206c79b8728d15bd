#include "maker/gimbro/http/http_auth.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <optional>

namespace http {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }
bool Ends(char c) { return IsSpace(c) || c == ',' || c == '=' || c == '"'; }

std::optional<QCryptographicHash::Algorithm> HashOf(const QByteArray& algorithm) {
  QByteArray name = algorithm.toUpper();
  if (name.endsWith("-SESS")) name.chop(5);
  if (name.isEmpty() || name == "MD5") return QCryptographicHash::Md5;
  if (name == "SHA-256") return QCryptographicHash::Sha256;
  return std::nullopt;
}

QByteArray Hex(QCryptographicHash::Algorithm hash, const QByteArray& text) {
  return QCryptographicHash::hash(text, hash).toHex();
}

// A quoted-string of a header field: backslashes and quotes escaped.
QByteArray Quoted(const QByteArray& value) {
  QByteArray out = "\"";
  for (char c : value) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + '"';
}

// "auth" when the challenge offers it (or names no qop), else nothing usable.
std::optional<QByteArray> QopOf(const Challenge& challenge) {
  if (!challenge.params.contains("qop")) return QByteArray();
  for (const QByteArray& option : challenge.params.value("qop").split(',')) {
    if (option.trimmed().toLower() == "auth") return QByteArray("auth");
  }
  return std::nullopt;
}

}  // namespace

std::vector<Challenge> ReadChallenges(const QList<QByteArray>& fields) {
  std::vector<Challenge> out;
  for (const QByteArray& s : fields) {
    const qsizetype n = s.size();
    qsizetype i = 0;
    bool inChallenge = false;
    auto skipSpace = [&] {
      while (i < n && IsSpace(s[i])) ++i;
    };
    auto token = [&] {
      const qsizetype start = i;
      while (i < n && !Ends(s[i])) ++i;
      return s.mid(start, i - start);
    };
    while (i < n) {
      skipSpace();
      if (i >= n) break;
      if (s[i] == ',' || s[i] == '=' || s[i] == '"') {
        ++i;  // a separator, or what is left of a value that could not be read
        continue;
      }
      const QByteArray name = token();
      skipSpace();
      if (i < n && s[i] == '=') {
        ++i;
        skipSpace();
        QByteArray value;
        if (i < n && s[i] == '"') {
          for (++i; i < n && s[i] != '"'; ++i) {
            if (s[i] == '\\' && i + 1 < n) ++i;
            value += s[i];
          }
          if (i < n) ++i;
        } else {
          value = token();
        }
        if (inChallenge) out.back().params.insert(name.toLower(), value);
      } else {
        out.push_back(Challenge{name.toLower(), {}});
        inChallenge = true;
      }
    }
  }
  return out;
}

QByteArray DigestResponse(const QByteArray& algorithm, const QByteArray& user, const QByteArray& realm,
                          const QByteArray& password, const QByteArray& nonce, const QByteArray& nc,
                          const QByteArray& cnonce, const QByteArray& qop, const QByteArray& method,
                          const QByteArray& uri) {
  const auto hash = HashOf(algorithm);
  if (!hash) return {};
  QByteArray ha1 = Hex(*hash, user + ':' + realm + ':' + password);
  if (algorithm.toUpper().endsWith("-SESS")) ha1 = Hex(*hash, ha1 + ':' + nonce + ':' + cnonce);
  const QByteArray ha2 = Hex(*hash, method + ':' + uri);
  if (qop.isEmpty()) return Hex(*hash, ha1 + ':' + nonce + ':' + ha2);
  return Hex(*hash, ha1 + ':' + nonce + ':' + nc + ':' + cnonce + ':' + qop + ':' + ha2);
}

void Authenticator::SetCredentials(const QByteArray& user, const QByteArray& password) {
  user_ = user;
  password_ = password;
  basic_ = false;
  digest_ = Challenge();
}

bool Authenticator::Take(const std::vector<Challenge>& challenges) {
  if (!HasCredentials()) return false;
  // The strongest digest offered first, Basic only when there is no digest.
  const Challenge* best = nullptr;
  for (const Challenge& c : challenges) {
    if (c.scheme != "digest" || !c.params.contains("nonce") || !HashOf(c.params.value("algorithm")) || !QopOf(c)) {
      continue;
    }
    const bool sha = HashOf(c.params.value("algorithm")) == QCryptographicHash::Sha256;
    if (best == nullptr || (sha && HashOf(best->params.value("algorithm")) != QCryptographicHash::Sha256)) best = &c;
  }
  if (best != nullptr) {
    digest_ = *best;
    basic_ = false;
    nonceCount_ = 0;
    return true;
  }
  for (const Challenge& c : challenges) {
    if (c.scheme == "basic") {
      digest_ = Challenge();
      basic_ = true;
      return true;
    }
  }
  return false;
}

QByteArray Authenticator::Authorization(const QByteArray& method, const QByteArray& uri) {
  if (basic_) return "Basic " + (user_ + ':' + password_).toBase64();
  if (digest_.scheme.isEmpty()) return {};
  const QByteArray algorithm = digest_.params.value("algorithm");
  const QByteArray realm = digest_.params.value("realm");
  const QByteArray nonce = digest_.params.value("nonce");
  const QByteArray qop = QopOf(digest_).value_or(QByteArray());
  const QByteArray nc = QByteArray::number(++nonceCount_, 16).rightJustified(8, '0');
  QByteArray cnonce(16, '\0');
  QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(cnonce.data()), cnonce.size() / 4);
  cnonce = cnonce.toHex();
  QByteArray field = "Digest username=" + Quoted(user_) + ", realm=" + Quoted(realm) + ", nonce=" + Quoted(nonce) +
                     ", uri=" + Quoted(uri) + ", response=\"" +
                     DigestResponse(algorithm, user_, realm, password_, nonce, nc, cnonce, qop, method, uri) + '"';
  if (!algorithm.isEmpty()) field += ", algorithm=" + algorithm;
  if (digest_.params.contains("opaque")) field += ", opaque=" + Quoted(digest_.params.value("opaque"));
  if (!qop.isEmpty()) field += ", qop=" + qop + ", nc=" + nc + ", cnonce=" + Quoted(cnonce);
  return field;
}

}  // namespace http
