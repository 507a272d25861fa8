#include "platform/data/sqlite/sqlite_locking.hpp"

#include <sqlite3.h>

#include <chrono>
#include <random>
#include <thread>

namespace orvex::data::internal::sqlite {

namespace {

long long NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// SQLite's own busy timeout sleeps longer and longer (up to 100 ms) between tries, so a session
// that has waited long loses the lock to newcomers that try in between. Naps of a fraction of a
// millisecond, at random lengths, let every waiter try about as often as the others: the lock
// goes to the waiters in turn, and no wait passes the timeout.
int WaitForLock(void* state, int attempt) {
  auto& wait = *static_cast<LockWait*>(state);
  long long now = NowNs();
  if (attempt == 0) wait.startedNs = now;
  if (now - wait.startedNs >= static_cast<long long>(wait.timeoutMs) * 1000000) return 0;
  thread_local std::minstd_rand random{std::random_device{}()};
  std::this_thread::sleep_for(std::chrono::microseconds(100 + random() % 900));
  return 1;
}

}  // namespace

void ApplyLockingPolicy(sqlite3* db, LockWait& wait, bool writable) {
  sqlite3_busy_handler(db, WaitForLock, &wait);
  if (!writable) return;
  // The mode is stored in the file, so every later session of any program sees it. When
  // another session holds the file too long for the switch, the file keeps its mode; the
  // transactions below stay correct in either mode.
  sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
}

}  // namespace orvex::data::internal::sqlite
