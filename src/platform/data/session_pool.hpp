// Session pooling per connection string: a connection closed and opened again reuses its live
// session instead of reconnecting. Pools belong to the calling thread, as the objects do; a
// session waiting in a pool is closed once it has been idle for kIdleRelease, by a sweep that
// runs beside the threads.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/data/provider.hpp"

namespace orvex::data::internal {

// How long a session waits in the pool before it is closed, and at most how many wait per
// connection string in one thread.
inline constexpr std::chrono::milliseconds kIdleRelease{2000};
inline constexpr size_t kMaxIdlePerKey = 4;

struct PooledSession {
  std::shared_ptr<Session> session;
  std::string providerName;
  std::string poolKey;
};

// Where the sessions of a connection come from: its provider and its key in the pools. A
// connection works them out once, at Open, not for each session it takes from the pool.
struct SessionSource {
  std::shared_ptr<Provider> provider;
  std::string poolKey;
};

// Raises adErrProviderNotFound for a provider that is not registered.
SessionSource SessionSourceFor(const ConnectionString& settings);

// An idle usable session of the same provider and settings, or a new one from the provider.
// Idle sessions that are no longer usable are dropped on the way.
PooledSession AcquireSession(const ConnectionString& settings, const SessionSource& source);

// Gives the session back for reuse; a session in a transaction (rolled back first) or no
// longer usable is closed instead. Never raises.
void ReleaseSession(PooledSession pooled) noexcept;

// Number of idle sessions held for the key in this thread (for tests of the pool).
size_t IdleSessionCount(const ConnectionString& settings);

}  // namespace orvex::data::internal
