// The database destination: a logger's prepared insert run once per record, on a connection the
// sink keeps (its session waiting in the pool between records) or on one it opens for the record
// alone, in a transaction of its own. A record that cannot reach the database because the
// database cannot be reached (not one the database refuses) is kept in the spool folder that the
// connection string names, if it names one, and written before the next record that gets
// through: the kept connection's command does that itself; for a connection per record the sink
// does it.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace orvex::data {
class Command;
class Connection;
}  // namespace orvex::data

namespace orvex::logging {

class DatabaseSink {
 public:
  enum class Sessions { kKeptConnection, kConnectionPerRecord };

  // owner: the logger's class name, the source of the sink's own errors.
  DatabaseSink(Sessions sessions, std::string owner);
  ~DatabaseSink();
  DatabaseSink(const DatabaseSink&) = delete;
  DatabaseSink& operator=(const DatabaseSink&) = delete;

  // kKeptConnection: a new connection on the string, kept (and replacing the one before) before
  // it opens, then opened; raises the open's failure. kConnectionPerRecord: remembers the string
  // for the connections to come; opens nothing.
  void Connect(const std::string& connection_string);
  // Runs the logger's own query on a new connection on the remembered string, opened for it and
  // closed after it, also when the query fails; raises the open's or the query's failure.
  void OnOwnConnection(const std::function<void(const std::shared_ptr<data::Connection>&)>& query);
  // A new text command for an insert, on the kept connection (on none with a connection per
  // record).
  std::shared_ptr<data::Command> NewInsert() const;
  // Raises error 91 naming the owner when there is no insert to run.
  void RequireInsert(const std::shared_ptr<data::Command>& insert) const;

  // Runs the insert once with the values its parameters hold. On the kept connection: the
  // connection is opened again first when pConnect could not open it and the insert still runs
  // on it. With a connection per record: the spooled records go first, then the insert runs in
  // its own transaction, rolled back when it fails; the connection is closed either way. A
  // connection that cannot be opened counts as the database out of reach once one on the same
  // string has opened (in pConnect's column query, say), never before.
  void Insert(const std::shared_ptr<data::Command>& insert);

  // The kept connection (madoConnection); nullptr before Connect.
  const std::shared_ptr<data::Connection>& KeptConnection() const { return kept_connection_; }

 private:
  // A new connection on the remembered string, stored in `connection` before it opens (so that
  // the caller's error path can close it), then opened.
  void OpenConnection(std::shared_ptr<data::Connection>& connection);
  void InsertOnOwnConnection(const std::shared_ptr<data::Command>& insert);

  Sessions sessions_;
  std::string owner_;
  std::shared_ptr<data::Connection> kept_connection_;  // kKeptConnection
  std::string connection_string_;                      // kConnectionPerRecord
  // A connection on the string has opened: a later one that cannot open means the database is
  // out of reach, not that the string is wrong.
  bool has_connected_ = false;
};

}  // namespace orvex::logging
