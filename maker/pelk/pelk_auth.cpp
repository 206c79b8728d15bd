#include "pelk/pelk_auth.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <random>

namespace pelk {

namespace {
constexpr char kLoginLabel[] = "PELK-LOGIN-1";

QByteArray FoldUpper(const char* text) {
  QByteArray folded(text ? text : "");
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}
}  // namespace

Nonce MakeNonce() {
  std::random_device source;
  Nonce nonce{};
  for (size_t i = 0; i < nonce.size(); i += 4) {
    const uint32_t word = source();
    for (size_t j = 0; j < 4 && i + j < nonce.size(); ++j) nonce[i + j] = static_cast<uint8_t>(word >> (8 * j));
  }
  return nonce;
}

Proof MakeProof(const char* password, const Nonce& serverNonce, const Nonce& clientNonce,
                const std::string& userName) {
  QMessageAuthenticationCode mac(QCryptographicHash::Sha256, FoldUpper(password));
  mac.addData(kLoginLabel, sizeof kLoginLabel - 1);
  mac.addData(reinterpret_cast<const char*>(serverNonce.data()), static_cast<qsizetype>(serverNonce.size()));
  mac.addData(reinterpret_cast<const char*>(clientNonce.data()), static_cast<qsizetype>(clientNonce.size()));
  mac.addData(userName.data(), static_cast<qsizetype>(userName.size()));
  const QByteArray result = mac.result();
  Proof proof{};
  std::memcpy(proof.data(), result.constData(), proof.size());
  return proof;
}

}  // namespace pelk

BOOL Pelk_CheckPassword(const PelkPasswordVerifier* verifier, const char* password) {
  if (!verifier || !password) return FALSE;
  const pelk::Proof expected =
      pelk::MakeProof(password, verifier->serverNonce, verifier->clientNonce, verifier->userName);
  // Compared in constant time: the time taken tells nothing about the proof.
  uint8_t difference = 0;
  for (size_t i = 0; i < expected.size(); ++i) difference |= expected[i] ^ verifier->proof[i];
  return difference == 0 ? TRUE : FALSE;
}
