#include "platform/data/postgres/postgres_session.hpp"

#include <libpq-fe.h>

#include "orvex/data.hpp"
#include "platform/data/postgres/postgres_errors.hpp"
#include "platform/data/postgres/postgres_sql.hpp"
#include "platform/data/postgres/postgres_statement.hpp"

namespace orvex::data::internal::postgres {

namespace {

std::string ServerSetting(pg_conn* conn, const char* name) {
  const char* value = PQparameterStatus(conn, name);
  return value != nullptr ? value : "";
}

std::string VersionText(int version) {
  // 150004 is 15.4; before version 10 the middle two digits were the minor version.
  if (version >= 100000)
    return std::to_string(version / 10000) + "." + std::to_string(version % 10000);
  return std::to_string(version / 10000) + "." + std::to_string(version / 100 % 100) + "." +
         std::to_string(version % 100);
}

}  // namespace

PostgresSession::PostgresSession(const ConnectionString& settings)
    : link_(std::make_shared<Link>(settings)) {}

// Statements compiled on the session may outlive it in a command; the server connection ends
// with the session all the same.
PostgresSession::~PostgresSession() { link_->Close(); }

std::unique_ptr<Statement> PostgresSession::Prepare(const std::string& sql) {
  TranslatedSql translated = TranslateForPostgres(sql);
  if (!link_->IsOpen()) {
    link_->NoteFailure(false);
    RaiseConnectionError(link_->Connection(), "The connection is broken");
  }
  return std::make_unique<PostgresStatement>(link_, std::move(translated.text),
                                             translated.parameterCount);
}

void PostgresSession::Begin() {
  try {
    link_->Exec("BEGIN");
  } catch (...) {
    link_->NoteFailure(false);  // a BEGIN stores nothing: on a lost link it may run again
    throw;
  }
}

void PostgresSession::Commit() {
  if (PQtransactionStatus(link_->Connection()) == PQTRANS_INERROR) {
    link_->Exec("ROLLBACK");
    RaiseProviderError(E_FAIL,
                       "The transaction was rolled back: a statement in it failed, so the server "
                       "refuses to commit it");
  }
  link_->Exec("COMMIT");
}

void PostgresSession::Rollback() { link_->Exec("ROLLBACK"); }

bool PostgresSession::InTransaction() const {
  PGTransactionStatusType status = PQtransactionStatus(link_->Connection());
  return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

bool PostgresSession::IsUsable() { return link_->Ping(); }

bool PostgresSession::IsLost() { return !link_->IsOpen(); }

bool PostgresSession::LostBeforeRunning() const { return link_->LostBeforeRunning(); }

SessionDescription PostgresSession::Describe() const {
  pg_conn* conn = link_->Connection();
  SessionDescription description;
  description.dbmsName = "PostgreSQL";
  description.dbmsVersion = VersionText(PQserverVersion(conn));
  description.currentCatalog = PQdb(conn);
  description.userId = PQuser(conn);
  description.dataSource = std::string(PQhost(conn)) + ":" + PQport(conn) + "/" + PQdb(conn);
  description.readOnly = ServerSetting(conn, "default_transaction_read_only") == "on" ||
                         ServerSetting(conn, "in_hot_standby") == "on";
  return description;
}

}  // namespace orvex::data::internal::postgres
