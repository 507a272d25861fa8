// The rows of a client-side record set, shared by the record set and its clones.
#pragma once

#include <memory>
#include <vector>

#include "orvex/variant.hpp"
#include "platform/data/find_index.hpp"
#include "platform/data/provider.hpp"

namespace orvex::data::internal {

// The values are kept row after row in blocks of rows: a loaded table costs its values and
// nothing per row beside them, and growing never moves the rows already read. Edits wait in the
// record set until Update, so a stored row always holds what the database (or the saved file)
// holds, and is its own original value.
class RowStore {
 public:
  explicit RowStore(std::vector<ColumnInfo> columns);

  const std::vector<ColumnInfo>& Columns() const { return columns_; }
  int64_t RowCount() const { return rowCount_; }
  const Variant& Value(int64_t position, int32_t column) const {
    return blocks_[BlockOf(position)][InBlock(position, column)];
  }

  // Appends a row as read, built in place: fill(block) appends one value per column to the end
  // of the block given. When it throws, the row is taken back whole.
  template <class Fill>
  void AppendReadWith(Fill&& fill) {
    std::vector<Variant>& block = BlockForNextRow();
    const size_t before = block.size();
    try {
      fill(block);
    } catch (...) {
      block.erase(block.begin() + static_cast<std::ptrdiff_t>(before), block.end());
      if (block.empty()) blocks_.pop_back();
      throw;
    }
    IndexRow(rowCount_++);
  }
  // Appends an empty (Null) new row; returns its position.
  int64_t AppendNew();
  // Removes the last row (an added row given up before its first Update).
  void RemoveLast();
  // Changes a value, keeping every index correct.
  void SetValue(int64_t position, int32_t column, const Variant& value);

  // The column's index, built on first use.
  const FindIndex& IndexFor(int32_t column) {
    if (const FindIndex* built = BuiltIndex(column)) return *built;
    return BuildIndex(column);
  }
  // The column's index when it has been built, else null.
  const FindIndex* IndexIfBuilt(int32_t column) const { return BuiltIndex(column); }
  bool IsNumericColumn(int32_t column) const { return numeric_[static_cast<size_t>(column)] != 0; }

 private:
  static constexpr int kRowsPerBlockLog2 = 12;
  static constexpr int64_t kRowsPerBlock = int64_t{1} << kRowsPerBlockLog2;

  static size_t BlockOf(int64_t position) {
    return static_cast<size_t>(position >> kRowsPerBlockLog2);
  }
  size_t InBlock(int64_t position, int32_t column) const {
    return static_cast<size_t>(position & (kRowsPerBlock - 1)) * columns_.size() +
           static_cast<size_t>(column);
  }
  Variant& Cell(int64_t position, int32_t column) {
    return blocks_[BlockOf(position)][InBlock(position, column)];
  }
  // The block that takes the next row (a new one when the last is full).
  std::vector<Variant>& BlockForNextRow();
  // Keeps the indexes built so far in step with a new row.
  void IndexRow(int64_t position) {
    if (!indexes_.empty()) AddToIndexes(position);
  }
  void AddToIndexes(int64_t position);
  // The column's index when it has been built, else null.
  FindIndex* BuiltIndex(int32_t column) const {
    const auto at = static_cast<size_t>(column);
    return at < indexes_.size() ? indexes_[at].get() : nullptr;
  }
  const FindIndex& BuildIndex(int32_t column);

  std::vector<ColumnInfo> columns_;
  // By column: its values are indexed as numbers (bytes, not vector<bool>: read on every Find).
  std::vector<uint8_t> numeric_;
  std::vector<std::vector<Variant>> blocks_;
  int64_t rowCount_ = 0;
  // By column, null until first used; empty until the first is built.
  std::vector<std::unique_ptr<FindIndex>> indexes_;
};

}  // namespace orvex::data::internal
