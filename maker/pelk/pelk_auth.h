// The login's challenge and response: nonces, the proof a client computes from
// its password text, and the verifier the serving side hands its main window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "pelk/pelk.h"
#include "pelk/pelk_wire.h"

namespace pelk {

using Nonce = std::array<uint8_t, kNonceSize>;
using Proof = std::array<uint8_t, kProofSize>;

// A fresh random nonce from the system's random source.
Nonce MakeNonce();

// HMAC-SHA256 of the login message under the password text folded to upper case.
Proof MakeProof(const char* password, const Nonce& serverNonce, const Nonce& clientNonce,
                const std::string& userName);

}  // namespace pelk

// What the peer sent, for Pelk_CheckPassword (WM_RELAY_CHECK_USER's lParam).
struct PelkPasswordVerifier {
  pelk::Nonce serverNonce{};
  pelk::Nonce clientNonce{};
  std::string userName;
  pelk::Proof proof{};
};
