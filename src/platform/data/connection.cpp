#include <utility>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "platform/data/connection_access.hpp"
#include "platform/data/errors.hpp"
#include "platform/data/recordset_state.hpp"
#include "platform/data/secret_redaction.hpp"
#include "platform/data/session_pool.hpp"

namespace orvex::data {

using internal::RaiseDataError;

namespace {

// A session for the settings. A driver's message may quote the connection string, or a piece of
// it, that it refused: the secrets in it are written as ***.
internal::PooledSession AcquireRedactedSession(const internal::ConnectionString& settings,
                                               const internal::SessionSource& source) {
  try {
    return internal::AcquireSession(settings, source);
  } catch (const AutomationError& error) {
    AutomationError redacted = error;
    redacted.Description =
        internal::RedactSecrets(error.Description, internal::SecretsOf(settings));
    throw redacted;
  }
}

}  // namespace

struct Connection::Impl {
  internal::PooledSession pooled;
  internal::ConnectionString settings;  // as the session was opened, with user and password
  internal::SessionSource source;       // the provider and pool key of settings
  std::string providerName;
  bool open = false;
  bool holdOnlyWhileRunning = false;  // the session waits in the pool between calls
  bool lostDatabase = false;          // the last RunOnSession could not reach the database
  int32_t transactionLevel = 0;

  // The session, taken from the pool again when it waits there.
  const std::shared_ptr<internal::Session>& Held() {
    if (!pooled.session) pooled = AcquireRedactedSession(settings, source);
    return pooled.session;
  }
  // Between calls and outside a transaction, the session goes back to the pool.
  void ParkIfIdle() noexcept {
    if (holdOnlyWhileRunning && transactionLevel == 0 && pooled.session &&
        !pooled.session->InTransaction())
      internal::ReleaseSession(std::exchange(pooled, {}));
  }
  // Parks the session when a call ends, also when it raises.
  struct ParkOnExit {
    Impl& impl;
    ~ParkOnExit() { impl.ParkIfIdle(); }
  };

