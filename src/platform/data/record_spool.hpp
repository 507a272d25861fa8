// The spool of records that could not reach their database: kept in a folder that the connection
// string names ("Spool Folder"), one file per process and connection string, and run into the
// database, in their order, once the server answers again.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "orvex/automation_error.hpp"
#include "platform/data/provider.hpp"

namespace orvex::data {
class Command;
class Connection;
}  // namespace orvex::data

namespace orvex::data::internal {

struct SpooledValue {
  NativeValue value;
  int32_t adoType = 0;
};

class RecordSpool {
 public:
  // The spool of the connection string; nullopt when it names no spool folder.
  static std::optional<RecordSpool> For(const ConnectionString& settings);

  // Appends the statement and its values to this process's spool file; on disk when it returns.
  // Raises the spool file's error (a missing folder, a full disk ...).
  void Append(const std::string& sql, const std::vector<SpooledValue>& values) const;
  // True when this process's spool holds records, or (checked once per process) a spool that a
  // process which has ended left behind.
  bool HasPending() const;
  // Runs the spooled records on the session, one file at a time in one transaction, and removes
  // each file once its transaction is committed. A file whose records the database refuses (the
  // table changed) is renamed to "<name>.rejected" and left for the operator. Raises when the
  // database cannot be reached; the files then stay as they are.
  void Replay(Session& session) const;

 private:
  RecordSpool(std::string folder, std::string prefix);
  std::string OwnFile() const;

  std::string folder_;
  std::string prefix_;  // "orvex-<hash of the connection string>-"
};

// Keeps the record of `command` (its text and its parameters' values) in the spool, and raises
// `failure` saying what became of the record: "(the record is kept in the spool folder)", or,
// when the spool cannot take it either, "(the record is lost: <why>)".
[[noreturn]] void SpoolRecord(const RecordSpool& spool, const Command& command,
                              AutomationError failure);

// Runs the spooled records, when there are any, on the session of the open connection before
// its next record. Inside a transaction nothing runs: the spool has transactions of its own.
// Raises as Replay.
void ReplayPending(const RecordSpool& spool, Connection& connection);

}  // namespace orvex::data::internal
