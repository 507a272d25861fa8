#include "platform/data/sqlite/sqlite_session.hpp"

#include <sqlite3.h>
#include <sys/stat.h>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "platform/automation/ascii_case.hpp"
#include "platform/data/sql_dialect.hpp"
#include "platform/data/sqlite/sqlite_errors.hpp"
#include "platform/data/sqlite/sqlite_statement.hpp"

namespace orvex::data::internal::sqlite {

namespace {

constexpr int kDefaultBusyTimeoutMs = 5000;

int OpenFlags(const ConnectionString& settings) {
  std::string mode = ascii::Lower(settings.GetOr("mode", ""));
  std::string readOnly = ascii::Lower(settings.GetOr("read only", ""));
  if (mode == "readonly" || mode == "read" || readOnly == "true" || readOnly == "yes" ||
      readOnly == "1")
    return SQLITE_OPEN_READONLY;
  if (mode == "readwrite") return SQLITE_OPEN_READWRITE;
  return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
}

int BusyTimeout(const ConnectionString& settings) {
  // "Lock Timeout" is the provider-neutral key; "Busy Timeout" is SQLite's own name for it.
  if (settings.Has("lock timeout")) return settings.LockTimeoutMilliseconds();
  std::string text = settings.GetOr("busy timeout", "");
  if (text.empty()) return kDefaultBusyTimeoutMs;
  try {
    return std::stoi(text);
  } catch (const std::exception&) {
    throw AutomationError(adErrInvalidArgument, kProviderName,
                          "Busy Timeout must be a number of milliseconds, not '" + text + "'");
  }
}

}  // namespace

void Database::CloseNow() {
  std::lock_guard lock(closing);
  if (closed) return;
  while (sqlite3_stmt* statement = sqlite3_next_stmt(db, nullptr)) sqlite3_finalize(statement);
  sqlite3_close_v2(db);
  closed = true;
}

Database::~Database() {
  if (!closed) sqlite3_close_v2(db);
}

SqliteSession::SqliteSession(const ConnectionString& settings)
    : database_(std::make_shared<Database>()) {
  auto source = settings.Get("data source");
  if (!source) source = settings.Get("database");
  if (!source || source->empty())
    throw AutomationError(E_FAIL, kProviderName,
                          "The connection string names no Data Source (the database file)");
  path_ = *source;
  int timeout = BusyTimeout(settings);
  // Sessions are pooled per thread and a connection serves one call at a time, so SQLite's own
  // lock around every call (a measurable part of reading each value) is not needed.
  int rc = sqlite3_open_v2(path_.c_str(), &database_->db, OpenFlags(settings) | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  if (rc != SQLITE_OK) {
    std::string message =
        database_->db != nullptr ? sqlite3_errmsg(database_->db) : sqlite3_errstr(rc);
    RaiseResult(rc, message + ": " + path_);
  }
  sqlite3_extended_result_codes(database_->db, 1);
  database_->lockWait.timeoutMs = timeout;
  ApplyLockingPolicy(database_->db, database_->lockWait,
                     sqlite3_db_readonly(database_->db, "main") == 0);
  Exec("PRAGMA foreign_keys = ON");
  RememberFileIdentity();
}

void SqliteSession::RememberFileIdentity() {
  struct stat info {};
  if (path_ != ":memory:" && ::stat(path_.c_str(), &info) == 0) {
    fileIdentityKnown_ = true;
    device_ = info.st_dev;
    inode_ = info.st_ino;
  }
}

std::unique_ptr<Statement> SqliteSession::Prepare(const std::string& sql) {
  std::string text = TranslateTopToLimit(sql);
  sqlite3_stmt* statement = nullptr;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(database_->db, text.c_str(), static_cast<int>(text.size()),
                              &statement, &tail);
  if (rc != SQLITE_OK) {
    if (IsSessionFatal(rc)) database_->broken = true;
    RaiseLastError(database_->db, rc);
  }
  auto compiled = std::make_unique<SqliteStatement>(database_, statement);
  if (statement == nullptr)
    throw AutomationError(DB_E_ERRORSINCOMMAND, kProviderName,
                          "The command text holds no statement");
  if (tail != nullptr && !IsOnlyBlankOrComments(tail))
    throw AutomationError(DB_E_ERRORSINCOMMAND, kProviderName,
                          "The command text holds more than one statement; only one may be "
                          "executed at a time (text after the first: '" +
                              std::string(tail).substr(0, 60) + "')");
  return compiled;
}

void SqliteSession::Exec(const char* sql) {
  char* message = nullptr;
  int rc = sqlite3_exec(database_->db, sql, nullptr, nullptr, &message);
  if (rc == SQLITE_OK) return;
  std::string text = message != nullptr ? message : sqlite3_errstr(rc);
  sqlite3_free(message);
  if (IsSessionFatal(rc)) database_->broken = true;
  RaiseResult(rc, text);
}

void SqliteSession::Begin() { Exec(kBeginTransaction); }
void SqliteSession::Commit() { Exec("COMMIT"); }
void SqliteSession::Rollback() { Exec("ROLLBACK"); }

bool SqliteSession::InTransaction() const { return sqlite3_get_autocommit(database_->db) == 0; }

bool SqliteSession::CloseBeforeFork() {
  database_->CloseNow();
  return true;
}

bool SqliteSession::IsUsable() { return !IsLost(); }

bool SqliteSession::IsLost() {
  if (database_->broken) return true;
  if (!fileIdentityKnown_) return false;
  // A file deleted or replaced since the session opened it is not the database the connection
  // string names any more.
  struct stat info {};
  return ::stat(path_.c_str(), &info) != 0 || info.st_dev != device_ || info.st_ino != inode_;
}

// A session is lost when its file went; SQLite has then run nothing of the statement that
// found it, and a failing statement on a file still in place is never retried.
bool SqliteSession::LostBeforeRunning() const { return false; }

SessionDescription SqliteSession::Describe() const {
  SessionDescription description;
  description.dbmsName = "SQLite";
  description.dbmsVersion = sqlite3_libversion();
  description.currentCatalog = "main";
  description.dataSource = path_;  // as the connection string names it
  description.readOnly = sqlite3_db_readonly(database_->db, "main") == 1;
  return description;
}

}  // namespace orvex::data::internal::sqlite
