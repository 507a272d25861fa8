// One statement prepared on the server: in the connection's unnamed slot while it holds it,
// under a name of its own once another statement has taken the slot.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/data/postgres/postgres_link.hpp"
#include "platform/data/provider.hpp"

namespace orvex::data::internal::postgres {

class PostgresStatement : public Statement {
 public:
  // Prepares the translated text (with $n markers) in the unnamed slot; raises the server's
  // error when it rejects the text.
  PostgresStatement(std::shared_ptr<Link> link, std::string text, int32_t parameterCount);
  ~PostgresStatement() override;
  PostgresStatement(const PostgresStatement&) = delete;
  PostgresStatement& operator=(const PostgresStatement&) = delete;

  int32_t ParameterCount() const override { return static_cast<int32_t>(values_.size()); }
  void Bind(int32_t index, const NativeValue& value, int32_t adoType) override;
  void Execute() override;
  const std::vector<ColumnInfo>& Columns() override;
  bool NextRow(std::vector<NativeValue>& row) override;
  int64_t RowsAffected() const override { return rowsAffected_; }
  void Reset() override;

 private:
  struct BoundValue {
    bool isNull = true;
    bool isBinary = false;
    std::string text;
  };

  void Prepare(const std::string& name);
  void EnsurePrepared();
  void DescribeColumns();

  std::shared_ptr<Link> link_;
  std::string text_;
  std::string name_;  // "" while in the unnamed slot
  uint64_t unnamedSerial_ = 0;
  std::vector<BoundValue> values_;
  pg_result* result_ = nullptr;
  int row_ = 0;
  int64_t rowsAffected_ = 0;
  std::vector<ColumnInfo> columns_;
  bool columnsDescribed_ = false;
};

}  // namespace orvex::data::internal::postgres
