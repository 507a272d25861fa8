#include "platform/data/sqlite/sqlite_statement.hpp"

#include <sqlite3.h>

#include <cmath>

#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "platform/data/sqlite/sqlite_errors.hpp"
#include "platform/data/sqlite/sqlite_types.hpp"

namespace orvex::data::internal::sqlite {

SqliteStatement::SqliteStatement(std::shared_ptr<Database> database, sqlite3_stmt* statement)
    : database_(std::move(database)), statement_(statement) {}

SqliteStatement::~SqliteStatement() {
  std::lock_guard lock(database_->closing);
  if (!database_->closed) sqlite3_finalize(statement_);
}

int32_t SqliteStatement::ParameterCount() const { return sqlite3_bind_parameter_count(statement_); }

void SqliteStatement::Bind(int32_t index, const NativeValue& value, int32_t /*adoType*/) {
  int position = index + 1;
  int rc = SQLITE_OK;
  switch (value.kind) {
    case NativeValue::Kind::Null:
      rc = sqlite3_bind_null(statement_, position);
      break;
    case NativeValue::Kind::Integer:
      rc = sqlite3_bind_int64(statement_, position, value.integer);
      break;
    case NativeValue::Kind::Real:
      // SQLite keeps the infinities but stores not-a-number as NULL: a value it cannot hold.
      if (std::isnan(value.real)) Raise(errOverflow);
      rc = sqlite3_bind_double(statement_, position, value.real);
      break;
    case NativeValue::Kind::Text:
      rc = sqlite3_bind_text64(statement_, position, value.text.data(), value.text.size(),
                               SQLITE_TRANSIENT, SQLITE_UTF8);
      break;
    case NativeValue::Kind::Blob:
      rc = sqlite3_bind_blob64(statement_, position, value.text.data(), value.text.size(),
                               SQLITE_TRANSIENT);
      break;
  }
  if (rc != SQLITE_OK) RaiseLastError(database_->db, rc);
}

void SqliteStatement::Execute() {
  sqlite3_reset(statement_);
  hasRow_ = false;
  rowsAffected_ = 0;
  int changesBefore = sqlite3_total_changes(database_->db);
  Step();
  if (!hasRow_ && sqlite3_stmt_readonly(statement_) == 0)
    rowsAffected_ = sqlite3_total_changes(database_->db) - changesBefore;
}

void SqliteStatement::Step() {
  int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) {
    hasRow_ = true;
  } else if (rc == SQLITE_DONE) {
    hasRow_ = false;
  } else {
    RaiseStepError(rc);
  }
}

void SqliteStatement::RaiseStepError(int resultCode) {
  hasRow_ = false;
  std::string message = sqlite3_errmsg(database_->db);
  sqlite3_reset(statement_);
  if (IsSessionFatal(resultCode)) database_->broken = true;
  RaiseResult(resultCode, message);
}

const std::vector<ColumnInfo>& SqliteStatement::Columns() {
  if (!columnsDescribed_) {
    int count = sqlite3_column_count(statement_);
    for (int i = 0; i < count; ++i) columns_.push_back(DescribeColumn(i));
    columnsDescribed_ = true;
  }
  return columns_;
}

ColumnInfo SqliteStatement::DescribeColumn(int index) const {
  ColumnInfo column;
  column.name = sqlite3_column_name(statement_, index);
  const char* declared = sqlite3_column_decltype(statement_, index);
  DescribeDeclaredType(declared != nullptr ? declared : "", column);
  const char* table = sqlite3_column_table_name(statement_, index);
  const char* origin = sqlite3_column_origin_name(statement_, index);
  const char* schema = sqlite3_column_database_name(statement_, index);
  int notNull = 0, primaryKey = 0, autoIncrement = 0;
  if (table != nullptr && origin != nullptr && schema != nullptr) {
    column.baseSchema = schema;
    column.baseTable = table;
    column.baseColumn = origin;
    sqlite3_table_column_metadata(database_->db, schema, table, origin, nullptr, nullptr, &notNull,
                                  &primaryKey, &autoIncrement);
  }
  column.isKey = primaryKey != 0;
  if (column.isKey) column.attributes |= adFldKeyColumn;
  if (notNull == 0 && primaryKey == 0) column.attributes |= adFldIsNullable;
  return column;
}

void SqliteStatement::ReadValue(int index, NativeValue& slot) const {
  switch (sqlite3_column_type(statement_, index)) {
    case SQLITE_INTEGER:
      slot.kind = NativeValue::Kind::Integer;
      slot.integer = sqlite3_column_int64(statement_, index);
      return;
    case SQLITE_FLOAT:
      slot.kind = NativeValue::Kind::Real;
      slot.real = sqlite3_column_double(statement_, index);
      return;
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, index));
      slot.kind = NativeValue::Kind::Text;
      slot.text.assign(text, static_cast<size_t>(sqlite3_column_bytes(statement_, index)));
      return;
    }
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement_, index));
      auto size = static_cast<size_t>(sqlite3_column_bytes(statement_, index));
      slot.kind = NativeValue::Kind::Blob;
      if (bytes != nullptr)
        slot.text.assign(bytes, size);
      else
        slot.text.clear();
      return;
    }
    default:
      slot.kind = NativeValue::Kind::Null;
      return;
  }
}

bool SqliteStatement::NextRow(std::vector<NativeValue>& row) {
  if (!hasRow_) return false;
  // The slots stay from row to row; only the values change.
  row.resize(static_cast<size_t>(sqlite3_column_count(statement_)));
  for (size_t i = 0; i < row.size(); ++i) ReadValue(static_cast<int>(i), row[i]);
  Step();
  return true;
}

void SqliteStatement::Reset() {
  sqlite3_reset(statement_);
  hasRow_ = false;
}

}  // namespace orvex::data::internal::sqlite