  void RunOnSession(const std::function<void(const std::shared_ptr<internal::Session>&)>& work);
  // CommitTrans (commit true) and RollbackTrans.
  void EndTransaction(bool commit);
};

Connection::Connection() : impl_(std::make_unique<Impl>()) {}

Connection::~Connection() {
  if (impl_->open) internal::ReleaseSession(std::move(impl_->pooled));
}

void Connection::Open(const std::string& connStr, const std::string& user,
                      const std::string& password, int32_t /*options*/) {
  if (impl_->open) RaiseDataError(adErrObjectOpen, "Connection");
  if (!connStr.empty()) ConnectionString = connStr;
  auto settings = internal::ConnectionString::Parse(ConnectionString);
  if (!user.empty()) settings.Set("user id", user);
  if (!password.empty()) settings.Set("password", password);
  internal::SessionSource source = internal::SessionSourceFor(settings);
  impl_->pooled = AcquireRedactedSession(settings, source);
  impl_->settings = std::move(settings);
  impl_->source = std::move(source);
  impl_->providerName = impl_->pooled.providerName;
  impl_->open = true;
  impl_->transactionLevel = 0;
  impl_->ParkIfIdle();
}

void Connection::HoldSessionOnlyWhileRunning() {
  impl_->holdOnlyWhileRunning = true;
  if (impl_->open) impl_->ParkIfIdle();
}

void Connection::Close() {
  if (!impl_->open) RaiseDataError(adErrObjectClosed, "Connection");
  impl_->open = false;
  impl_->transactionLevel = 0;
  internal::ReleaseSession(std::move(impl_->pooled));
  impl_->pooled = {};
}

namespace {

// A new session for the connection's settings first, so that a connection whose server is
// still unreachable keeps its lost session and tries again on the next call.
void ReplaceSession(internal::PooledSession& pooled, const internal::ConnectionString& settings,
                    const internal::SessionSource& source) {
  internal::PooledSession fresh = AcquireRedactedSession(settings, source);
  internal::ReleaseSession(std::exchange(pooled, std::move(fresh)));
}

}  // namespace

void Connection::Impl::RunOnSession(
    const std::function<void(const std::shared_ptr<internal::Session>&)>& work) {
  if (!open) RaiseDataError(adErrObjectClosed, "Connection");
  ParkOnExit parkAfterwards{*this};
  lostDatabase = false;
  try {
    const bool mayReplace = transactionLevel == 0;
    if (mayReplace && Held()->IsLost()) ReplaceSession(pooled, settings, source);
    std::shared_ptr<internal::Session> session = Held();
    try {
      work(session);
      return;
    } catch (...) {
      if (!mayReplace || !session->IsLost() || !session->LostBeforeRunning()) throw;
    }
    ReplaceSession(pooled, settings, source);
    work(pooled.session);
  } catch (...) {
    lostDatabase = !pooled.session || pooled.session->IsLost();
    throw;
  }
}

int32_t Connection::State() const { return impl_->open ? adStateOpen : adStateClosed; }

int32_t Connection::BeginTrans() {
  if (!impl_->open) RaiseDataError(adErrObjectClosed, "Connection");
  if (impl_->transactionLevel > 0)
    RaiseDataError(adErrIllegalOperation, "Connection",
                   "A transaction is already active; nested transactions are not supported.");
  impl_->RunOnSession([](const std::shared_ptr<internal::Session>& session) { session->Begin(); });
  impl_->transactionLevel = 1;
  return 1;
}

void Connection::Impl::EndTransaction(bool commit) {
  if (!open) RaiseDataError(adErrObjectClosed, "Connection");
  if (transactionLevel == 0) RaiseDataError(XACT_E_NOTRANSACTION, "Connection");
  transactionLevel = 0;
  ParkOnExit parkAfterwards{*this};
  const std::shared_ptr<internal::Session>& session = Held();
  commit ? session->Commit() : session->Rollback();
}

void Connection::CommitTrans() { impl_->EndTransaction(true); }

void Connection::RollbackTrans() { impl_->EndTransaction(false); }

sp<Recordset> Connection::Execute(const std::string& commandText, int32_t* recordsAffected,
                                  int32_t /*options*/) {
  if (!impl_->open) RaiseDataError(adErrObjectClosed, "Connection");
  std::shared_ptr<internal::RowStore> store;
  impl_->RunOnSession([&](const std::shared_ptr<internal::Session>& session) {
    auto statement = session->Prepare(commandText);
    if (statement->ParameterCount() > 0)
      RaiseDataError(static_cast<int32_t>(0x80040E10u), "Connection",
                     "No value given for one or more required parameters.");
    store = internal::RunStatement(*statement, recordsAffected);
  });
  auto recordset = std::make_shared<Recordset>();
  // A connection not made by make_shared cannot be shared: the set then comes detached.
  if (store)
    internal::RecordsetAccess::Adopt(*recordset, std::move(store), weak_from_this().lock());
  return recordset;
}

sp<PropertyCollection> Connection::Properties() const {
  internal::SessionDescription described;
  std::string provider = Provider();
  if (impl_->open) {
    try {
      impl_->RunOnSession([&](const std::shared_ptr<internal::Session>& session) {
        described = session->Describe();
      });
    } catch (const AutomationError&) {
      // A server out of reach describes nothing more than the connection string does.
      described.dataSource = impl_->settings.GetOr("data source", "");
    }
  } else {
    try {
      auto settings = internal::ConnectionString::Parse(ConnectionString);
      described.dataSource = settings.GetOr("data source", settings.GetOr("database", ""));
    } catch (const AutomationError&) {
      // A malformed string has no data source to report; Open says what is wrong with it.
    }
  }
  std::vector<data::Property> items = {
      {"Provider Name", Variant(provider)},
      {"Provider Version", Variant("1.0")},
      {"DBMS Name", Variant(described.dbmsName)},
      {"DBMS Version", Variant(described.dbmsVersion)},
      {"Current Catalog", Variant(described.currentCatalog)},
      {"User ID", Variant(described.userId)},
      {"Read-Only Data Source", Variant(described.readOnly)},
      {"Data Source", Variant(described.dataSource)},
  };
  return std::make_shared<PropertyCollection>(std::move(items));
}

Variant Connection::Property(int32_t index) const { return Properties()->Item(index).Value; }

std::string Connection::Provider() const {
  if (impl_->open) return impl_->providerName;
  try {
    auto settings = internal::ConnectionString::Parse(ConnectionString);
    return settings.Get("provider").value_or(ConnectionString.empty() ? "" : "SQLite");
  } catch (const AutomationError&) {
    return "";
  }
}

namespace internal {

std::shared_ptr<Session> ConnectionAccess::SessionOf(const Connection& connection) {
  return connection.impl_->open ? connection.impl_->Held() : nullptr;
}

void ConnectionAccess::RunOnSession(
    Connection& connection, const std::function<void(const std::shared_ptr<Session>&)>& work) {
  connection.impl_->RunOnSession(work);
}

bool ConnectionAccess::LostItsDatabase(const Connection& connection) {
  return connection.impl_->lostDatabase;
}

const ConnectionString& ConnectionAccess::Settings(const Connection& connection) {
  return connection.impl_->settings;
}

}  // namespace internal

}  // namespace orvex::data
