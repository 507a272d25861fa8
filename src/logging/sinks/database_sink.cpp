#include "logging/sinks/database_sink.hpp"

#include <optional>

#include "foundation/error_path.hpp"
#include "orvex/data.hpp"
#include "platform/data/connection_access.hpp"
#include "platform/data/connection_string.hpp"
#include "platform/data/record_spool.hpp"

namespace orvex::logging {

namespace {

using data::internal::RecordSpool;

void CloseIfOpen(const std::shared_ptr<data::Connection>& connection) {
  foundation::IgnoringFailure([&] {
    if (connection && connection->State() == data::adStateOpen) connection->Close();
  });
}

// Raises the pending failure of reaching the database; when the database was out of reach, the
// insert's record is first kept in the spool that the connection string names, if it names one.
[[noreturn]] void RaiseUnreached(const std::string& connection_string,
                                 const std::shared_ptr<data::Command>& insert, bool out_of_reach) {
  AutomationError failure = foundation::PendingError();
  if (!out_of_reach || !insert || insert->CommandText.empty()) throw failure;
  std::optional<RecordSpool> spool;
  try {
    spool = RecordSpool::For(data::internal::ConnectionString::Parse(connection_string));
  } catch (...) {
  }
  if (spool) data::internal::SpoolRecord(*spool, *insert, failure);
  throw failure;
}

}  // namespace

DatabaseSink::DatabaseSink(Sessions sessions, std::string owner)
    : sessions_(sessions), owner_(std::move(owner)) {}

DatabaseSink::~DatabaseSink() = default;

void DatabaseSink::Connect(const std::string& connection_string) {
  if (sessions_ == Sessions::kConnectionPerRecord) {
    connection_string_ = connection_string;
    has_connected_ = false;
    return;
  }
  kept_connection_ = std::make_shared<data::Connection>();
  kept_connection_->ConnectionString = connection_string;
  // Between records the session waits in the pool, shared with the thread's other loggers.
  kept_connection_->HoldSessionOnlyWhileRunning();
  kept_connection_->Open("", "", "", -1);
}

void DatabaseSink::OpenConnection(std::shared_ptr<data::Connection>& connection) {
  connection = std::make_shared<data::Connection>();
  connection->ConnectionString = connection_string_;
  connection->Open("", "", "", -1);
  has_connected_ = true;
}

void DatabaseSink::OnOwnConnection(
    const std::function<void(const std::shared_ptr<data::Connection>&)>& query) {
  std::shared_ptr<data::Connection> connection;
  try {
    OpenConnection(connection);
    query(connection);
    connection->Close();
  } catch (...) {
    AutomationError pending = foundation::PendingError();
    CloseIfOpen(connection);
    throw pending;
  }
}

std::shared_ptr<data::Command> DatabaseSink::NewInsert() const {
  auto insert = std::make_shared<data::Command>();
  insert->ActiveConnection = kept_connection_;
  insert->CommandType = data::adCmdText;
  return insert;
}

void DatabaseSink::RequireInsert(const std::shared_ptr<data::Command>& insert) const {
  if (!insert) Raise(errObjectNotSet, owner_, "No database destination: call pConnect first");
}

void DatabaseSink::Insert(const std::shared_ptr<data::Command>& insert) {
  if (sessions_ == Sessions::kConnectionPerRecord) {
    InsertOnOwnConnection(insert);
    return;
  }
  // A server out of reach at pConnect is tried again with each record.
  if (kept_connection_ && kept_connection_->State() != data::adStateOpen &&
      insert->ActiveConnection == kept_connection_)
    kept_connection_->Open("", "", "", -1);
  insert->Execute(nullptr, Variant::Missing(), -1);
}

void DatabaseSink::InsertOnOwnConnection(const std::shared_ptr<data::Command>& insert) {
  std::shared_ptr<data::Connection> connection;
  bool transaction_begun = false;
  try {
    const bool connected_before = has_connected_;
    try {
      OpenConnection(connection);
    } catch (...) {
      // The string opened before: the database is out of reach, not named wrong.
      RaiseUnreached(connection_string_, insert, connected_before);
    }
    RequireInsert(insert);
    try {
      // What the spool holds goes first, outside the record's transaction.
      if (std::optional<RecordSpool> spool =
              RecordSpool::For(data::internal::ConnectionAccess::Settings(*connection)))
        data::internal::ReplayPending(*spool, *connection);
      insert->ActiveConnection = connection;
      connection->BeginTrans();
      transaction_begun = true;
    } catch (...) {
      RaiseUnreached(connection_string_, insert,
                     data::internal::ConnectionAccess::LostItsDatabase(*connection));
    }
    // A connection lost during the insert itself: the command keeps the record in the spool.
    insert->Execute(nullptr, Variant::Missing(), -1);
    insert->ActiveConnection = nullptr;
    connection->CommitTrans();
    transaction_begun = false;
    connection->Close();
  } catch (...) {
    AutomationError pending = foundation::PendingError();
    // One transaction per insert: a row is committed whole or not written at all.
    if (transaction_begun) foundation::IgnoringFailure([&] { connection->RollbackTrans(); });
    CloseIfOpen(connection);
    foundation::IgnoringFailure([&] {
      if (insert) insert->ActiveConnection = nullptr;
    });
    throw pending;
  }
}

}  // namespace orvex::logging
