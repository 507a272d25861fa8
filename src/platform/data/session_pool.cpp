#include "platform/data/session_pool.hpp"

#include <map>
#include <vector>

namespace orvex::data::internal {

namespace {

// A handful of idle sessions per key is enough for open-use-close patterns.
constexpr size_t kMaxIdlePerKey = 4;

using Pool = std::map<std::string, std::vector<std::shared_ptr<Session>>>;

Pool& ThreadPool() {
  thread_local Pool pool;
  return pool;
}

std::string PoolKey(const ConnectionString& settings) {
  return ToLower(settings.ProviderName()) + "|" + settings.Normalized();
}

}  // namespace

PooledSession AcquireSession(const ConnectionString& settings) {
  std::shared_ptr<Provider> provider = FindProvider(settings.ProviderName());
  PooledSession pooled{nullptr, provider->Name(), PoolKey(settings)};
  auto& idle = ThreadPool()[pooled.poolKey];
  while (!idle.empty()) {
    std::shared_ptr<Session> candidate = std::move(idle.back());
    idle.pop_back();
    if (candidate->IsUsable()) {
      pooled.session = std::move(candidate);
      return pooled;
    }
  }
  pooled.session = provider->Connect(settings);
  return pooled;
}

void ReleaseSession(PooledSession pooled) noexcept {
  if (!pooled.session) return;
  try {
    if (pooled.session->InTransaction()) pooled.session->Rollback();
    if (!pooled.session->IsUsable()) return;
    auto& idle = ThreadPool()[pooled.poolKey];
    if (idle.size() < kMaxIdlePerKey) idle.push_back(std::move(pooled.session));
  } catch (...) {
    // A session that fails to roll back is not reused; dropping it closes it.
  }
}

size_t IdleSessionCount(const ConnectionString& settings) {
  auto found = ThreadPool().find(PoolKey(settings));
  return found == ThreadPool().end() ? 0 : found->second.size();
}

}  // namespace orvex::data::internal
