// Name resolution that a stream thread can give up on: the system resolver runs
// in the background while the caller polls its stop flag and a deadline, so a
// stream being deleted never waits on a slow name server.
#pragma once

#include <atomic>
#include <string>

namespace hostresolver {

// Numeric addresses are returned unchanged. Otherwise resolves `host` to a
// numeric address text. false when it does not resolve, the time runs out or
// `stop` is set.
bool Resolve(const std::string& host, const std::atomic<bool>& stop, int timeoutMs,
             std::string* address);

}  // namespace hostresolver
