#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "platform/data/errors.hpp"
#include "platform/data/native_values.hpp"
#include "platform/data/recordset_state.hpp"

namespace orvex::data {

using internal::RaiseDataError;

namespace {

// The value as the column's type holds it, so that edited rows read back as database rows do.
Variant CoerceToColumn(const Variant& value, const internal::ColumnInfo& column) {
  if (value.IsEmpty() || value.IsNull() || column.type == adVariant) return value;
  try {
    return internal::FromNative(internal::ToNative(value, column.type), column.type);
  } catch (const AutomationError& error) {
    RaiseDataError(adErrDataConversion, "Field",
                   "The value does not convert to the type of field '" + column.name +
                       "': " + error.Description);
  }
}

}  // namespace

Field::Field(std::shared_ptr<internal::RecordsetState> state, int32_t column)
    : state_(std::move(state)), column_(column) {}

const std::string& Field::Name() const { return state_->store->Columns()[column_].name; }

Variant Field::Value() const { return state_->CurrentValue(column_); }

void Field::Value(const Variant& newValue) {
  state_->RequireOpen();
  if (state_->lockType == adLockReadOnly) RaiseDataError(adErrFeatureNotAvailable, "Field");
  state_->RequireCurrentRow();
  Variant coerced = CoerceToColumn(newValue, state_->store->Columns()[column_]);
  if (state_->editMode == adEditNone) state_->editMode = adEditInProgress;
  state_->pending[column_] = std::move(coerced);
}

Variant Field::OriginalValue() const {
  state_->RequireCurrentRow();
  // Edits stay pending until Update writes them, so the stored row is the original.
  return state_->store->Value(state_->row, column_);
}

int32_t Field::Type() const { return state_->store->Columns()[column_].type; }
int32_t Field::DefinedSize() const { return state_->store->Columns()[column_].definedSize; }
int32_t Field::Precision() const { return state_->store->Columns()[column_].precision; }
int32_t Field::NumericScale() const { return state_->store->Columns()[column_].numericScale; }
int32_t Field::Attributes() const { return state_->store->Columns()[column_].attributes; }

}  // namespace orvex::data
