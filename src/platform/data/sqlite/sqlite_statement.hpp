// One compiled SQLite statement.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/data/provider.hpp"
#include "platform/data/sqlite/sqlite_session.hpp"

struct sqlite3_stmt;

namespace orvex::data::internal::sqlite {

class SqliteStatement : public Statement {
 public:
  SqliteStatement(std::shared_ptr<Database> database, sqlite3_stmt* statement);
  ~SqliteStatement() override;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  int32_t ParameterCount() const override;
  void Bind(int32_t index, const NativeValue& value, int32_t adoType) override;
  void Execute() override;
  const std::vector<ColumnInfo>& Columns() override;
  bool NextRow(std::vector<NativeValue>& row) override;
  int64_t RowsAffected() const override { return rowsAffected_; }
  void Reset() override;

 private:
  void Step();
  [[noreturn]] void RaiseStepError(int resultCode);
  ColumnInfo DescribeColumn(int index) const;
  // The column's value into a slot of the row, reusing the slot's text buffer.
  void ReadValue(int index, NativeValue& slot) const;

  std::shared_ptr<Database> database_;
  sqlite3_stmt* statement_;
  std::vector<ColumnInfo> columns_;
  bool columnsDescribed_ = false;
  bool hasRow_ = false;
  int64_t rowsAffected_ = 0;
};

}  // namespace orvex::data::internal::sqlite
