#include <optional>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "platform/data/connection_access.hpp"
#include "platform/data/errors.hpp"
#include "platform/data/native_values.hpp"
#include "platform/data/record_spool.hpp"
#include "platform/data/recordset_state.hpp"

namespace orvex::data {

using internal::RaiseDataError;

namespace {

constexpr int32_t kNoValueForParameter = static_cast<int32_t>(0x80040E10u);
constexpr int32_t kNoCommandText = static_cast<int32_t>(0x80040E0Cu);

void AssignValuesByPosition(Parameters& parameters, const Variant& values) {
  if (!values.IsArray()) return;
  const SafeArray& array = values.Array();
  if (!array.IsDimensioned()) return;
  for (int32_t i = array.LBound(); i <= array.UBound(); ++i) {
    int32_t position = i - array.LBound();
    if (position >= parameters.Count()) break;
    parameters.Item(position)->Value = array[i];
  }
}

void BindParameters(internal::Statement& statement, const Parameters& parameters) {
  int32_t markers = statement.ParameterCount();
  if (parameters.Count() < markers)
    RaiseDataError(kNoValueForParameter, "Command",
                   "No value given for one or more required parameters (the text has " +
                       std::to_string(markers) + " markers, the command " +
                       std::to_string(parameters.Count()) + " parameters).");
  if (parameters.Count() > markers)
    RaiseDataError(DB_E_ERRORSINCOMMAND, "Command",
                   "The command has " + std::to_string(parameters.Count()) +
                       " parameters but its text has " + std::to_string(markers) + " markers.");
  for (int32_t i = 0; i < markers; ++i) {
    const Parameter& parameter = *parameters.Item(i);
    internal::NativeValue value;
    try {
      value = internal::ToNative(parameter.Value, parameter.Type);
    } catch (const AutomationError& error) {
      RaiseDataError(adErrDataConversion, "Command",
                     "The value of parameter " + std::to_string(i) + " ('" + parameter.Name +
                         "') does not convert to its type " + std::to_string(parameter.Type) +
                         ": " + error.Description);
    }
    statement.Bind(i, value, parameter.Type);
  }
}

}  // namespace

struct Command::Impl {
  sp<data::Parameters> parameters = std::make_shared<data::Parameters>();
  // The compiled statement a prepared command keeps between executions, with what it was
  // compiled for: a new session or a new text compiles again.
  std::unique_ptr<internal::Statement> statement;
  std::weak_ptr<internal::Session> session;
  std::string text;
};

Command::Command() : impl_(std::make_unique<Impl>()) {}

Command::~Command() = default;

sp<data::Parameters> Command::Parameters() const { return impl_->parameters; }

sp<Parameter> Command::CreateParameter(const std::string& name, int32_t type, int32_t direction,
                                       int32_t size, const Variant& value) {
  auto parameter = std::make_shared<Parameter>();
  parameter->Name = name;
  parameter->Type = type;
  parameter->Direction = direction;
  parameter->Size = size;
  if (!value.IsMissing()) parameter->Value = value;
  return parameter;
}

sp<Recordset> Command::Execute(int32_t* recordsAffected, const Variant& parameters,
                               int32_t /*options*/) {
  if (!ActiveConnection || ActiveConnection->State() != adStateOpen)
    RaiseDataError(adErrInvalidConnection, "Command");
  if (CommandText.empty())
    RaiseDataError(kNoCommandText, "Command", "Command text was not set for the command object.");
  AssignValuesByPosition(*impl_->parameters, parameters);
  auto recordset = std::make_shared<Recordset>();
  std::optional<internal::RecordSpool> spool =
      internal::RecordSpool::For(internal::ConnectionAccess::Settings(*ActiveConnection));
  try {
    if (spool) internal::ReplayPending(*spool, *ActiveConnection);
    internal::ConnectionAccess::RunOnSession(
        *ActiveConnection, [&](const std::shared_ptr<internal::Session>& session) {
          bool reuse =
              impl_->statement && impl_->text == CommandText && impl_->session.lock() == session;
          if (!reuse) {
            impl_->statement.reset();
            impl_->statement = session->Prepare(CommandText);
            impl_->session = session;
            impl_->text = CommandText;
          }
          BindParameters(*impl_->statement, *impl_->parameters);
          auto store = internal::RunStatement(*impl_->statement, recordsAffected);
          if (store)
            internal::RecordsetAccess::Adopt(*recordset, std::move(store), ActiveConnection);
        });
  } catch (const AutomationError& failure) {
    if (!Prepared) impl_->statement.reset();
    if (spool && internal::ConnectionAccess::LostItsDatabase(*ActiveConnection))
      internal::SpoolRecord(*spool, *this, failure);
    throw;
  } catch (...) {
    if (!Prepared) impl_->statement.reset();
    throw;
  }
  if (!Prepared) impl_->statement.reset();
  return recordset;
}

}  // namespace orvex::data
