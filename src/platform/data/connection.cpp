#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "platform/data/errors.hpp"
#include "platform/data/recordset_state.hpp"
#include "platform/data/secret_redaction.hpp"
#include "platform/data/session_pool.hpp"

namespace orvex::data {

using internal::RaiseDataError;

struct Connection::Impl {
  internal::PooledSession pooled;
  bool open = false;
  int32_t transactionLevel = 0;
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
  try {
    impl_->pooled = internal::AcquireSession(settings);
  } catch (const AutomationError& error) {
    // A driver's message may quote the connection string, or a piece of it, that it refused.
    AutomationError redacted = error;
    redacted.Description =
        internal::RedactSecrets(error.Description, internal::SecretsOf(settings));
    throw redacted;
  }
  impl_->open = true;
  impl_->transactionLevel = 0;
}

void Connection::Close() {
  if (!impl_->open) RaiseDataError(adErrObjectClosed, "Connection");
  impl_->open = false;
  impl_->transactionLevel = 0;
  internal::ReleaseSession(std::move(impl_->pooled));
  impl_->pooled = {};
}

int32_t Connection::State() const { return impl_->open ? adStateOpen : adStateClosed; }

int32_t Connection::BeginTrans() {
  if (!impl_->open) RaiseDataError(adErrObjectClosed, "Connection");
  if (impl_->transactionLevel > 0)
    RaiseDataError(adErrIllegalOperation, "Connection",
                   "A transaction is already active; nested transactions are not supported.");
  impl_->pooled.session->Begin();
  impl_->transactionLevel = 1;
  return 1;
}

void Connection::CommitTrans() {
  if (!impl_->open) RaiseDataError(adErrObjectClosed, "Connection");
  if (impl_->transactionLevel == 0) RaiseDataError(XACT_E_NOTRANSACTION, "Connection");
  impl_->transactionLevel = 0;
  impl_->pooled.session->Commit();
}

void Connection::RollbackTrans() {
  if (!impl_->open) RaiseDataError(adErrObjectClosed, "Connection");
  if (impl_->transactionLevel == 0) RaiseDataError(XACT_E_NOTRANSACTION, "Connection");
  impl_->transactionLevel = 0;
  impl_->pooled.session->Rollback();
}

sp<Recordset> Connection::Execute(const std::string& commandText, int32_t* recordsAffected,
                                  int32_t /*options*/) {
  if (!impl_->open) RaiseDataError(adErrObjectClosed, "Connection");
  auto statement = impl_->pooled.session->Prepare(commandText);
  if (statement->ParameterCount() > 0)
    RaiseDataError(static_cast<int32_t>(0x80040E10u), "Connection",
                   "No value given for one or more required parameters.");
  auto recordset = std::make_shared<Recordset>();
  auto store = internal::RunStatement(*statement, recordsAffected);
  // A connection not made by make_shared cannot be shared: the set then comes detached.
  if (store)
    internal::RecordsetAccess::Adopt(*recordset, std::move(store), weak_from_this().lock());
  return recordset;
}

sp<PropertyCollection> Connection::Properties() const {
  internal::SessionDescription described;
  std::string provider = Provider();
  if (impl_->open) {
    described = impl_->pooled.session->Describe();
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
  if (impl_->open) return impl_->pooled.providerName;
  try {
    auto settings = internal::ConnectionString::Parse(ConnectionString);
    return settings.Get("provider").value_or(ConnectionString.empty() ? "" : "SQLite");
  } catch (const AutomationError&) {
    return "";
  }
}

std::shared_ptr<internal::Session> Connection::Session() const {
  return impl_->open ? impl_->pooled.session : nullptr;
}

}  // namespace orvex::data
