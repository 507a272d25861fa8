// The rows of a client-side record set, shared by the record set and its clones.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "orvex/variant.hpp"
#include "platform/data/find_index.hpp"
#include "platform/data/provider.hpp"

namespace orvex::data::internal {

struct Row {
  std::vector<Variant> values;
  std::vector<Variant> original;  // as last read from or written to the database
  bool isNew = false;             // added, not yet written
};

class RowStore {
 public:
  explicit RowStore(std::vector<ColumnInfo> columns) : columns_(std::move(columns)) {}

  const std::vector<ColumnInfo>& Columns() const { return columns_; }
  int64_t RowCount() const { return static_cast<int64_t>(rows_.size()); }
  const Row& RowAt(int64_t position) const { return rows_[static_cast<size_t>(position)]; }

  // Appends a row as read (values and originals alike).
  void AppendRead(std::vector<Variant> values);
  // Appends an empty (Null) new row; returns its position.
  int64_t AppendNew();
  // Removes the last row (an added row given up before its first Update).
  void RemoveLast();
  // Changes a value, keeping every index correct.
  void SetValue(int64_t position, int32_t column, const Variant& value);
  // The row now matches the database (or the saved state).
  void MarkCommitted(int64_t position);

  // The column's index, built on first use.
  const FindIndex& IndexFor(int32_t column);
  bool IsNumericColumn(int32_t column) const;

 private:
  std::vector<ColumnInfo> columns_;
  std::vector<Row> rows_;
  std::map<int32_t, FindIndex> indexes_;
};

}  // namespace orvex::data::internal
