#include "platform/data/session_pool.hpp"
#include "platform/automation/ascii_case.hpp"

#include <pthread.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace orvex::data::internal {

namespace {

using Clock = std::chrono::steady_clock;

struct IdleSession {
  std::shared_ptr<Session> session;
  Clock::time_point since;
  explicit operator bool() const { return session != nullptr; }
};

// The idle sessions of one thread. The thread takes and returns sessions; the sweep closes
// those idle too long. Both hold the mutex, so a session is closed only while nobody uses it
// and its closing is seen by the thread before the thread's next use of the pool.
struct ThreadPool {
  std::mutex mutex;
  std::map<std::string, std::vector<IdleSession>> idle;
};

// The calling thread's pool once it has one (a plain pointer, readable in a fork handler).
ThreadPool*& OwnPool() {
  thread_local ThreadPool* own = nullptr;
  return own;
}

// Every thread's pool and the sweep that closes idle sessions.
class Pools {
 public:
  Pools() {
    pthread_atfork([] { Instance().PrepareForFork(); }, [] { Instance().mutex_.unlock(); },
                   [] { Instance().ForgetAfterFork(); });
  }

  ~Pools() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    if (sweeper_ != nullptr && sweeper_->joinable()) sweeper_->join();
    delete sweeper_;
  }

  static Pools& Instance() {
    static Pools pools;
    return pools;
  }

  void Register(ThreadPool* pool) {
    std::lock_guard lock(mutex_);
    pools_.insert(pool);
  }

  void Unregister(ThreadPool* pool) {
    std::lock_guard lock(mutex_);
    pools_.erase(pool);
  }

  // Starts the sweep when the first session goes idle.
  void EnsureSweeping() {
    std::lock_guard lock(mutex_);
    if (sweeper_ != nullptr || stopping_) return;
    sweeper_ = new std::thread([this] { Sweep(); });
  }

 private:
  void Sweep() {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, kIdleRelease / 4, [this] { return stopping_; })) {
      Clock::time_point limit = Clock::now() - kIdleRelease;
      for (ThreadPool* pool : pools_) {
        std::lock_guard poolLock(pool->mutex);
        for (auto& [key, sessions] : pool->idle)
          std::erase_if(sessions, [&](const IdleSession& s) { return s.since <= limit; });
      }
    }
  }

  // Holds the pools still through the fork, and first closes the idle sessions that must not
  // cross it. A session in use (by another thread, or held by its connection) crosses as it is.
  void PrepareForFork() {
    mutex_.lock();
    for (ThreadPool* pool : pools_) {
      std::lock_guard poolLock(pool->mutex);
      for (auto& [key, sessions] : pool->idle)
        std::erase_if(sessions, [](const IdleSession& s) { return s.session->CloseBeforeFork(); });
    }
  }

  // A child process shares the parent's open sessions (the same sockets and files): it must
  // neither use nor close them, so they are left as they are, and the parent's threads and
  // sweep do not exist in the child.
  void ForgetAfterFork() {
    for (ThreadPool* pool : pools_) {
      auto* left = new std::map<std::string, std::vector<IdleSession>>();
      left->swap(pool->idle);
    }
    pools_.clear();
    if (ThreadPool* own = OwnPool()) pools_.insert(own);
    sweeper_ = nullptr;
    mutex_.unlock();
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::set<ThreadPool*> pools_;
  std::thread* sweeper_ = nullptr;
  bool stopping_ = false;
};

// The calling thread's pool, registered for the sweep while the thread lives.
class ThreadPoolHandle {
 public:
  ThreadPoolHandle() {
    Pools::Instance().Register(&pool_);
    OwnPool() = &pool_;
  }
  ~ThreadPoolHandle() {
    OwnPool() = nullptr;
    Pools::Instance().Unregister(&pool_);
    std::lock_guard lock(pool_.mutex);
    pool_.idle.clear();
  }
  ThreadPool& Pool() { return pool_; }

 private:
  ThreadPool pool_;
};

ThreadPool& CurrentThreadPool() {
  thread_local ThreadPoolHandle handle;
  return handle.Pool();
}

std::string PoolKey(const ConnectionString& settings) {
  return ascii::Lower(settings.ProviderName()) + "|" + settings.Normalized();
}

// A session idle longer than this proves with a round trip that its server still answers; one
// idle for less is only checked for a link already known lost. A statement that then meets a
// link lost meanwhile runs again on a new session.
constexpr auto kCheckAfterIdle = std::chrono::milliseconds(250);

// The most recently idle session of the key, taken out of the pool (empty when none).
IdleSession TakeIdle(ThreadPool& pool, const std::string& key) {
  std::lock_guard lock(pool.mutex);
  auto found = pool.idle.find(key);
  if (found == pool.idle.end() || found->second.empty()) return {};
  IdleSession taken = std::move(found->second.back());
  found->second.pop_back();
  return taken;
}

bool StillServes(const IdleSession& idle) {
  if (Clock::now() - idle.since < kCheckAfterIdle) return !idle.session->IsLost();
  return idle.session->IsUsable();
}

}  // namespace

SessionSource SessionSourceFor(const ConnectionString& settings) {
  return {FindProvider(settings.ProviderName()), PoolKey(settings)};
}

PooledSession AcquireSession(const ConnectionString& settings, const SessionSource& source) {
  PooledSession pooled{nullptr, source.provider->Name(), source.poolKey};
  ThreadPool& pool = CurrentThreadPool();
  while (IdleSession candidate = TakeIdle(pool, pooled.poolKey)) {
    if (StillServes(candidate)) {
      pooled.session = std::move(candidate.session);
      return pooled;
    }
  }
  pooled.session = source.provider->Connect(settings);
  return pooled;
}

void ReleaseSession(PooledSession pooled) noexcept {
  if (!pooled.session) return;
  try {
    if (pooled.session->InTransaction()) pooled.session->Rollback();
    if (pooled.session->IsLost()) return;
    ThreadPool& pool = CurrentThreadPool();
    {
      std::lock_guard lock(pool.mutex);
      auto& idle = pool.idle[pooled.poolKey];
      if (idle.size() >= kMaxIdlePerKey) return;
      idle.push_back({std::move(pooled.session), Clock::now()});
    }
    Pools::Instance().EnsureSweeping();
  } catch (...) {
    // A session that fails to roll back is not reused; dropping it closes it.
  }
}

size_t IdleSessionCount(const ConnectionString& settings) {
  ThreadPool& pool = CurrentThreadPool();
  std::lock_guard lock(pool.mutex);
  auto found = pool.idle.find(PoolKey(settings));
  return found == pool.idle.end() ? 0 : found->second.size();
}

}  // namespace orvex::data::internal
