// How sessions on one SQLite file share it: the journal mode set on the file, the kind of
// transaction a session begins and the wait for a lock another session holds.
#pragma once

struct sqlite3;

namespace orvex::data::internal::sqlite {

// The lock wait of one session: how long a statement waits for the file's write lock before it
// fails with "database is locked".
struct LockWait {
  int timeoutMs = 5000;
  long long startedNs = 0;  // when the current wait began
};

// Sets the locking policy on a newly opened handle: the busy handler below waits at most
// `wait.timeoutMs` in short randomised naps, and a writable database is switched to
// write-ahead logging (readers and the writer then do not block each other, and a writer
// waits only for another writer). `wait` must outlive the handle.
void ApplyLockingPolicy(sqlite3* db, LockWait& wait, bool writable);

// The statement that begins an explicit transaction: it takes the write lock at once, so two
// sessions never both hold a read lock that each needs the other to drop (a deadlock SQLite
// can only end by failing one of them without waiting).
inline constexpr const char* kBeginTransaction = "BEGIN IMMEDIATE";

}  // namespace orvex::data::internal::sqlite
