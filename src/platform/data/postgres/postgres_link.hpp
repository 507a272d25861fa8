// One libpq connection, shared by a session and the statements compiled on it, with what the
// session has learnt of the catalog.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/data/connection_string.hpp"

struct pg_conn;
struct pg_result;

namespace orvex::data::internal::postgres {

struct CatalogColumn {
  std::string name;
  bool notNull = false;
  bool primaryKey = false;
};

struct CatalogTable {
  std::string schema;
  std::string name;
  std::map<int, CatalogColumn> columns;  // by attribute number
};

class Link {
 public:
  // Connects; raises 0x80004005 with libpq's message when the server cannot be reached.
  explicit Link(const ConnectionString& settings);
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  pg_conn* Connection() const { return conn_; }
  bool IsOpen() const;
  // Ends the connection now, also while statements still refer to the link.
  void Close();

  // Whether the last statement failed on a lost link before the server reported it done.
  bool LostBeforeRunning() const { return lostBeforeRunning_; }
  void NoteFailure(bool serverReportedDone);

  // Runs a command without parameters; raises the server's error.
  void Exec(const std::string& sql);
  // A round trip that proves the server still answers; false (and the link closed for good)
  // when it does not.
  bool Ping();

  // The server keeps one unnamed prepared statement per connection; any other statement sent
  // replaces it. A statement compiled there remembers the serial it got, and the link says
  // whether the statement still holds the slot.
  uint64_t ClaimUnnamedStatement();
  bool HoldsUnnamedStatement(uint64_t serial) const { return unnamedOwner_ == serial; }
  void ReleaseUnnamedStatement() { unnamedOwner_ = 0; }
  std::string NextStatementName();

  // The tables with these OIDs, read from the catalog once per session.
  const CatalogTable* Table(unsigned oid);
  void LoadTables(const std::vector<unsigned>& oids);

 private:
  pg_conn* conn_ = nullptr;
  uint64_t nextSerial_ = 0;
  uint64_t unnamedOwner_ = 0;
  bool lostBeforeRunning_ = false;
  std::map<unsigned, CatalogTable> tables_;
};

// Frees a result when it goes out of scope.
struct ResultGuard {
  pg_result* result;
  ~ResultGuard();
};

}  // namespace orvex::data::internal::postgres
