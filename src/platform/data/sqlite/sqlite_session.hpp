// A session on one SQLite database file, and the statements compiled on it.
#pragma once

#include <sys/types.h>

#include <memory>
#include <mutex>
#include <string>

#include "platform/data/provider.hpp"
#include "platform/data/sqlite/sqlite_locking.hpp"

struct sqlite3;

namespace orvex::data::internal::sqlite {

// The open database handle, kept alive by the session and by every statement compiled on it.
struct Database {
  sqlite3* db = nullptr;
  bool broken = false;  // a fatal result was seen: the pool must not hand the session out
  LockWait lockWait;
  // Set once CloseNow has finalized the statements and closed the handle: a statement left then
  // has nothing to finalize. The mutex orders that against a statement's own finalizing, which
  // may happen on the thread of the connection that compiled it.
  bool closed = false;
  std::mutex closing;
  // Finalizes every statement compiled on the handle and closes it, now.
  void CloseNow();
  ~Database();
};

class SqliteSession : public Session {
 public:
  // Opens the file named by "Data Source". "Mode=ReadOnly" (or "Read Only=True") opens it
  // read-only, "Mode=ReadWrite" refuses to create it; "Busy Timeout" is in milliseconds
  // (default 5000), the longest a statement waits for another session's write lock.
  explicit SqliteSession(const ConnectionString& settings);

  std::unique_ptr<Statement> Prepare(const std::string& sql) override;
  void Begin() override;
  void Commit() override;
  void Rollback() override;
  bool InTransaction() const override;
  bool IsUsable() override;
  bool IsLost() override;
  bool LostBeforeRunning() const override;
  SessionDescription Describe() const override;
  // SQLite keeps a process's file locks once per file, for all its sessions: a child's own
  // sessions of a file its parent held open at the fork would take no locks of their own, and
  // the parent's session, closing as the only one it sees, would take the write-ahead log away
  // from under them. The handle is closed even where a prepared command still holds a
  // statement of it; that command compiles its statement again on its next session.
  bool CloseBeforeFork() override;

 private:
  void Exec(const char* sql);
  void RememberFileIdentity();

  std::shared_ptr<Database> database_;
  std::string path_;
  bool fileIdentityKnown_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

}  // namespace orvex::data::internal::sqlite
